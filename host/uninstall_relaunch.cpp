// The moved uninstall on the Win32 API: the starter's copy started with the
// handles it inherits (the starter's process, for waiting, and the write
// end of an anonymous pipe, for the exit code), the starter's wait, and the
// copy's report and wait at its end. What to delete and when is decided in
// actions/moved_uninstall.cpp.
#include <windows.h>

#include <stdint.h>

#include "host/uninstall_relaunch.h"

#include "actions/moved_uninstall.h"
#include "script/byte_buffer.h"
#include "script/command_line.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/host.h"
#include "script/journal.h"

// How long the copy waits for the starter to end after it has its exit code.
static const DWORD kStarterEndWaitMs = 30000;
// The journal's word for the lines of this file.
static const char kMoved[] = "moved uninstall";

static HANDLE HandleOf(unsigned long number) {
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number));
}

static unsigned long NumberOf(HANDLE handle) {
  return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle));
}

// The handles a start of the copy needs; each is closed by its owner.
struct CopyHandles {
  HANDLE resultRead = nullptr;   // kept by the starter
  HANDLE resultWrite = nullptr;  // inherited by the copy
  HANDLE starter = nullptr;      // this process, inherited by the copy
};

static void CloseIfOpen(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

// An inheritable pipe's write end (its read end stays here) and an
// inheritable handle of this process that allows a wait for its end.
static bool MakeCopyHandles(CopyHandles& handles) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  if (!CreatePipe(&handles.resultRead, &handles.resultWrite, &inherited, 0)) return false;
  SetHandleInformation(handles.resultRead, HANDLE_FLAG_INHERIT, 0);
  return DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                         &handles.starter, SYNCHRONIZE, TRUE, 0) != 0;
}

// Starts `copy` with the internal switches and this program's arguments,
// in the copy's folder; the process handle in `process`.
static bool StartCopy(Engine& engine, const char* copy, const CopyHandles& handles,
                      HANDLE* process) {
  char origin[kPathMax], copyFolder[kPathMax];
  ByteBuffer line;
  if (!ProgramDirectoryOf(engine.modes.programPath, origin, sizeof origin) ||
      !ProgramDirectoryOf(copy, copyFolder, sizeof copyFolder) ||
      !BuildMovedUninstallCommandLine(line, copy, origin, NumberOf(handles.starter),
                                      NumberOf(handles.resultWrite),
                                      SkipProgramName(GetCommandLineA()))) {
    engine.host->LogFailure("CreateProcess", copy, kErrFilenameTooLong);
    return false;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  // The buffer is the line's own heap block; the ANSI call only reads it
  // (it is the wide one that may write to its command line).
  if (!CreateProcessA(copy, const_cast<char*>(line.data()), nullptr, nullptr, TRUE, 0,
                      nullptr, copyFolder, &startup, &started)) {
    engine.host->LogFailure("CreateProcess", copy, GetLastError());
    return false;
  }
  CloseHandle(started.hThread);
  *process = started.hProcess;
  Journal(engine, kMoved, {"started ", line.data()});
  return true;
}

// The copy's exit code: the four bytes it writes to the pipe in one write
// (the same program, so the same byte order), or, when the pipe breaks
// without them, the exit code of its process.
static int AwaitCopy(Engine& engine, HANDLE resultRead, HANDLE process) {
  DWORD code = 0, read = 0;
  bool reported = ReadFile(resultRead, &code, sizeof code, &read, nullptr) && read == sizeof code;
  if (!reported) {
    WaitForSingleObject(process, INFINITE);
    if (!GetExitCodeProcess(process, &code)) code = static_cast<DWORD>(-1);
  }
  char number[12];
  FormatDecimal(number, static_cast<long>(static_cast<int>(code)));
  Journal(engine, kMoved, {"its exit code ", number, reported ? "" : " (not reported)"});
  return static_cast<int>(code);
}

static bool RunsHere(Engine& engine) {
  Journal(engine, kMoved, {"no copy; the uninstall runs here"});
  return false;
}

bool RunUninstallFromCopy(Engine& engine, int* exitCode) {
  char copy[kPathMax];
  if (!MakeUninstallCopy(engine, GetCurrentProcessId(), copy)) {
    return RunsHere(engine);
  }
  CopyHandles handles;
  HANDLE process = nullptr;
  bool started = MakeCopyHandles(handles) && StartCopy(engine, copy, handles, &process);
  // Only the copy holds these now: the pipe breaks when it ends.
  CloseIfOpen(handles.resultWrite);
  CloseIfOpen(handles.starter);
  if (!started) {
    CloseIfOpen(handles.resultRead);
    RemoveUninstallCopy(engine, copy);
    return RunsHere(engine);
  }
  // This process keeps no hold on the product folder while it waits.
  char copyFolder[kPathMax];
  if (ProgramDirectoryOf(copy, copyFolder, sizeof copyFolder)) {
    engine.effects->SetCurrentDirectory(copyFolder);
  }
  *exitCode = AwaitCopy(engine, handles.resultRead, process);
  CloseIfOpen(handles.resultRead);
  CloseIfOpen(process);
  return true;
}

void KeepMovedUninstallHandles(const RunModes& modes) {
  for (unsigned long number : {modes.parentProcess, modes.resultPipe}) {
    if (number) SetHandleInformation(HandleOf(number), HANDLE_FLAG_INHERIT, 0);
  }
}

// The exit code to the starter through the pipe it passed, which is then
// closed (a handle that is no pipe is left alone: it is not ours); then the
// wait for the starter's end. Its handle goes with this process.
static void ReportAndAwaitStarter(Engine& engine, int exitCode) {
  HANDLE pipe = HandleOf(engine.modes.resultPipe);
  DWORD code = static_cast<DWORD>(exitCode), written = 0;
  bool reported = false;
  if (pipe && GetFileType(pipe) == FILE_TYPE_PIPE) {
    reported = WriteFile(pipe, &code, sizeof code, &written, nullptr) && written == sizeof code;
    CloseHandle(pipe);
  }
  HANDLE starter = HandleOf(engine.modes.parentProcess);
  bool ended = starter && WaitForSingleObject(starter, kStarterEndWaitMs) == WAIT_OBJECT_0;
  char number[12];
  FormatDecimal(number, exitCode);
  Journal(engine, kMoved, {"exit code ", number, reported ? " reported" : " not reported",
                           ended ? "; its starter has ended" : "; its starter still runs"});
}

void FinishMovedUninstall(Engine& engine, int exitCode) {
  ReportAndAwaitStarter(engine, exitCode);
  // The product folder must not be this process's current directory when it goes.
  char ownFolder[kPathMax];
  if (ProgramDirectoryOf(engine.modes.programPath, ownFolder, sizeof ownFolder)) {
    engine.effects->SetCurrentDirectory(ownFolder);
  }
  FinishDeferredDeletes(engine);
}

// Processes, libraries and fonts on the Win32 API.
#include <windows.h>

#include "win32/win32_effects.h"

Status Win32Effects::CreateProcess(const char* commandLine,
                                   const char* directory, bool wait,
                                   unsigned long* exitCode) {
  if (exitCode) *exitCode = 0;
  // CreateProcessA may write into the command line; it works on a copy.
  char line[kLineMax];
  if (!FitsIn(commandLine, sizeof line)) {
    return Logged("CreateProcess", commandLine, kErrFilenameTooLong);
  }
  CopyText(line, commandLine);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr,
                        directory, &startup, &process)) {
    return Logged("CreateProcess", commandLine, GetLastError());
  }
  Status status = kOk;
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.hProcess, &code)) status = GetLastError();
    if (exitCode) *exitCode = code;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Logged("GetExitCodeProcess", commandLine, status);
}

Status Win32Effects::LoadLibrary(const char* name, LibraryRef* library) {
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(name);
  Status status = module ? kOk : GetLastError();
  SetErrorMode(oldMode);
  *library = module;
  return Logged("LoadLibrary", name, status);
}

typedef HRESULT(STDAPICALLTYPE* EntryPoint)();

Status Win32Effects::CallEntryPoint(LibraryRef library, const char* entry,
                                    long* result) {
  *result = 0;
  FARPROC address = GetProcAddress(static_cast<HMODULE>(library), entry);
  if (!address) return Logged("GetProcAddress", entry, GetLastError());
  *result = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(address))();
  return kOk;
}

void Win32Effects::FreeLibrary(LibraryRef library) {
  if (library) ::FreeLibrary(static_cast<HMODULE>(library));
}

Status Win32Effects::AddFontResource(const char* path) {
  return Logged("AddFontResource", path,
                AddFontResourceA(path) > 0 ? kOk : kErrFileNotFound);
}

Status Win32Effects::RemoveFontResource(const char* path) {
  return Logged("RemoveFontResource", path,
                RemoveFontResourceA(path) ? kOk : kErrFileNotFound);
}

// Processes, libraries and fonts on the Win32 API.
#include <windows.h>

#include <cstring>

#include "win32/win32_effects.h"

// Waits for `process` to end while the thread's windows take their
// messages: a child that sends a message to one of them, or broadcasts one,
// would otherwise wait for this thread while it waits for the child. A quit
// message met on the way is posted again afterwards.
static void WaitTakingMessages(HANDLE process) {
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE,
                                            QS_ALLINPUT);
    if (woken != WAIT_OBJECT_0 + 1) break;  // ended (or the wait failed)
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        quitCode = message.wParam;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  WaitForSingleObject(process, INFINITE);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

Status Win32Effects::CreateProcess(const char* application,
                                   const char* commandLine,
                                   const char* directory, bool wait,
                                   unsigned long* exitCode) {
  if (exitCode) *exitCode = 0;
  // Failures name the program, not its command line ("x.exe ...").
  const char* program = application ? application : commandLine;
  // CreateProcessA may write into the command line; it works on a copy.
  char line[kLineMax];
  if (!FitsIn(commandLine, sizeof line)) {
    return Logged("CreateProcess", program, kErrFilenameTooLong);
  }
  CopyText(line, commandLine);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(application, line, nullptr, nullptr, TRUE, 0, nullptr,
                        directory, &startup, &process)) {
    return Logged("CreateProcess", program, GetLastError());
  }
  Status status = kOk;
  if (wait) {
    WaitTakingMessages(process.hProcess);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.hProcess, &code)) status = GetLastError();
    if (exitCode) *exitCode = code;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Logged("GetExitCodeProcess", program, status);
}

Status Win32Effects::LoadLibrary(const char* name, LibraryRef* library) {
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  bool isPath = name[strcspn(name, "\\/:")] != 0;
  HMODULE module = isPath ? LoadLibraryExA(name, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                          : LoadLibraryA(name);
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

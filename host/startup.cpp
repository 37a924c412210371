// Start-up of setup.exe: the shutdown privilege, the working directory, the
// run modes from the command line and the uninstall marker, the main window
// and the message loop.
#include <windows.h>


#include "host/command_line.h"
#include "host/main_window.h"
#include "host/reg_key.h"
#include "host/setup_process.h"
#include "host/win32_commands.h"
#include "script/commands.h"
#include "script/script_file.h"
#include "script/text.h"

Engine* g_engine;
Win32Host* g_host;

// Writes "`what`: `code`" and a line end to standard output.
static void WriteFailureLine(const char* what, DWORD code) {
  char digits[16];
  FormatDecimal(digits, static_cast<long>(code));
  char line[128];
  JoinText(line, {what, digits, "\n"});
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, lstrlenA(line), &written,
            nullptr);
}

// Enables "SeShutdownPrivilege"; failures are reported on standard output
// and start-up goes on.
static void EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES,
                        &token)) {
    WriteFailureLine("AdjustTokenPrivileges failed: ", GetLastError());
    return;
  }
  TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                             &privileges.Privileges[0].Luid)) {
    WriteFailureLine("LookupPrivilegeValue error: ", GetLastError());
  } else {
    SetLastError(0);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    DWORD error = GetLastError();
    if (error != 0) WriteFailureLine("AdjustTokenPrivileges failed: ", error);
  }
  CloseHandle(token);
}

// Makes the directory of the program's own file the working directory and
// returns it in `directory`.
static void EnterProgramDirectory(char (&directory)[kLineMax]) {
  DWORD length = GetModuleFileNameA(nullptr, directory, kLineMax);
  if (length >= kLineMax) length = kLineMax - 1;
  directory[length] = 0;
  char* cut = nullptr;
  for (char* p = directory; *p; ++p) {
    if (*p == '/' || *p == '\\') cut = p;
  }
  if (!cut) return;
  *cut = 0;
  SetCurrentDirectoryA(directory);
}

// The runtime counts as installed when one of its file classes has an open
// command.
static bool IsRuntimeInstalled() {
  static const char* const kOpenCommands[] = {
      "vorn_file\\shell\\open\\command",
      "vam_auto_file\\shell\\open\\command",
  };
  for (const char* path : kOpenCommands) {
    char value[kLineMax];
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, path, value, &size) ==
        ERROR_SUCCESS) {
      return true;
    }
  }
  return false;
}

// With the runtime installed, an uninstall marker "setup.txt" (beside the
// program, or in the command-line directory) selects uninstall mode.
static void CheckUninstallMarker(RunModes& modes, const char* programDir) {
  char marker[kLineMax];
  if (modes.commandLineDir[0]) {
    if (!JoinText(marker, {modes.commandLineDir, "\\setup.txt"})) return;
  } else {
    CopyText(marker, "setup.txt");
  }
  if (!CanOpenForReading(marker)) return;
  modes.uninstall = true;
  if (modes.commandLineDir[0]) {
    SetCurrentDirectoryA(modes.commandLineDir);
  } else {
    CopyText(modes.commandLineDir, programDir);
  }
}

// False when the command line could not be read (no memory for it): the
// program then must not guess its run modes.
static bool ReadCommandLine(RunModes& modes) {
  return ParseCommandLineCopy(SkipProgramName(GetCommandLineA()), modes);
}

static bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassA(&windowClass) != 0;
}

static HWND CreateMainWindow(HINSTANCE instance) {
  HWND owner = FindWindowA(nullptr, "VORN Setup Progress");
  return CreateWindowExA(0, kMainWindowClass, "Setup", WS_OVERLAPPEDWINDOW,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

static int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

int RunSetupProgram(HINSTANCE instance) {
  static Engine engine;
  static Win32Host host(instance);
  engine.host = &host;
  g_engine = &engine;
  g_host = &host;
  BindEngineCommands(engine);
  BindWin32Commands(engine);

  EnableShutdownPrivilege();
  char programDir[kLineMax];
  EnterProgramDirectory(programDir);
  engine.modes.commandLineDir[0] = 0;
  bool installed = IsRuntimeInstalled();
  if (!ReadCommandLine(engine.modes)) {
    MessageBoxA(nullptr, "Not enough memory to read the command line.",
                "Setup", MB_OK | MB_ICONERROR);
    return 1;
  }
  if (installed) CheckUninstallMarker(engine.modes, programDir);
  VarClearAll(engine.vars);

  if (!RegisterMainWindowClass(instance)) return -1;
  // The window is created before the main-window handle is known to the
  // host; the run starts only from the message loop, after this is set.
  HWND window = CreateMainWindow(instance);
  if (!window) return -1;
  ShowWindow(window, SW_HIDE);
  host.SetMainWindow(window);
  if (!engine.modes.silent) UpdateWindow(window);
  return RunMessageLoop();
}

// Start-up of setup.exe: the shutdown privilege, the run modes from the
// command line, the working directory and the uninstall marker, the move of
// an uninstall out of its product folder, the main window and the message
// loop.
#include <windows.h>

#include "actions/moved_uninstall.h"
#include "host/command_groups.h"
#include "host/journal_file.h"
#include "host/main_window.h"
#include "host/setup_process.h"
#include "host/uninstall_relaunch.h"
#include "script/command_line.h"
#include "script/effects.h"
#include "script/journal.h"
#include "script/journal_effects.h"
#include "script/script_file.h"
#include "script/uninstall_marker.h"
#include "script/text.h"
#include "win32/win32_effects.h"

Engine* g_engine;
Win32Host* g_host;

// Enables "SeShutdownPrivilege"; failures go to the failure log and
// start-up goes on.
static void EnableShutdownPrivilege(Host& host) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES,
                        &token)) {
    host.LogFailure("OpenProcessToken", "", GetLastError());
    return;
  }
  TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                             &privileges.Privileges[0].Luid)) {
    host.LogFailure("LookupPrivilegeValue", "SeShutdownPrivilege",
                    GetLastError());
  } else {
    SetLastError(0);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    DWORD error = GetLastError();
    if (error != 0) {
      host.LogFailure("AdjustTokenPrivileges", "SeShutdownPrivilege", error);
    }
  }
  CloseHandle(token);
}

bool g_programDirectoryEntered;

// Makes the directory of the program's own file the working directory and
// returns it in `directory`; a moved uninstall takes its starter's
// directory instead, so that it reads the same script and language files
// and has the same SRCDIR. The program's path goes to the run modes when it
// fits. False when that fails: the program's name too long, or a directory
// that the ANSI code page cannot name or Windows cannot enter. The working
// directory is then someone else's, and the program must not read a script
// from it.
static bool EnterProgramDirectory(Effects& effects, Host& host, RunModes& modes,
                                  char (&directory)[kLineMax]) {
  directory[0] = 0;
  char modulePath[kLineMax];
  DWORD length = GetModuleFileNameA(nullptr, modulePath, kLineMax);
  if (length == 0 || length >= kLineMax) {
    host.LogFailure("GetModuleFileName", "", length ? kErrFilenameTooLong
                                                    : GetLastError());
    return false;
  }
  if (FitsIn(modulePath, sizeof modes.programPath)) CopyText(modes.programPath, modulePath);
  if (modes.originDir[0]) {
    CopyText(directory, modes.originDir);
  } else if (!ProgramDirectoryOf(modulePath, directory, sizeof directory)) {
    return false;
  }
  return effects.SetCurrentDirectory(directory) == kOk;
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

static const char kProgramVersion[] = "4.12";

// Every change goes through the journal's effects, which also keep the undo
// log of a rollback. /LOG=<path>: every later step of the run goes to the
// journal. A journal that cannot be opened is reported once (not in silent
// mode); the install goes on without it.
static void StartJournal(Engine& engine, Win32Host& host, Effects& effects) {
  static FileJournal journal;
  static JournalEffects journaled(effects, engine);
  engine.effects = &journaled;
  const RunModes& modes = engine.modes;
  if (!modes.journalRequested) return;
  if (!modes.journalPath[0] || !journal.Open(modes.journalPath)) {
    char text[kMsgMax];
    JoinText(text, {"The install journal cannot be written:\n",
                    modes.journalPath[0] ? modes.journalPath : "(no usable path)",
                    "\nSetup goes on without it."});
    if (!modes.silent) MessageBoxA(nullptr, text, "Setup", MB_OK | MB_ICONWARNING);
    return;
  }
  engine.journal = &journal;
  host.AttachJournal(&engine);
  Journal(engine, "start", {"setup ", kProgramVersion, ", command line: ",
                            GetCommandLineA(), ", modes:", modes.uninstall ? " uninstall" : "",
                            modes.mini ? " mini" : "", modes.silent ? " silent" : "",
                            modes.noRestart ? " norestart" : "",
                            ", directory: ", modes.commandLineDir});
}

// The program's end with `exitCode`: a moved uninstall first reports it to
// its starter and takes the deletes that waited for the starter's end, its
// main window gone so that nothing stays on screen meanwhile; then the
// journal's last line.
static int EndProgram(Engine& engine, int exitCode) {
  if (engine.modes.originDir[0]) {
    if (g_host->MainWindow()) DestroyWindow(g_host->MainWindow());
    FinishMovedUninstall(engine, exitCode);
  }
  char code[12];
  FormatDecimal(code, exitCode);
  Journal(engine, "end", {"exit code ", code, ", failure flag ",
                          engine.flags.failure ? "1" : "0", ", reboot requested ",
                          engine.flags.reboot ? "yes" : "no",
                          engine.flags.reboot && engine.modes.noRestart
                              ? " (left to the caller: /NORESTART)" : ""});
  return exitCode;
}

// The main window cannot be made (under Wine: no display to show it on).
// No script runs and the install-state record is left as it was.
static int EndWithoutMainWindow(Engine& engine, Host& host, const char* step) {
  host.LogFailure(step, kMainWindowClass, GetLastError());
  Journal(engine, "error", {"the main window cannot be created (no display?); "
                            "no script runs"});
  return EndProgram(engine, -1);
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
  // Lives until the process ends, as the statics that use it do: the
  // process ends as soon as this returns.
  Win32Effects effects;
  static Win32Host host(instance);
  effects.SetFailureLog(&host);
  engine.host = &host;
  engine.effects = &effects;
  g_engine = &engine;
  g_host = &host;
  BindAllCommandGroups(engine);

  EnableShutdownPrivilege(host);
  engine.modes.commandLineDir[0] = 0;
  if (!ReadCommandLine(engine.modes)) {
    MessageBoxA(nullptr, "Not enough memory to read the command line.",
                "Setup", MB_OK | MB_ICONERROR);
    return 1;
  }
  KeepMovedUninstallHandles(engine.modes);
  char programDir[kLineMax];
  g_programDirectoryEntered = EnterProgramDirectory(effects, host, engine.modes, programDir);
  HoldStarterFile(engine);
  if (g_programDirectoryEntered) ApplyUninstallMarker(effects, host, engine.modes, programDir);
  StartJournal(engine, host, effects);
  VarClearAll(engine.vars);
  int movedExitCode = 0;
  if (MustMoveOutOfProduct(effects, engine.modes) &&
      RunUninstallFromCopy(engine, &movedExitCode)) {
    return EndProgram(engine, movedExitCode);
  }

  if (!RegisterMainWindowClass(instance)) {
    return EndWithoutMainWindow(engine, host, "RegisterClass");
  }
  // The window is created before the main-window handle is known to the
  // host; the run starts only from the message loop, after this is set.
  HWND window = CreateMainWindow(instance);
  if (!window) return EndWithoutMainWindow(engine, host, "CreateWindowEx");
  ShowWindow(window, SW_HIDE);
  host.SetMainWindow(window);
  if (!engine.modes.silent) UpdateWindow(window);
  return EndProgram(engine, RunMessageLoop());
}

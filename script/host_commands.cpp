// Script commands of the setup host that reach Windows only through the
// engine's host interface: the run-mode tests, showing and hiding the main
// window, recording a successful install and asking for a reboot.
#include "script/commands.h"
#include "script/engine.h"
#include "script/install_state.h"

static void CmdIsMini(Engine& engine, const Statement&) {
  engine.flags.condition = engine.modes.mini ? 1 : 0;
}

static void CmdIsSilent(Engine& engine, const Statement&) {
  engine.flags.condition = engine.modes.silent ? 1 : 0;
}

static void CmdShowWindow(Engine& engine, const Statement&) {
  if (!engine.modes.silent) engine.host->ShowMainWindow(true);
}

static void CmdHideWindow(Engine& engine, const Statement&) {
  if (!engine.modes.silent) engine.host->ShowMainWindow(false);
}

// Records success with the text of APP_VERSION (empty when it is not
// defined); the failure flag is left as it is.
static void CmdInstallSuccess(Engine& engine, const Statement&) {
  const char* version = VarGet(engine.vars, "APP_VERSION");
  RecordInstallSuccess(*engine.effects, version ? version : "");
}

// The install is complete only after a reboot: Windows is rebooted at the
// end of the run, unless /NORESTART leaves that to whoever started it.
static void CmdRebootNeeded(Engine& engine, const Statement&) {
  engine.flags.reboot = 1;
}

// A failed install is rolled back from here on: every change the run makes
// is undone when it ends with an error or is abandoned. An uninstall
// never rolls back.
static void CmdRollbackOnFailure(Engine& engine, const Statement&) {
  if (!engine.modes.uninstall) engine.undo.Arm();
}

void BindHostCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdIsMini, CmdIsMini},
      {kCmdIsSilent, CmdIsSilent},
      {kCmdShowWindow, CmdShowWindow},
      {kCmdHideWindow, CmdHideWindow},
      {kCmdInstallSuccess, CmdInstallSuccess},
      {kCmdRebootNeeded, CmdRebootNeeded},
      {kCmdRollbackOnFailure, CmdRollbackOnFailure},
  };
  BindCommands(engine, kBindings);
}

// A whole setup run: its start, its first section and its one end.
#include "script/setup_run.h"

#include "script/engine.h"
#include "script/errors.h"
#include "script/install_state.h"
#include "script/runner.h"
#include "script/script_file.h"

bool StartSetupRun(Engine& engine, ScriptFile& script) {
  if (script.Open(*engine.effects, "setup.ini") != kOk) return false;
  engine.script = &script;
  engine.flags.failure = ArmInstallState(*engine.effects);
  return true;
}

int RunSetupScript(Engine& engine, WindowRef owner) {
  RunSection(engine, owner, engine.modes.uninstall ? "Uninstall" : "Setup");
  TakeEndOfRunSteps(engine);
  return ExitCodeOfRun(engine);
}

void TakeEndOfRunSteps(Engine& engine) {
  if (engine.flags.failure == 0) ClearFailureMarker(*engine.effects);
  RequestRebootIfAsked(engine);
}

int ExitCodeOfRun(const Engine& engine) {
  const RunFlags& flags = engine.flags;
  if (flags.unanswered) return kExitUnanswered;
  if (flags.abandoned) return kExitAbandoned;
  if (flags.failedThisRun) return kExitFailed;
  if (flags.reboot && engine.modes.noRestart) return kExitRebootNeeded;
  return kExitDone;
}

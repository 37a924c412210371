// A whole setup run: its start, its first section and its one end.
#include "script/setup_run.h"

#include "script/engine.h"
#include "script/errors.h"
#include "script/answers.h"
#include "script/install_state.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "script/unattended.h"

// The answers of the process's one run: zero-initialised, they cost no
// file size.
static AnswerStore g_givenAnswers;
static AnswerStore g_recordedAnswers;

SetupStart StartSetupRun(Engine& engine, ScriptFile& script) {
  if (script.Open(*engine.effects, "setup.ini") != kOk) return kSetupNoScript;
  engine.script = &script;
  if (!LoadRunAnswers(engine, g_givenAnswers, g_recordedAnswers)) return kSetupBadAnswers;
  engine.flags.failure = ArmInstallState(*engine.effects);
  if (engine.modes.rollback && !engine.modes.uninstall) engine.undo.Arm();
  return kSetupStarted;
}

int RunSetupScript(Engine& engine, WindowRef owner) {
  RunSection(engine, owner, engine.modes.uninstall ? "Uninstall" : "Setup");
  TakeEndOfRunSteps(engine);
  return ExitCodeOfRun(engine);
}

// An armed install that failed, or that its user or its answers file
// abandoned, is undone; one that ended well lets its kept files go.
static void FinishUndoLog(Engine& engine) {
  if (!engine.undo.armed()) return;
  int exitCode = ExitCodeOfRun(engine);
  if (exitCode == kExitFailed || exitCode == kExitAbandoned || exitCode == kExitUnanswered) {
    engine.undo.RollBack(engine);
  } else {
    engine.undo.LetKeptFilesGo(engine);
  }
}

void TakeEndOfRunSteps(Engine& engine) {
  FinishUndoLog(engine);
  SaveRunAnswers(engine);
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

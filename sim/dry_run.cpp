// The start and end of a dry run, as setup.exe's own start-up and end take
// them, around the shared setup run.
#include "sim/dry_run.h"

#include <memory>

#include "program/command_groups.h"
#include "script/command_line.h"
#include "script/engine.h"
#include "script/journal.h"
#include "script/journal_effects.h"
#include "script/messages.h"
#include "script/script_file.h"
#include "script/setup_run.h"
#include "script/text.h"
#include "script/uninstall_marker.h"
#include "sim/simulated_machine.h"
#include "sim/simulated_user.h"

const char* const kNotSimulated[] = {
    "free space: every write fits",
    "windows: nothing is shown; boxes and dialogs are answered as the plan says",
    "an uninstall's move out of the folder it removes: it runs in place",
    "the journal file of /LOG=: its lines are this plan; no file is written",
};
const int kNotSimulatedCount = sizeof kNotSimulated / sizeof kNotSimulated[0];

namespace {

// The folder of setup.exe, where it looks for setup.ini; "" when the path
// has none.
std::string ProgramFolder(const std::string& programPath) {
  char folder[kPathMax];
  if (!ProgramDirectoryOf(programPath.c_str(), folder, sizeof folder)) return "";
  return folder;
}

const char kStandInProgram[] = "MZ (a stand-in for setup.exe)";

}  // namespace

void PlaceStandInProgram(SimulatedMachine& machine, const std::string& programPath) {
  std::string folder = ProgramFolder(programPath);
  if (machine.Exists(programPath) || folder.empty() || !machine.IsDirectory(folder)) return;
  machine.WriteFile(programPath, kStandInProgram);
}

namespace {

void JournalStart(Engine& engine, const DryRunSetup& setup) {
  const RunModes& modes = engine.modes;
  Journal(engine, "start", {"dry run of ", setup.programPath.c_str(), ", command line: ",
                            setup.commandLine.c_str(), ", modes:", modes.uninstall ? " uninstall" : "",
                            modes.mini ? " mini" : "", modes.silent ? " silent" : "",
                            modes.noRestart ? " norestart" : "", modes.rollback ? " rollback" : "",
                            ", directory: ", modes.commandLineDir});
}

// The run itself: -1 when no script ran, else the run's exit code.
int RunSetup(Engine& engine, ScriptFile& script) {
  SetupStart start = StartSetupRun(engine, script);
  if (start == kSetupNoScript) {
    char directory[kPathMax] = "";
    engine.effects->GetCurrentDirectory(directory);
    Journal(engine, "error", {"setup.ini cannot be opened in ", directory});
    ShowMsgBox(engine, kBoxOk, "ERROR", "No setup.ini file...");
  }
  if (start != kSetupStarted) return kExitNoScript;
  return RunSetupScript(engine, nullptr);
}

void JournalEnd(Engine& engine, int exitCode) {
  std::string code = std::to_string(exitCode);
  Journal(engine, "end", {"exit code ", code.c_str(), ", failure flag ",
                          engine.flags.failure ? "1" : "0", ", reboot requested ",
                          engine.flags.reboot ? "yes" : "no",
                          engine.flags.reboot && engine.modes.noRestart
                              ? " (left to the caller: /NORESTART)" : ""});
}

}  // namespace

DryRunResult RunDryRun(SimulatedMachine& machine, const DryRunSetup& setup) {
  auto engine = std::make_unique<Engine>();
  SimulatedUser user(*engine, setup.languageId);
  JournalEffects journaled(machine, *engine);
  engine->host = &user;
  engine->effects = &journaled;
  engine->journal = &user;
  machine.SetFailureLog(&user);
  machine.NoteAssumptionsIn(engine.get());
  BindPlatformFreeCommandGroups(*engine);
  BindSimulatedDialogs(*engine);

  DryRunResult result;
  ScriptFile script;  // the run's journal lines name places in it to the end
  ParseCommandLineCopy(setup.commandLine.c_str(), engine->modes);
  CopyText(engine->modes.programPath, setup.programPath.c_str());
  machine.programPath = setup.programPath;
  PlaceStandInProgram(machine, setup.programPath);
  std::string folder = ProgramFolder(setup.programPath);
  bool entered = !folder.empty() && machine.SetCurrentDirectory(folder.c_str()) == kOk;
  if (entered) ApplyUninstallMarker(machine, user, engine->modes, folder.c_str());
  JournalStart(*engine, setup);
  if (machine.IsFile(setup.programPath) && machine.ReadFile(setup.programPath) == kStandInProgram) {
    Journal(*engine, "assumed", {setup.programPath.c_str(),
                                 " is a stand-in file: the program itself is not simulated"});
  }
  if (!entered) {
    Journal(*engine, "error", {"the program's own directory cannot be made the working directory; "
                               "no setup.ini is read"});
    result.exitCode = kExitNoScript;
  } else {
    result.exitCode = RunSetup(*engine, script);
  }
  JournalEnd(*engine, result.exitCode);
  result.failureFlag = engine->flags.failure != 0;
  result.rebootRequested = engine->flags.reboot != 0;
  machine.NoteAssumptionsIn(nullptr);
  machine.SetFailureLog(nullptr);
  for (const PlanStep& step : user.steps) {
    if (step.kind == "statement" && !setup.traceStatements) continue;
    result.steps.push_back(step);
  }
  return result;
}

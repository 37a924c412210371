// setupsim: runs an install script on a simulated machine and prints what
// the run would do (see kDryRunUsage). Its exit code is the run's, as the
// system keeps it (0..255: -1 is 255, 3010 is 194); 2 with no plan when
// the machine description or its files are wrong, and 2 after the plan
// when the state could not be saved after the run.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/dry_run.h"
#include "sim/machine_options.h"
#include "sim/machine_state.h"
#include "sim/plan_output.h"
#include "sim/simulated_machine.h"

namespace {

const int kBadDescription = 2;

int Refuse(const std::string& problem) {
  fprintf(stderr, "setupsim: %s\n", problem.c_str());
  return kBadDescription;
}

}  // namespace

int main(int argc, char** argv) {
  DryRunOptions options;
  std::string error;
  if (!ParseDryRunOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    Refuse(error);
    fputs(kDryRunUsage, stderr);
    return kBadDescription;
  }
  SimulatedMachine machine, since;
  if (!BuildMachine(options, machine, &error)) return Refuse(error);
  bool showChanges = options.changes || !options.changesSinceFile.empty();
  if (options.changes) {
    since = machine;
  } else if (showChanges && !LoadMachineState(since, options.changesSinceFile, &error)) {
    return Refuse(error);
  }
  if (!options.saveStartStateFile.empty() &&
      !SaveMachineState(machine, options.saveStartStateFile, &error)) {
    return Refuse(error);
  }
  // The state to save must be writable before anything runs: a run whose
  // state is lost would mislead the next one.
  if (!options.saveStateFile.empty() && !StateCanBeSaved(options.saveStateFile, &error)) {
    return Refuse(error);
  }
  DryRunResult result = RunDryRun(machine, options.setup);
  bool saved = options.saveStateFile.empty() ||
               SaveMachineState(machine, options.saveStateFile, &error);
  std::vector<std::string> changes;
  if (showChanges) changes = MachineChanges(since, machine);
  const std::vector<std::string>* shown = showChanges ? &changes : nullptr;
  std::string report = options.json ? PlanAsJson(options.setup, result, shown)
                                    : PlanAsText(options.setup, result, shown);
  fputs(report.c_str(), stdout);
  if (!saved) return Refuse(error);
  return result.exitCode;
}

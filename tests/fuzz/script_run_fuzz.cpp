// Fuzz target: a whole setup run of the input as setup.ini, as the dry run
// makes it (the same library as setupsim): the start, sections,
// conditions, calls, the store, every command group and the simulated
// user's dialogs, through the journal's effects and the undo log, to the
// end-of-run steps (a rollback, when the script armed one). Whatever the
// script, the folders that hold the system and the user's own files, and
// the drives' roots, survive it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/dry_run.h"
#include "sim/machine_options.h"
#include "sim/simulated_machine.h"

// Folders no script may remove, each with a file in it: the system's, the
// user's and the program-files folder of a fresh machine, and a folder of
// a second drive.
static std::vector<std::string> Sentinels(const SimulatedMachine& machine) {
  std::vector<std::string> folders = {machine.windowsDirectory, machine.systemDirectory,
                                      machine.tempPath.substr(0, machine.tempPath.size() - 1),
                                      "D:\\keep"};
  for (const auto& special : machine.specialFolders) folders.push_back(special.second);
  return folders;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DryRunOptions options;
  SimulatedMachine machine;
  std::string error;
  if (!BuildMachine(options, machine, &error)) abort();
  machine.driveTypes['D'] = kDriveFixed;
  std::vector<std::string> sentinels = Sentinels(machine);
  for (const std::string& folder : sentinels) machine.WriteFile(folder + "\\sentinel.txt", "keep");
  machine.WriteFile("C:\\setup\\setup.ini", std::string(reinterpret_cast<const char*>(data), size));
  RunDryRun(machine, options.setup);
  for (const std::string& folder : sentinels) {
    if (folder != "D:\\keep" && !machine.IsDirectory(folder)) {  // a script may name D:\keep
      fprintf(stderr, "the folder %s was removed\n", folder.c_str());
      abort();
    }
  }
  return 0;
}

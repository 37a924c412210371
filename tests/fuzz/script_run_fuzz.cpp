// Fuzz target: a whole script run on the recording host and the in-memory
// machine: sections, conditions, calls, the store and the commands of the
// platform-free groups, through the journal's effects and the undo log, to
// the end-of-run steps (a rollback, when the script armed one). Whatever
// the script, the folders that hold the system and the user's own files,
// and the drives' roots, survive it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "program/command_groups.h"
#include "script/engine.h"
#include "script/journal_effects.h"
#include "script/runner.h"
#include "script/setup_run.h"
#include "script/script_file.h"
#include "tests/native/fake_host.h"
#include "sim/memory_effects.h"

// Folders no script may remove, each with a file in it.
static const char* const kSentinelFolders[] = {
    "C:\\windows", "C:\\windows\\system32", "C:\\windows\\temp",
    "C:\\Program Files", "C:\\users\\test", "C:\\users\\test\\Desktop",
    "C:\\users\\test\\Start Menu\\Programs",
    "C:\\users\\test\\Start Menu\\Programs\\StartUp", "C:\\setup", "D:\\keep"};

static void PlantSentinels(MemoryEffects& machine) {
  machine.driveTypes = {{'C', kDriveFixed}, {'D', kDriveFixed}};
  for (const char* folder : kSentinelFolders) {
    machine.WriteFile(std::string(folder) + "\\sentinel.txt", "keep");
  }
}

// A protected folder gone is a fault, whatever the input.
static void CheckSentinels(const MemoryEffects& machine) {
  for (const char* folder : kSentinelFolders) {
    std::string name = folder;
    if (name == "D:\\keep" || name == "C:\\setup") continue;  // a script may name them
    if (!machine.IsDirectory(folder)) {
      fprintf(stderr, "the folder %s was removed\n", folder);
      abort();
    }
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FakeHost host;
  MemoryEffects machine;
  PlantSentinels(machine);
  machine.WriteFile("C:\\setup\\setup.ini",
                    std::string(reinterpret_cast<const char*>(data), size));
  machine.WriteFile("C:\\setup\\setup.exe", "program");
  Engine* engine = new Engine;
  CopyText(engine->modes.programPath, "C:\\setup\\setup.exe");  // what KeepUninstaller copies
  JournalEffects journaled(machine, *engine);
  engine->host = &host;
  engine->effects = &journaled;
  BindPlatformFreeCommandGroups(*engine);
  ScriptFile script;
  if (script.Open(machine, "setup.ini") == kOk) {
    engine->script = &script;
    RunSection(*engine, nullptr, "Setup");
    TakeEndOfRunSteps(*engine);
  }
  delete engine;
  CheckSentinels(machine);
  return 0;
}

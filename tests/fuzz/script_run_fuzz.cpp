// Fuzz target: a whole script run on the recording host and the in-memory
// machine: sections, conditions, calls, the store and the commands of the
// platform-free groups.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "actions/action_groups.h"
#include "runtimecfg/runtime_config.h"
#include "script/commands.h"
#include "script/engine.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "shell/shell_commands.h"
#include "tests/native/fake_host.h"
#include "tests/native/memory_effects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vorn-fuzz-" + std::to_string(getpid()) + ".ini";
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return 0;
  fwrite(data, 1, size, out);
  fclose(out);
  FakeHost host;
  MemoryEffects machine;
  Engine* engine = new Engine;
  engine->host = &host;
  engine->effects = &machine;
  for (auto bind : {BindVariableCommands, BindMessageCommands, BindControlFlowCommands,
                    BindHostCommands, BindStringCommands, BindTextFileCommands,
                    BindFileTransferCommands, BindFileTreeCommands, BindFileSearchCommands,
                    BindProbeCommands, BindProgramCommands, BindShortcutCommands,
                    BindUninstallEntryCommands, BindRuntimeConfigCommands}) {
    bind(*engine);
  }
  // AppendFile writes real files: a fuzzed script could name any of them.
  engine->handlers[kCmdAppendFile] = nullptr;
  ScriptFile script;
  if (script.Open(path.c_str())) {
    engine->script = &script;
    RunSection(*engine, nullptr, "Setup");
  }
  delete engine;
  return 0;
}

// The command groups that need no windows, in the order of the language
// reference. The engine knows none of them; each group binds its own
// commands to the command table's identifiers.
#include "program/command_groups.h"

#include "actions/action_groups.h"
#include "runtimecfg/runtime_config.h"
#include "script/commands.h"
#include "script/engine.h"
#include "shell/shell_commands.h"

static void (*const kPlatformFreeGroups[])(Engine& engine) = {
    BindVariableCommands,        // variables
    BindMessageCommands,         // messages
    BindControlFlowCommands,     // control flow
    BindHostCommands,            // run modes and main window
    BindStringCommands,          // strings
    BindTextFileCommands,        // text files
    BindFileTransferCommands,    // file transfers
    BindFileTreeCommands,        // directory trees
    BindFileSearchCommands,      // file search
    BindProbeCommands,           // system variables and probes
    BindProgramCommands,         // programs, DLLs and fonts
    BindShortcutCommands,        // shortcuts and program groups
    BindUninstallEntryCommands,  // uninstall entry and file classes
    BindRuntimeConfigCommands,   // runtime configuration
};

void BindPlatformFreeCommandGroups(Engine& engine) {
  for (auto bind : kPlatformFreeGroups) bind(engine);
}

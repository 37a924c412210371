// The one list of command groups. The engine knows none of them; each group
// binds its own commands to the command table's identifiers.
#include "host/command_groups.h"

#include "host/dialog_commands.h"

#include "actions/action_groups.h"
#include "runtimecfg/runtime_config.h"
#include "script/commands.h"
#include "script/engine.h"
#include "shell/shell_commands.h"

struct CommandGroup {
  const char* name;
  void (*bind)(Engine& engine);
};

static const CommandGroup kCommandGroups[] = {
    {"variables", BindVariableCommands},
    {"messages", BindMessageCommands},
    {"control flow", BindControlFlowCommands},
    {"run modes and main window", BindHostCommands},
    {"strings", BindStringCommands},
    {"text files", BindTextFileCommands},
    {"file transfers", BindFileTransferCommands},
    {"directory trees", BindFileTreeCommands},
    {"file search", BindFileSearchCommands},
    {"system variables and probes", BindProbeCommands},
    {"programs, DLLs and fonts", BindProgramCommands},
    {"shortcuts and program groups", BindShortcutCommands},
    {"uninstall entry and file classes", BindUninstallEntryCommands},
    {"runtime configuration", BindRuntimeConfigCommands},
    {"setup dialogs", BindDialogCommands},
};

void BindAllCommandGroups(Engine& engine) {
  for (const CommandGroup& group : kCommandGroups) group.bind(engine);
}

// Every command group of the program: those that need no windows, then the
// setup dialogs.
#include "host/command_groups.h"

#include "host/dialog_commands.h"
#include "program/command_groups.h"

void BindAllCommandGroups(Engine& engine) {
  BindPlatformFreeCommandGroups(engine);
  BindDialogCommands(engine);
}

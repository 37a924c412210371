// Every command group of the program, bound in one place.
#pragma once

#include "script/command_table.h"

struct Engine;

// Binds every command group to `engine`.
void BindAllCommandGroups(Engine& engine);

// Commands whose Part is not built yet: after BindAllCommandGroups these
// and only these have no handler (they take the internal-error path).
extern const CommandId kCommandsNotYetBuilt[];
extern const int kCommandsNotYetBuiltCount;

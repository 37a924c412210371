// The one list of the program's command groups that need no windows.
#pragma once

struct Engine;

// Binds every command group but the setup dialogs, which the Windows host
// adds (tests, the fuzz targets and tools run without them).
void BindPlatformFreeCommandGroups(Engine& engine);

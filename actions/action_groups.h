// Binding of the command groups of the install actions, one per file that
// implements them.
#pragma once

struct Engine;

void BindStringCommands(Engine& engine);  // Strcmp, Stricmp, AppendFile
void BindProbeCommands(Engine& engine);   // GetSystemVars, DetectTCPIP, ...

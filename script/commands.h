// Binding of the commands that the platform-free engine performs, one group
// per file that implements them.
#pragma once

struct Engine;

void BindVariableCommands(Engine& engine);     // set, get, Clr
void BindMessageCommands(Engine& engine);      // MsgBox*, SetText
void BindControlFlowCommands(Engine& engine);  // If, goto, Include, quit...
void BindHostCommands(Engine& engine);         // run modes, main window, record
void BindStringCommands(Engine& engine);       // Strcmp, Stricmp, AppendFile

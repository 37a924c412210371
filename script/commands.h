// Binding of the command groups that the engine performs itself, one per
// file that implements them.
#pragma once

struct Engine;

void BindVariableCommands(Engine& engine);     // set, get, Clr
void BindMessageCommands(Engine& engine);      // MsgBox*, SetText
void BindControlFlowCommands(Engine& engine);  // If, goto, Include, quit...
void BindHostCommands(Engine& engine);         // run modes, main window, record

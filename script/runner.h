// The section runner: runs one named section of the current script file,
// statement by statement, with its own progress dialog, letting window
// messages through between statements. Nested runs (goto, Include and the
// like) put the caller's file position and stop flag back when they end.
#pragma once

#include "script/host.h"

struct Engine;
class ScriptFile;

// How many pending messages the runner lets through after each statement.
const int kPumpLimit = 50;

// Runs section `name` to its end, or until the stop or quit flag is set.
// A null or missing name takes the missing-section path.
void RunSection(Engine& engine, WindowRef owner, const char* name);

// Positions `file` after the first label named `name` (ASCII case ignored);
// false when there is none.
bool FindSection(const char* name, ScriptFile& file);

// The helpers of the program commands that other parts use and tests see.
#pragma once

#include "script/engine.h"

// Calls DllRegisterServer of the library at `path`; 1 when it was called.
// A library that does not load, lacks the entry or reports failure is
// reported (never in silent mode) and sets the failure flag.
int RegisterDll(Engine& engine, WindowRef dialog, const char* path);
// The same with DllUnregisterServer, whose result does not count.
int UnregisterDll(Engine& engine, WindowRef dialog, const char* path);

// The file RunWait starts for `name`: taken from the current directory when
// it has no '\', '/' or ':'; without an extension in its last element, the
// first of .com, .exe, .bat and .cmd that exists. False when none does.
bool FindProgram(Engine& engine, const char* name, char (&path)[kPathMax]);
// The child's command line for `program` and `arguments` (null: none).
bool ChildCommandLine(const char* program, const char* arguments,
                      char (&line)[kLineMax]);

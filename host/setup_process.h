// The process-wide objects of the setup program: the engine and its Win32
// host. Start-up creates them; the main window runs the script with them.
#pragma once

#include "host/win32_host.h"
#include "script/engine.h"

extern Engine* g_engine;
extern Win32Host* g_host;
// False when start-up could not make the program's directory the working
// directory: no script may then be read.
extern bool g_programDirectoryEntered;

// Start-up, message loop and exit code of the whole program.
int RunSetupProgram(HINSTANCE instance);

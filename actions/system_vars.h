// GetSystemVars and the registry probes it uses: the system directories,
// the default destination, Netscape's program directory and whether it
// opens .htm files. Ends with the choice of the language file.
#pragma once

#include <cstddef>

struct Engine;
class Effects;

// The program files directory from the registry with one backslash
// appended, into `destination` (260 bytes): 1 on success; 0, with the buffer
// unchanged, when neither "ProgramFilesDir" nor "ProgramFilesPath" can be
// read or the directory does not fit.
int ReadProgramFilesDir(Effects& effects, char* destination, size_t capacity);
// Sets NETSCAPEPATH: the program directory holding a non-empty netscape.exe,
// or the empty text.
void FindNetscapePath(Engine& engine);
// Sets NETSCAPEDEFAULT to "YES" when the open command of .htm files names
// netscape (case ignored), else to the empty text; returns 1 or 0.
int DetectNetscapeDefault(Engine& engine);
// Fills SYSDIR, WINDIR, SRCDIR, PROGRAMFILES, DSTDIR, WINDOWSTEMP, the
// Netscape variables and languagefile, in this order.
void GetSystemVars(Engine& engine);

// The command line of the setup program: run-mode switches, the
// command-line directory, and the internal switches of an uninstall moved
// out of the product folder.
#pragma once

#include "script/engine.h"

class ByteBuffer;

// Most words of a command line that are looked at; later ones are ignored.
const int kMaxCommandWords = 128;

// Takes every switch `name` ("/LOG=", "/DIR=", ...; any case) out of
// `arguments`, blanking it: its value runs up to the next blank, or is in
// double quotes, and is taken as written (single backslashes). The last one
// counts. `value` is "" when its value does not fit. True when the switch
// was there.
bool TakeValueSwitch(char* arguments, const char* name, char (&value)[kPathMax]);

// Takes the value switches ("/LOG=<path>", "/DIR=<path>", "/ANSWERS=<file>",
// "/SAVEANSWERS=<file>", and the internal "/ORIGIN=<dir>", "/PARENT=<n>",
// "/RESULTPIPE=<n>"), then splits `arguments` (the text after the
// program's name; rewritten in place) and applies the words in order:
// "/UNINSTALL", "/MINI", "/SILENT" and "/NORESTART" (any case) switch modes
// on; any other word becomes the command-line directory, without one
// trailing '/' or '\'. A later directory word replaces an earlier one; a
// word too long for a path is ignored; "/DIR=" wins over directory words
// and keeps a drive root's backslash.
void ParseCommandLine(char* arguments, RunModes& modes);
// The same on a copy of `arguments`, which is left as it is. Returns false,
// with `modes` unchanged, when there is no memory for the copy.
bool ParseCommandLineCopy(const char* arguments, RunModes& modes);

// The directory of the program file `modulePath`, into `directory`: the
// text before its last '\' or '/', and a drive's root keeps its backslash
// ("R:\setup.exe" gives "R:\", since "R:" alone means the current
// directory of drive R). False when the path has no directory part or the
// directory does not fit.
bool ProgramDirectoryOf(const char* modulePath, char* directory,
                        size_t capacity);

// The text after the program's name in a full command line: the name is the
// first word, or the quoted text when it starts with a double quote.
const char* SkipProgramName(const char* commandLine);

// A handle's number as the internal switches write it: decimal digits
// alone, 1 to 2147483647 (handles are small positive numbers); anything
// else gives 0 (no handle).
unsigned long HandleNumber(const char* text);

// The command line that starts the copy of an uninstall moved out of the
// product folder: "\"<program>\" /ORIGIN=\"<origin>\" /PARENT=<parent>
// /RESULTPIPE=<pipe> <arguments>" (the internal switches first, so that no
// quote the caller left open in `arguments` can take them in). False when
// a path holds a double quote, which no quoting could carry, or memory
// runs out.
bool BuildMovedUninstallCommandLine(ByteBuffer& line, const char* program,
                                    const char* origin, unsigned long parent,
                                    unsigned long pipe, const char* arguments);

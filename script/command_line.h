// The command line of the setup program: run-mode switches and the
// command-line directory.
#pragma once

#include "script/engine.h"

// Most words of a command line that are looked at; later ones are ignored.
const int kMaxCommandWords = 128;

// Takes every switch `name` ("/LOG=", "/DIR=", ...; any case) out of
// `arguments`, blanking it: its value runs up to the next blank, or is in
// double quotes, and is taken as written (single backslashes). The last one
// counts. `value` is "" when its value does not fit. True when the switch
// was there.
bool TakeValueSwitch(char* arguments, const char* name, char (&value)[kPathMax]);

// Takes the value switches ("/LOG=<path>", "/DIR=<path>", "/ANSWERS=<file>",
// "/SAVEANSWERS=<file>"), then splits `arguments` (the text after the
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

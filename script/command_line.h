// The command line of the setup program: run-mode switches and the
// command-line directory.
#pragma once

#include "script/engine.h"

// Most words of a command line that are looked at; later ones are ignored.
const int kMaxCommandWords = 128;

// Takes the journal switch "/LOG=<path>" (any case; the path up to the next
// blank, or in double quotes) out of `arguments`, blanking it, so that its
// path is taken as written. `path` is "" when there is none or it does not
// fit. True when the switch was there.
bool TakeJournalSwitch(char* arguments, char (&path)[kPathMax]);

// Takes the journal switch, then splits `arguments` (the text after the
// program's name; rewritten in place) and applies the words in order: "/UNINSTALL", "/MINI" and "/SILENT" (any
// case) switch modes on; any other word becomes the command-line directory,
// without one trailing '/' or '\'. A later directory word replaces an
// earlier one; a word too long for a path is ignored.
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

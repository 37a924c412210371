// Conditions and section calls: If/Else/Endif skipping, goto, Include,
// Return, quit and quiterr.
#pragma once

class ScriptFile;

// Reads lines from the current position until one whose first word equals
// `wordA` (result 1) or `wordB` (result 2), ASCII case ignored; either may be
// null. Returns 0 at the end of the file. Labels, quotes and comments have
// no meaning here. The file is left after the line found.
int SkipToKeyword(const char* wordA, const char* wordB, ScriptFile& file);

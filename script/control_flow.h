// Conditions and section calls: If/Else/Endif skipping, goto, Include,
// Return, quit and quiterr.
#pragma once

class ScriptFile;

// Where a skip ended. The values are those If and Else leave in the
// condition flag.
enum SkipEnd { kSkipHitEndOfFile = 0, kSkipFoundWordA = 1, kSkipFoundWordB = 2 };

// Reads lines from the current position until one whose first word equals
// `wordA` or `wordB`, ASCII case ignored; either may be null. Labels,
// quotes and comments have no meaning here. The file is left after the
// line found.
SkipEnd SkipToKeyword(const char* wordA, const char* wordB, ScriptFile& file);

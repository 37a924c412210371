// Version texts: the fields of a key's line, each cut or padded to exactly
// four characters and joined by "-", so that text order agrees with the
// numeric order of fields of up to four digits ("0004-0012").
#pragma once

#include <cstddef>

const int kVersionWordsMax = 128;  // words of a line that are looked at
const int kVersionFieldsMax = 25;  // fields of a version text
const size_t kVersionTextMax = kVersionFieldsMax * 5;  // with the NUL
extern const char kNoVersion[];    // "0000-0000"

// Puts `fill` before `text` (in place) until it is `width` long; a text
// that long or longer stays. The buffer holds `width` + 1 bytes.
void PadLeft(char* text, char fill, size_t width);

// When `line` (rewritten in place) is a line of at least three words whose
// first equals `key` (ASCII case ignored), writes the version text of the
// words after the first into `out` and returns true. Words are split as
// SplitWords does; the line end stays part of the last word until it is
// removed from there. Words beyond the 128th and fields beyond the 25th
// are ignored.
bool VersionTextOfLine(char* line, const char* key,
                       char (&out)[kVersionTextMax]);

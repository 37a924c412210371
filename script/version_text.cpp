// Version texts of key lines.
#include "script/version_text.h"

#include <cstring>

#include "script/split_words.h"
#include "script/text.h"

const char kNoVersion[] = "0000-0000";

void PadLeft(char* text, char fill, size_t width) {
  size_t length = strlen(text);
  if (length >= width) return;
  size_t shift = width - length;
  memmove(text + shift, text, length + 1);
  memset(text, fill, shift);
}

bool VersionTextOfLine(char* line, const char* key,
                       char (&out)[kVersionTextMax]) {
  char* words[kVersionWordsMax];
  int count = SplitWords(line, words, kVersionWordsMax);
  if (count < 3 || !EqualsNoCase(words[0], key)) return false;
  DropLineFeed(words[count - 1]);
  out[0] = 0;
  int fields = count - 1 < kVersionFieldsMax ? count - 1 : kVersionFieldsMax;
  for (int i = 1; i <= fields; ++i) {
    char field[5];
    CopyText(field, words[i]);  // its first four characters
    PadLeft(field, '0', 4);
    if (i > 1) AppendText(out, "-");
    AppendText(out, field);
  }
  return true;
}

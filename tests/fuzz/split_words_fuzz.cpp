// Fuzz target: EscapeWord then SplitWords gives back the very bytes (a NUL
// ends the word as read); SplitWords on raw input never overruns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "script/split_words.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::vector<char> escaped(EscapedSize(size));
  size_t written = EscapeWord(text, size, escaped.data());
  if (written + 1 > escaped.size()) abort();
  char* words[4];
  int count = SplitWords(escaped.data(), words, 4);
  size_t upToNul = strnlen(text, size);
  if (size > 0 && (count != 1 || strlen(words[0]) != upToNul ||
                   memcmp(words[0], text, upToNul) != 0)) {
    abort();
  }
  std::vector<char> raw(text, text + size);
  raw.push_back(0);
  char* many[128];
  SplitWords(raw.data(), many, 128);
  return 0;
}

// Blank skipping, case-insensitive comparison and bounded copies.
#include "script/text.h"

#include <cstring>

char* SkipBlanks(char* text) {
  while (IsBlank(*text)) ++text;
  return text;
}

const char* SkipBlanks(const char* text) {
  while (IsBlank(*text)) ++text;
  return text;
}

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (FoldAscii(*a) != FoldAscii(*b)) return false;
  }
  return *a == *b;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (!*text || FoldAscii(*text) != FoldAscii(*prefix)) return false;
  }
  return true;
}

size_t CopyText(char* dst, size_t capacity, const char* src) {
  if (capacity == 0) return 0;
  size_t n = 0;
  while (n + 1 < capacity && src[n]) {
    dst[n] = src[n];
    ++n;
  }
  dst[n] = 0;
  return n;
}

size_t BoundedLength(const char* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length]) ++length;
  return length;
}

size_t AppendText(char* dst, size_t capacity, const char* src) {
  size_t used = BoundedLength(dst, capacity);
  if (used >= capacity) return 0;
  return CopyText(dst + used, capacity - used, src);
}

const char* NextItem(const char* item) { return item + strlen(item) + 1; }

void DropLineFeed(char* line) {
  size_t length = strlen(line);
  if (length > 0 && line[length - 1] == '\n') line[length - 1] = 0;
}

bool FitsIn(const char* src, size_t capacity) {
  return BoundedLength(src, capacity) < capacity;
}

bool JoinText(char* dst, size_t capacity,
              std::initializer_list<const char*> parts) {
  if (capacity == 0) return false;
  size_t used = 0;
  for (const char* part : parts) {
    size_t length = strlen(part);
    if (length >= capacity - used) {
      dst[0] = 0;
      return false;
    }
    memcpy(dst + used, part, length);
    used += length;
  }
  dst[used] = 0;
  return true;
}

void FormatDecimal(char* dst, size_t capacity, long value) {
  char digits[24];
  size_t count = 0;
  unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                      : static_cast<unsigned long>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) digits[count++] = '-';
  char text[24];
  for (size_t i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
  text[count] = 0;
  CopyText(dst, capacity, text);
}

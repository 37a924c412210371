// Word splitting with backslash escapes; escapes only shrink the text, so
// the write position never passes the read position.
#include "script/split_words.h"

// Decodes the escape whose backslash is at `*read`; writes the byte at
// `*write`. Returns false when the backslash was the last byte.
static bool DecodeEscape(char** read, char** write) {
  char* p = *read + 1;
  if (*p == 0) {
    **write = 0;
    *read = p;
    return false;
  }
  char out;
  if (*p >= '0' && *p <= '9') {
    int value = 0;
    for (int digits = 0; digits < 3 && *p >= '0' && *p <= '9'; ++digits, ++p) {
      value = value * 10 + (*p - '0');
    }
    out = static_cast<char>(value & 0xFF);
  } else {
    out = *p == 'n' ? '\n' : *p == 'z' ? '\0' : *p;
    ++p;
  }
  *(*write)++ = out;
  *read = p;
  return true;
}

int SplitWords(char* text, char** words, int maxWords) {
  int count = 0;
  char* read = text;
  char* write = nullptr;  // null: outside a word
  while (*read) {
    if (*read == ' ') {
      if (write) *write = 0;
      write = nullptr;
      ++read;
      continue;
    }
    if (!write) {
      if (count >= maxWords) return count;
      words[count++] = read;
      write = read;
    }
    if (*read == '\\') {
      if (!DecodeEscape(&read, &write)) return count;
      continue;
    }
    *write++ = *read++;
  }
  if (write) *write = 0;
  return count;
}

size_t EscapedSize(size_t length) { return length * 4 + 1; }

size_t EscapeWord(const char* text, size_t length, char* out) {
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\\' || c == ' ') {
      out[n++] = '\\';
      out[n++] = static_cast<char>(c);
    } else if (c == '\n') {
      out[n++] = '\\';
      out[n++] = 'n';
    } else if (c < 32 || c >= 128) {
      out[n++] = '\\';
      out[n++] = static_cast<char>('0' + c / 100);
      out[n++] = static_cast<char>('0' + c / 10 % 10);
      out[n++] = static_cast<char>('0' + c % 10);
    } else {
      out[n++] = static_cast<char>(c);
    }
  }
  out[n] = 0;
  return n;
}

// Byte-level text rules shared by the whole program: the blank rule of the
// script language, ASCII case-insensitive comparison, and the bounded helpers
// through which every fixed-size buffer is written.
#pragma once

#include <cstddef>
#include <initializer_list>

const size_t kLineMax = 1024;  // script and text-file lines, with their NUL
const size_t kPathMax = 260;   // paths and directories, with their NUL
const size_t kMsgMax = 4096;   // formatted message texts, with their NUL

// A blank is a byte whose value read as a signed 8-bit number is 1..32,
// that is 0x01-0x20 and 0x80-0xFF. NUL is neither blank nor a word byte.
inline bool IsBlank(char c) {
  return c != 0 && static_cast<signed char>(c) <= 32;
}
inline bool IsWordByte(char c) { return static_cast<signed char>(c) > 32; }

// First byte at or after `text` that is NUL or not a blank.
char* SkipBlanks(char* text);
const char* SkipBlanks(const char* text);

inline char FoldAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
// Equality with ASCII letters folded; other bytes compare exactly.
bool EqualsNoCase(const char* a, const char* b);
// True when `text` begins with `prefix` (ASCII case ignored).
bool StartsWithNoCase(const char* text, const char* prefix);

// Copies `src` into `dst` of `capacity` bytes, truncating; always terminates
// (when capacity > 0). Returns the number of bytes copied.
size_t CopyText(char* dst, size_t capacity, const char* src);
template <size_t N>
size_t CopyText(char (&dst)[N], const char* src) {
  return CopyText(dst, N, src);
}
// Appends `src` to the text already in `dst`, truncating; always terminates.
size_t AppendText(char* dst, size_t capacity, const char* src);
template <size_t N>
size_t AppendText(char (&dst)[N], const char* src) {
  return AppendText(dst, N, src);
}
// A value, or the empty text for none: how the string commands read a bare
// word that names no variable.
inline const char* TextOrEmpty(const char* value) { return value ? value : ""; }

// A list of texts kept as one literal, each item ended by its NUL and the
// list by an empty item ("first\0second\0": the literal's own NUL): the
// item after `item`. One block of text needs no pointer per item.
//   for (const char* item = kList; *item; item = NextItem(item)) ...
const char* NextItem(const char* item);

// Removes one line feed from the end of `line`, if there is one.
void DropLineFeed(char* line);

// True when `src` fits into a buffer of `capacity` bytes with its NUL.
bool FitsIn(const char* src, size_t capacity);
// The length of `text`, or `limit` when it is longer: never reads past the
// first `limit` bytes (the C library's strnlen, without its extra code).
size_t BoundedLength(const char* text, size_t limit);

// Writes the concatenation of `parts` into `dst`. Returns false, with `dst`
// empty, when the whole text does not fit: nothing is ever cut, since a cut
// path or key names something else.
bool JoinText(char* dst, size_t capacity,
              std::initializer_list<const char*> parts);
template <size_t N>
bool JoinText(char (&dst)[N], std::initializer_list<const char*> parts) {
  return JoinText(dst, N, parts);
}

// Decimal text of `value` (a buffer of 12 bytes holds any 32-bit value).
void FormatDecimal(char* dst, size_t capacity, long value);
template <size_t N>
void FormatDecimal(char (&dst)[N], long value) {
  FormatDecimal(dst, N, value);
}

// Writes `directory`, one backslash and `name` into `path`. Returns false,
// with `path` empty, when the whole path does not fit.
template <size_t N>
bool JoinPath(char (&path)[N], const char* directory, const char* name) {
  return JoinText(path, N, {directory, "\\", name});
}

// SplitWords: splits a text in place into words separated by spaces,
// decoding backslash escapes, and EscapeWord, its inverse. Used for the
// command line and for lines of the text files the program reads and
// writes word by word.
#pragma once

#include <cstddef>

// Rewrites `text` in place and stores a pointer to each word in `words`,
// in order, at most `maxWords` of them; the scan stops before a word that
// would not fit. Returns the number of words stored.
//   space           ends a word (the only separator; tabs belong to words)
//   \ddd            up to three decimal digits, the low 8 bits as one byte
//   \n              a line feed
//   \z              a NUL byte (the word, read as a string, ends there)
//   \c              c itself, so "\ " is a space and "\\" one backslash
//   \ at the end    writes a NUL and ends the scan
int SplitWords(char* text, char** words, int maxWords);

// Bytes EscapeWord may write for `length` bytes of text, with the NUL.
size_t EscapedSize(size_t length);
// Encodes `length` bytes of `text` as one word that SplitWords decodes back
// into them: backslash and blank get a backslash before them, a line feed
// becomes \n, other bytes below 32 and bytes from 128 up become a
// backslash and three decimal digits. `out` holds EscapedSize(length)
// bytes; returns the length written (without the NUL).
size_t EscapeWord(const char* text, size_t length, char* out);

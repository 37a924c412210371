// How the runtime's configuration files are read and written, line by line.
// Lines are whole, of any length. A line ends at CR LF, at LF or at a lone
// CR, whichever comes first, and keeps that line end (none on a last line
// without one), so a file written on any system keeps every line. A line
// copied unchanged is written exactly as it was read; a line the program
// rewrites keeps the line end it came with; a line the program adds ends
// in CR LF. The rules see a line as a text-mode reader does: its body,
// then one "\n" when it has a line end.
#pragma once

#include <cstddef>

#include "script/byte_buffer.h"

struct ConfigLine {
  const char* raw;    // the line as in the file
  size_t rawLength;   // line end included
  size_t bodyLength;  // line end left out: it holds no CR and no LF
  bool hasEnd;
};

// Walks the lines of a file's contents.
class ConfigLineReader {
 public:
  ConfigLineReader(const char* data, size_t size) : data_(data), size_(size) {}
  bool Next(ConfigLine* line);

 private:
  const char* data_;
  size_t size_;
  size_t offset_ = 0;
};

// The body after its leading blanks (bytes 1..32 and 128..255), and how
// many bytes of the body that leaves.
const char* TextAfterBlanks(const ConfigLine& line, size_t* length);

// True when the text after the leading blanks begins with `keyword`,
// ASCII case ignored, over the keyword's length: "plugin" also accepts
// "pluginx", and "vorn" accepts "vornpath".
bool BeginsWithKeyword(const ConfigLine& line, const char* keyword);

// Compares `n` bytes of `a` and `b` with ASCII letters folded to lower case,
// as the C library's case-ignoring comparisons do; stops at a NUL.
int CompareFoldingCase(const char* a, const char* b, size_t n);

// True when the rules can read `data` as lines of text: it holds no NUL
// byte. A file with one (UTF-16 text, a binary file) would lose bytes or
// gain lines of another encoding, so the commands leave it as it is.
bool IsConfigText(const char* data, size_t size);

// Appends the line exactly as it was read.
bool PutRawLine(ByteBuffer& out, const ConfigLine& line);
// Appends the line end `line` came with (CR, LF or CR LF); a line that had
// none gets CR LF, so that nothing written after it joins it.
bool PutOwnLineEnd(ByteBuffer& out, const ConfigLine& line);
// Appends `text` as a text-mode stream writes it: each "\n" as "\r\n".
bool PutText(ByteBuffer& out, const char* text, size_t length);
bool PutText(ByteBuffer& out, const char* text);
// Appends a line end unless `out` is empty or already ends with one, so
// that whatever follows starts a line of its own.
bool PutLineEndIfOpen(ByteBuffer& out);
// True when contents that are not empty lack a final line end (CR or LF):
// text appended to such a file must start with one.
bool EndsOpen(const char* data, size_t size);

// Line reading, keyword tests and text-mode writing of configuration files.
#include "runtimecfg/config_lines.h"

#include <cstring>

#include "script/text.h"

// The offset of the first CR or LF of `text`, or `length` when none.
static size_t FindLineEnd(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '\r' || text[i] == '\n') return i;
  }
  return length;
}

// How many bytes the line end at `text` takes: 2 for CR LF, 1 for a lone
// CR or an LF.
static size_t LineEndLength(const char* text, size_t length) {
  return (text[0] == '\r' && length > 1 && text[1] == '\n') ? 2 : 1;
}

bool ConfigLineReader::Next(ConfigLine* line) {
  if (offset_ >= size_) return false;
  const char* start = data_ + offset_;
  size_t left = size_ - offset_;
  size_t body = FindLineEnd(start, left);
  line->raw = start;
  line->bodyLength = body;
  line->hasEnd = body < left;
  line->rawLength =
      line->hasEnd ? body + LineEndLength(start + body, left - body) : body;
  offset_ += line->rawLength;
  return true;
}

const char* TextAfterBlanks(const ConfigLine& line, size_t* length) {
  size_t skipped = 0;
  while (skipped < line.bodyLength && IsBlank(line.raw[skipped])) ++skipped;
  *length = line.bodyLength - skipped;
  return line.raw + skipped;
}

static char FoldLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int CompareFoldingCase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(FoldLower(a[i]));
    unsigned char y = static_cast<unsigned char>(FoldLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
  return 0;
}

bool BeginsWithKeyword(const ConfigLine& line, const char* keyword) {
  size_t length;
  const char* text = TextAfterBlanks(line, &length);
  size_t keywordLength = strlen(keyword);
  if (length < keywordLength) return false;
  for (size_t i = 0; i < keywordLength; ++i) {
    if (FoldLower(text[i]) != FoldLower(keyword[i])) return false;
  }
  return true;
}

bool IsConfigText(const char* data, size_t size) {
  return size == 0 || memchr(data, 0, size) == nullptr;
}

bool PutRawLine(ByteBuffer& out, const ConfigLine& line) {
  return out.Append(line.raw, line.rawLength);
}

bool PutOwnLineEnd(ByteBuffer& out, const ConfigLine& line) {
  if (!line.hasEnd) return out.Append("\r\n", 2);
  return out.Append(line.raw + line.bodyLength,
                    line.rawLength - line.bodyLength);
}

bool PutText(ByteBuffer& out, const char* text, size_t length) {
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '\n') continue;
    if (!out.Append(text + start, i - start) || !out.Append("\r\n", 2)) {
      return false;
    }
    start = i + 1;
  }
  return out.Append(text + start, length - start);
}

bool PutText(ByteBuffer& out, const char* text) {
  return PutText(out, text, strlen(text));
}

bool EndsOpen(const char* data, size_t size) {
  return size > 0 && data[size - 1] != '\n' && data[size - 1] != '\r';
}

bool PutLineEndIfOpen(ByteBuffer& out) {
  if (!EndsOpen(out.data(), out.size())) return !out.failed();
  return out.Append("\r\n", 2);
}

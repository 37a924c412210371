// Line reading, keyword tests and text-mode writing of configuration files.
#include "runtimecfg/config_lines.h"

#include <cstring>

#include "script/text.h"

bool ConfigLineReader::Next(ConfigLine* line) {
  if (offset_ >= size_) return false;
  const char* start = data_ + offset_;
  size_t left = size_ - offset_;
  const char* feed = static_cast<const char*>(memchr(start, '\n', left));
  line->raw = start;
  line->hasEnd = feed != nullptr;
  line->rawLength = feed ? static_cast<size_t>(feed - start) + 1 : left;
  line->bodyLength = line->rawLength;
  if (feed) {
    --line->bodyLength;
    if (line->bodyLength > 0 && start[line->bodyLength - 1] == '\r') {
      --line->bodyLength;
    }
  }
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

bool PutRawLine(ByteBuffer& out, const ConfigLine& line) {
  return out.Append(line.raw, line.rawLength);
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
  return size > 0 && data[size - 1] != '\n';
}

bool PutLineEndIfOpen(ByteBuffer& out) {
  if (!EndsOpen(out.data(), out.size())) return !out.failed();
  return out.Append("\r\n", 2);
}

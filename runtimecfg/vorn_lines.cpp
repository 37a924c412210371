// The vorn/update rewrite and the update-line scan.
#include "runtimecfg/vorn_lines.h"

#include <cstring>

#include "runtimecfg/config_lines.h"
#include "script/split_words.h"
#include "script/text.h"

// "<keyword> <value>" in place of `line`, with the line end it came with.
static bool PutValueLine(ByteBuffer& out, const char* keyword,
                         const char* value, const ConfigLine& line) {
  return out.AppendText(keyword) && out.Append(" ", 1) && PutText(out, value) &&
         PutOwnLineEnd(out, line);
}

bool RewriteVornLines(FileText installed, const char* vornValue,
                      const char* updateValue, ByteBuffer& out) {
  ConfigLineReader reader(installed.data, installed.size);
  ConfigLine line;
  while (reader.Next(&line)) {
    bool ok;
    if (BeginsWithKeyword(line, "update")) {
      ok = PutValueLine(out, "update", updateValue, line);
    } else if (BeginsWithKeyword(line, "vorn")) {
      ok = PutValueLine(out, "vorn", vornValue, line);
    } else {
      ok = PutRawLine(out, line);
    }
    if (!ok) return false;
  }
  return !out.failed();
}

static bool IsLineByte(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 32 && byte <= 127;
}

// The verdict of one line: 1 or 0, or -1 when the line does not decide.
static int UpdateVerdict(char* line, const char* version) {
  char* words[2];
  if (SplitWords(line, words, 2) < 2 || !EqualsNoCase(words[0], "update")) {
    return -1;
  }
  if (EqualsNoCase(words[1], "auto")) return 0;
  if (EqualsNoCase(words[1], "no")) return 1;
  return CompareFoldingCase(words[1], version, static_cast<size_t>(-1)) >= 0;
}

bool UpdateLineAllows(const char* contents, size_t size, const char* version) {
  if (size > kUpdateScanBytes) size = kUpdateScanBytes;
  size_t i = 0;
  while (i < size) {
    if (!IsLineByte(contents[i])) {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < size && IsLineByte(contents[i])) ++i;
    size_t length = i - start;
    if (length > kUpdateScanLongestLine) return false;
    char line[kUpdateScanLongestLine + 1];
    memcpy(line, contents + start, length);
    line[length] = 0;
    int verdict = UpdateVerdict(line, version);
    if (verdict >= 0) return verdict == 1;
  }
  return false;
}

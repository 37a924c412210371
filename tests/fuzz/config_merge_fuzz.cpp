// Fuzz target: the zek.ini rules on any installed and shipped files (the
// input split at its first NUL): the merge, the rewrite, the fresh-import
// lines and the update scan. Whatever the line ends (CR, LF, CR LF, mixed),
// no line is lost: the rewrite gives as many lines as it was given, the
// merge at least as many, and a rewrite of a file with no vorn or update
// line gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtimecfg/config_lines.h"
#include "runtimecfg/fresh_import.h"
#include "runtimecfg/plugin_merge.h"
#include "runtimecfg/vorn_lines.h"

static size_t CountLines(const char* data, size_t size) {
  ConfigLineReader reader(data, size);
  ConfigLine line;
  size_t count = 0;
  while (reader.Next(&line)) ++count;
  return count;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const char* cut = static_cast<const char*>(memchr(text, 0, size));
  size_t first = cut ? static_cast<size_t>(cut - text) : size;
  FileText installed = {text, first};
  FileText shipped = cut ? FileText{cut + 1, size - first - 1} : FileText{nullptr, 0};
  ByteBuffer merged, rewritten, fresh;
  bool mergedWhole = MergePluginLines(installed, shipped, merged);
  bool rewrittenWhole = RewriteVornLines(installed, "4.12", "no", rewritten);
  AppendFreshImportLines(installed, shipped, installed, fresh);
  UpdateLineAllows(text, size, "2.0");
  bool hasKeyword = false;
  ConfigLineReader reader(installed.data, installed.size);
  ConfigLine line;
  while (reader.Next(&line)) {
    hasKeyword = hasKeyword || BeginsWithKeyword(line, "vorn") ||
                 BeginsWithKeyword(line, "update");
  }
  if (!rewrittenWhole || !mergedWhole) return 0;  // memory ran out
  if (!hasKeyword && (rewritten.size() != first ||
                      memcmp(rewritten.data(), text, first) != 0)) {
    abort();
  }
  size_t lines = CountLines(installed.data, installed.size);
  if (CountLines(rewritten.data(), rewritten.size()) != lines) abort();
  if (CountLines(merged.data(), merged.size()) < lines) abort();
  return 0;
}

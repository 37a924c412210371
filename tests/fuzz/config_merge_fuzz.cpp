// Fuzz target: the zek.ini rules on any installed and shipped files (the
// input split at its first NUL): the merge, the rewrite, the fresh-import
// lines and the update scan. A rewrite of a file with no vorn or update
// line gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtimecfg/config_lines.h"
#include "runtimecfg/fresh_import.h"
#include "runtimecfg/plugin_merge.h"
#include "runtimecfg/vorn_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const char* cut = static_cast<const char*>(memchr(text, 0, size));
  size_t first = cut ? static_cast<size_t>(cut - text) : size;
  FileText installed = {text, first};
  FileText shipped = cut ? FileText{cut + 1, size - first - 1} : FileText{nullptr, 0};
  ByteBuffer merged, rewritten, fresh;
  MergePluginLines(installed, shipped, merged);
  RewriteVornLines(installed, "4.12", "no", rewritten);
  AppendFreshImportLines(installed, shipped, installed, fresh);
  UpdateLineAllows(text, size, "2.0");
  bool hasKeyword = false;
  ConfigLineReader reader(installed.data, installed.size);
  ConfigLine line;
  while (reader.Next(&line)) {
    hasKeyword = hasKeyword || BeginsWithKeyword(line, "vorn") ||
                 BeginsWithKeyword(line, "update");
  }
  if (!hasKeyword && (rewritten.size() != first ||
                      memcmp(rewritten.data(), text, first) != 0)) {
    abort();
  }
  return 0;
}

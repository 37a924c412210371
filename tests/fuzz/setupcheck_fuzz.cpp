// Fuzz target: setupcheck on any setup.ini (with a language file beside it)
// finds what it finds without crashing, and its JSON stays one array.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "checker/script_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    char pattern[] = "/tmp/vorn-checkfuzz-XXXXXX";
    std::string made = mkdtemp(pattern) ? pattern : "/tmp";
    FILE* language = fopen((made + "/setup.English.txt").c_str(), "wb");
    if (language) {
      fputs("[Messages]\nset A \"1\"\n", language);
      fclose(language);
    }
    return made;
  }();
  FILE* out = fopen((dir + "/setup.ini").c_str(), "wb");
  if (!out) return 0;
  fwrite(data, 1, size, out);
  fclose(out);
  std::vector<Finding> findings;
  std::string problem;
  if (!CheckScript(dir, "setup.ini", &findings, &problem)) return 0;
  std::string json = FindingsAsJson(findings);
  if (json.empty() || json[0] != '[' || json[json.size() - 2] != ']') abort();
  FindingsAsText(findings);
  return 0;
}

// Fuzz target: setupcheck on any setup.ini, other.ini and German language
// file (the input cut at NUL bytes; an English language file
// lies beside them) finds what it finds without crashing or waiting, and
// its JSON stays one array.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "checker/script_check.h"

namespace {

// Writes `text` as `name` in `dir`, or removes the file when there is no
// such piece of the input.
void WritePiece(const std::string& dir, const char* name, const std::string* text) {
  std::string path = dir + "/" + name;
  if (!text) {
    unlink(path.c_str());
    return;
  }
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return;
  fwrite(text->data(), 1, text->size(), out);
  fclose(out);
}

std::vector<std::string> SplitAtNul(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && pieces.size() < 3) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  return pieces;
}

}  // namespace

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
  std::vector<std::string> pieces = SplitAtNul(data, size);
  WritePiece(dir, "setup.ini", &pieces[0]);
  WritePiece(dir, "other.ini", pieces.size() > 1 ? &pieces[1] : nullptr);
  WritePiece(dir, "setup.German.txt", pieces.size() > 2 ? &pieces[2] : nullptr);
  std::vector<Finding> findings;
  std::string problem;
  if (!CheckScript(dir, "setup.ini", &findings, &problem)) return 0;
  std::string json = FindingsAsJson(findings);
  if (json.empty() || json[0] != '[' || json[json.size() - 2] != ']') abort();
  FindingsAsText(findings);
  return 0;
}

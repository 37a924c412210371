// Reading a registry export into the simulated machine.
#include "sim/registry_file.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "sim/host_file.h"
#include "sim/memory_effects.h"

namespace {

struct RootName {
  const char* name;
  RegRoot root;
};
const RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine}, {"HKLM", kHkeyLocalMachine},
    {"HKEY_CURRENT_USER", kHkeyCurrentUser},   {"HKCU", kHkeyCurrentUser},
    {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},   {"HKCR", kHkeyClassesRoot},
};

// The logical lines: ends in CR LF or LF, a trailing backslash joins the
// next line, blanks at the ends dropped.
std::vector<std::pair<long, std::string>> LogicalLines(const std::string& text) {
  std::vector<std::pair<long, std::string>> lines;
  std::istringstream in(text);
  std::string line, joined;
  long number = 0, first = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    line = start == std::string::npos ? "" : line.substr(start);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (joined.empty()) first = number;
    if (!line.empty() && line.back() == '\\' && line[0] != ';') {  // a hex list goes on
      joined += line.substr(0, line.size() - 1);
      continue;
    }
    lines.push_back({first, joined + line});
    joined.clear();
  }
  if (!joined.empty()) lines.push_back({first, joined});
  return lines;
}

}  // namespace

bool UsableKeyPath(const std::string& path) {
  if (path.size() >= kLineMax) return false;
  size_t start = 0;
  for (size_t cut = path.find('\\'); ; cut = path.find('\\', start)) {
    size_t end = cut == std::string::npos ? path.size() : cut;
    if (end - start > 255) return false;
    if (cut == std::string::npos) return true;
    start = cut + 1;
  }
}

namespace {

class RegistryReader {
 public:
  explicit RegistryReader(MemoryEffects& machine) : machine_(machine) {}

  // False with `problem` set.
  bool ReadLine(const std::string& line) {
    if (line == "Windows Registry Editor Version 5.00") unicode_ = true;
    if (line.empty() || line[0] == ';' || line == "REGEDIT4" ||
        line == "Windows Registry Editor Version 5.00") {
      return true;
    }
    if (line[0] == '[') return ReadKey(line);
    if (!haveKey_) return Fail("a value before any [key]");
    return ReadValue(line);
  }

  std::string problem;

 private:
  bool Fail(const std::string& what) {
    problem = what;
    return false;
  }
  bool ReadKey(const std::string& line) {
    if (line.back() != ']') return Fail("a key line must end with ]");
    std::string name = line.substr(1, line.size() - 2);
    if (!name.empty() && name[0] == '-') return Fail("deleting keys ([-...]) is not supported");
    size_t cut = name.find('\\');
    std::string rootName = MemoryEffects::UpperCase(name.substr(0, cut));
    for (const RootName& known : kRoots) {
      if (rootName != known.name) continue;
      root_ = known.root;
      path_ = cut == std::string::npos ? "" : name.substr(cut + 1);
      if (path_.empty()) return Fail("a key below the root is needed");
      if (!UsableKeyPath(path_)) return Fail("a key's path holds at most 1,023 bytes, a name 255");
      machine_.RegCreateKeyEx(root_, path_.c_str());
      haveKey_ = true;
      return true;
    }
    return Fail("unknown root " + name.substr(0, cut) + " (HKLM, HKCU or HKCR)");
  }
  // A quoted text from `at` (at its opening quote); `at` ends after it.
  bool Quoted(const std::string& line, size_t& at, std::string* text) {
    for (++at; at < line.size(); ++at) {
      if (line[at] == '"') {
        ++at;
        return true;
      }
      if (line[at] == '\\' && at + 1 < line.size()) ++at;
      *text += line[at];
    }
    return Fail("a quote is not closed");
  }
  bool ReadValue(const std::string& line) {
    size_t at = 0;
    std::string name;
    if (line[0] == '@') {
      at = 1;
    } else if (line[0] != '"' || !Quoted(line, at, &name)) {
      return problem.empty() ? Fail("a value line starts with \"name\" or @") : false;
    }
    if (at >= line.size() || line[at] != '=') return Fail("= expected after the value's name");
    std::string data = line.substr(at + 1);
    if (!data.empty() && data[0] == '"') {
      std::string text;
      size_t from = 0;
      if (!Quoted(data, from, &text)) return false;
      if (from != data.size()) return Fail("text after the closing quote");
      machine_.SetRegValue(root_, path_, name, text + '\0', true);
      return true;
    }
    if (data.compare(0, 6, "dword:") == 0) return Dword(name, data.substr(6));
    size_t colon = data.find(':');
    if (data.compare(0, 3, "hex") == 0 && colon != std::string::npos) {
      std::string type = data.substr(3, colon - 3);
      return Hex(name, data.substr(colon + 1), type == "(1)" || type == "(2)");
    }
    return Fail("a value is \"text\", dword:, or hex:");
  }
  bool Dword(const std::string& name, const std::string& digits) {
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      return Fail("dword: takes 1 to 8 hex digits");
    }
    unsigned long number = strtoul(digits.c_str(), nullptr, 16);
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xff);
    machine_.SetRegValue(root_, path_, name, bytes, false);
    return true;
  }
  // hex(1): and hex(2): are strings (REG_SZ, REG_EXPAND_SZ), which setup
  // reads alike; a 5.00 export writes them in UTF-16, which must be ANSI
  // here.
  bool Hex(const std::string& name, const std::string& list, bool isString) {
    std::string bytes, item;
    std::istringstream in(list);
    while (std::getline(in, item, ',')) {
      size_t start = item.find_first_not_of(" \t");
      item = start == std::string::npos ? "" : item.substr(start);
      while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
      char* end = nullptr;
      unsigned long byte = strtoul(item.c_str(), &end, 16);
      if (item.empty() || item.size() > 2 || *end) return Fail("hex: takes bytes like 0a,ff");
      bytes += static_cast<char>(byte);
    }
    if (isString && unicode_ && !Narrowed(&bytes)) {
      return Fail("a hex(1) or hex(2) string holds a character above 255");
    }
    machine_.SetRegValue(root_, path_, name, bytes, isString);
    return true;
  }
  // UTF-16LE bytes as one byte a character; false for a character above
  // 255 or an odd count.
  static bool Narrowed(std::string* bytes) {
    if (bytes->size() % 2) return false;
    std::string narrow;
    for (size_t i = 0; i < bytes->size(); i += 2) {
      if ((*bytes)[i + 1] != 0) return false;
      narrow += (*bytes)[i];
    }
    *bytes = narrow;
    return true;
  }

  MemoryEffects& machine_;
  bool unicode_ = false;  // a 5.00 export: hex(1) and hex(2) in UTF-16
  bool haveKey_ = false;
  RegRoot root_ = kHkeyLocalMachine;
  std::string path_;
};

}  // namespace

bool ReadRegistryText(MemoryEffects& machine, const std::string& text, const std::string& name,
                      std::string* error) {
  RegistryReader reader(machine);
  for (const auto& line : LogicalLines(text)) {
    if (!reader.ReadLine(line.second)) {
      *error = name + ": line " + std::to_string(line.first) + ": " + reader.problem;
      return false;
    }
  }
  return true;
}

bool LoadRegistryFile(MemoryEffects& machine, const std::string& path, std::string* error) {
  std::string text;
  if (!ReadHostFile(path, &text)) {
    *error = "the registry file " + path + " cannot be read";
    return false;
  }
  return ReadRegistryText(machine, text, path, error);
}

// Saving, reading and comparing the states of simulated machines.
#include "sim/machine_state.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "sim/host_file.h"
#include "sim/registry_file.h"
#include "sim/simulated_machine.h"

namespace {

const char kStateHeader[] = "vorn dry-run machine 1";

const char* RootName(RegRoot root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKCR";
    case kHkeyCurrentUser: return "HKCU";
    default: return "HKLM";
  }
}

bool RootOf(const std::string& name, RegRoot* root) {
  const RegRoot roots[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine};
  for (RegRoot candidate : roots) {
    if (name == RootName(candidate)) {
      *root = candidate;
      return true;
    }
  }
  return false;
}

// ---- Reading ----

class StateReader {
 public:
  StateReader(const std::string& text, SimulatedMachine& machine)
      : in_(text), size_(text.size()), machine_(machine) {}

  // False with `problem` set at the first malformed line.
  bool Read() {
    std::string line;
    if (!NextLine(&line) || line != kStateHeader) return Fail("not a machine state");
    while (NextLine(&line)) {
      std::istringstream fields(line);
      std::string record;
      fields >> record;
      if (!ReadRecord(record, fields)) return false;
    }
    return true;
  }

  std::string problem;
  long lineNumber = 0;

 private:
  bool NextLine(std::string* line) {
    if (!std::getline(in_, *line)) return false;
    ++lineNumber;
    return true;
  }
  bool Fail(const std::string& what) {
    problem = what;
    return false;
  }
  // The rest of the record's line after the one blank that ends the last
  // field: a path or a name, which may start with a blank of its own.
  static std::string Rest(std::istringstream& fields) {
    std::string rest;
    if (fields.get() == ' ') std::getline(fields, rest);
    return rest;
  }
  // `size` bytes and the line end after them.
  bool Bytes(size_t size, std::string* bytes) {
    std::streamoff at = in_.tellg();
    if (at < 0 || size > size_ - static_cast<size_t>(at)) {
      return Fail("a record's size runs past the end of the file");
    }
    bytes->resize(size);
    if (size && !in_.read(&(*bytes)[0], static_cast<std::streamsize>(size))) {
      return Fail("the file ends within a record's bytes");
    }
    for (char c : *bytes) lineNumber += c == '\n';
    if (in_.get() != '\n') return Fail("no line end after a record's bytes");
    ++lineNumber;
    return true;
  }
  bool ReadRecord(const std::string& record, std::istringstream& fields) {
    if (record == "drive") {
      char letter = 0;
      int type = 0;
      if (!(fields >> letter >> type) || letter < 'A' || letter > 'Z') return Fail("bad drive");
      machine_.driveTypes[letter] = type;
      return true;
    }
    if (record == "dir" || record == "file") return ReadEntry(record == "dir", fields);
    if (record == "key" || record == "value") return ReadRegistry(record == "key", fields);
    std::string path = Rest(fields);
    if (path.empty()) return Fail("unknown record or no path");
    if (record == "font") {
      machine_.fontsAdded.insert(MemoryEffects::UpperCase(path));
    } else if (record == "program") {
      machine_.programPath = path;
    } else if (record == "user") {
      machine_.user = path;
    } else if (record == "restart") {
      machine_.deletesAtRestart.push_back(path);
    } else {
      return Fail("unknown record " + record);
    }
    return true;
  }
  bool ReadEntry(bool directory, std::istringstream& fields) {
    unsigned long attributes = 0;
    size_t size = 0;
    if (!(fields >> attributes) || (!directory && !(fields >> size))) return Fail("bad numbers");
    std::string path = Rest(fields), content;
    if (path.size() < 3 || path[1] != ':') return Fail("no full path");
    if (path.size() >= kPathMax) return Fail("a path longer than 259 characters");
    if (!directory && !Bytes(size, &content)) return false;
    if (directory) {
      machine_.MakeDirectory(path);
    } else {
      machine_.WriteFile(path, content);
    }
    machine_.SetFileAttributes(path.c_str(), attributes);
    return true;
  }
  bool ReadRegistry(bool key, std::istringstream& fields) {
    std::string type, rootName;
    size_t nameSize = 0, dataSize = 0;
    if (!key && !(fields >> type >> nameSize >> dataSize)) return Fail("bad value record");
    RegRoot root;
    if (!(fields >> rootName) || !RootOf(rootName, &root)) return Fail("bad registry root");
    std::string path = Rest(fields);
    if (!UsableKeyPath(path)) return Fail("a key's path over 1,023 bytes or a name over 255");
    if (key) {
      machine_.RegCreateKeyEx(root, path.c_str());
      return true;
    }
    std::string bytes;
    if (type != "sz" && type != "bin") return Fail("bad value type");
    if (nameSize > size_ || dataSize > size_) return Fail("a value's sizes run past the end of the file");
    if (!Bytes(nameSize + dataSize, &bytes)) return false;
    machine_.SetRegValue(root, path, bytes.substr(0, nameSize), bytes.substr(nameSize),
                         type == "sz");
    return true;
  }

  std::istringstream in_;
  size_t size_;  // of the whole text
  SimulatedMachine& machine_;
};

// ---- Comparing ----

// A value's data as the changes show it: a string up to its NUL, quoted;
// other bytes in hex.
std::string ShownData(const MemoryEffects::RegEntry& value) {
  if (value.isString) return "\"" + std::string(value.data.c_str()) + "\"";
  std::string hex = "hex:";
  char pair[4];
  for (unsigned char c : value.data) {
    snprintf(pair, sizeof pair, "%s%02x", hex.size() > 4 ? "," : "", c);
    hex += pair;
  }
  return hex;
}

// Everything a state holds, by upper-cased name: the line that names it and
// what tells its versions apart.
struct Described {
  std::string line;
  std::string version;
};
typedef std::map<std::string, Described> Description;

Description Describe(const SimulatedMachine& machine) {
  Description all;
  for (const MemoryEffects::Entry& entry : machine.Entries()) {
    std::string kind = entry.directory ? "folder " : "file ";
    all[MemoryEffects::UpperCase(kind + entry.path)] = {
        kind + entry.path, entry.content + "|" + std::to_string(entry.attributes)};
  }
  for (const MemoryEffects::RegKeyEntry& key : machine.RegKeys()) {
    std::string keyName = std::string(RootName(key.root)) + "\\" + key.path;
    all[MemoryEffects::UpperCase("key " + keyName)] = {"key " + keyName, ""};
    for (const MemoryEffects::RegEntry& value : key.values) {
      std::string named = "value " + keyName + " \"" + value.name + "\"";
      std::string data = ShownData(value);
      all[MemoryEffects::UpperCase(named)] = {named + " = " + data, data};
    }
  }
  for (const std::string& font : machine.fontsAdded) all["FONT " + font] = {"font " + font, ""};
  for (const std::string& path : machine.deletesAtRestart) {
    all[MemoryEffects::UpperCase("restart " + path)] = {"restart " + path, ""};
  }
  return all;
}

}  // namespace

// Where a state is written before it is renamed over PATH; false, with
// `error` set, when a file of that name is there already: it is someone
// else's, or left by a save that broke off, and is not touched.
static bool FreeWritingPath(const std::string& path, std::string* written, std::string* error) {
  *written = path + ".setupsim-new";
  std::ifstream there(*written);
  if (!there) return true;
  *error = "the state file " + path + " cannot be written: " + *written + " is in the way";
  return false;
}

bool SaveMachineState(const SimulatedMachine& machine, const std::string& path,
                      std::string* error) {
  // Written beside the file and renamed over it: a write that fails keeps
  // the state that was there.
  std::string written;
  if (!FreeWritingPath(path, &written, error)) return false;
  std::ofstream out(written, std::ios::binary);
  out << kStateHeader << "\n";
  if (!machine.programPath.empty()) out << "program " << machine.programPath << "\n";
  out << "user " << machine.user << "\n";
  for (const auto& drive : machine.driveTypes) {
    out << "drive " << drive.first << " " << drive.second << "\n";
  }
  for (const MemoryEffects::Entry& entry : machine.Entries()) {
    if (entry.directory) {
      out << "dir " << entry.attributes << " " << entry.path << "\n";
    } else {
      out << "file " << entry.attributes << " " << entry.content.size() << " " << entry.path
          << "\n" << entry.content << "\n";
    }
  }
  for (const MemoryEffects::RegKeyEntry& key : machine.RegKeys()) {
    out << "key " << RootName(key.root) << " " << key.path << "\n";
    for (const MemoryEffects::RegEntry& value : key.values) {
      out << "value " << (value.isString ? "sz " : "bin ") << value.name.size() << " "
          << value.data.size() << " " << RootName(key.root) << " " << key.path << "\n"
          << value.name << value.data << "\n";
    }
  }
  for (const std::string& font : machine.fontsAdded) out << "font " << font << "\n";
  for (const std::string& restart : machine.deletesAtRestart) out << "restart " << restart << "\n";
  out.close();
  if (out && rename(written.c_str(), path.c_str()) == 0) return true;
  remove(written.c_str());
  *error = "the state file " + path + " cannot be written";
  return false;
}

bool StateCanBeSaved(const std::string& path, std::string* error) {
  std::string written;
  if (!FreeWritingPath(path, &written, error)) return false;
  bool opened = static_cast<bool>(std::ofstream(written, std::ios::binary));
  remove(written.c_str());
  if (!opened) *error = "the state file " + path + " cannot be written";
  return opened;
}

bool ReadMachineState(SimulatedMachine& machine, const std::string& text, const std::string& name,
                      std::string* error) {
  StateReader reader(text, machine);
  if (reader.Read()) return true;
  *error = "the state file " + name + ": line " + std::to_string(reader.lineNumber) + ": " +
           reader.problem;
  return false;
}

bool LoadMachineState(SimulatedMachine& machine, const std::string& path, std::string* error) {
  std::string text;
  if (!ReadHostFile(path, &text)) {
    *error = "the state file " + path + " cannot be read";
    return false;
  }
  return ReadMachineState(machine, text, path, error);
}

std::vector<std::string> MachineChanges(const SimulatedMachine& before,
                                        const SimulatedMachine& after) {
  Description was = Describe(before), is = Describe(after);
  std::vector<std::string> changes;
  for (const auto& item : was) {
    auto now = is.find(item.first);
    if (now == is.end()) {
      changes.push_back("- " + item.second.line);
    } else if (now->second.version != item.second.version) {
      changes.push_back("* " + now->second.line);
    }
  }
  for (const auto& item : is) {
    if (!was.count(item.first)) changes.push_back("+ " + item.second.line);
  }
  std::stable_sort(changes.begin(), changes.end(), [](const std::string& a, const std::string& b) {
    return MemoryEffects::UpperCase(a.substr(2)) < MemoryEffects::UpperCase(b.substr(2));
  });
  return changes;
}

// Reading the dry-run tool's command line and building its machine.
#include "sim/machine_options.h"

#include <cstdlib>
#include <filesystem>
#include <set>

#include "script/language.h"
#include "script/text.h"
#include "sim/host_file.h"
#include "sim/machine_state.h"
#include "sim/registry_file.h"
#include "sim/simulated_machine.h"

const char kDryRunUsage[] =
    "usage: setupsim [--format=text|json] [--drive X=FOLDER[,TYPE]]... [--setup X:\\PATH\\setup.exe]\n"
    "                [--registry FILE.reg] [--language ID|NAME] [--user NAME]\n"
    "                [--exit-code PROGRAM=N]... [--entry LIBRARY,ENTRY=N]...\n"
    "                [--no-tcpip] [--port-taken N]... [--state FILE] [--save-state FILE]\n"
    "                [--save-start-state FILE] [--changes] [--changes-since FILE] [--trace]\n"
    "                [-- SETUP.EXE'S SWITCHES...]\n";

namespace {

namespace fs = std::filesystem;

struct DriveTypeName {
  const char* name;
  int type;
};
const DriveTypeName kDriveTypes[] = {{"fixed", kDriveFixed},   {"removable", kDriveRemovable},
                                     {"cdrom", kDriveCdrom},   {"remote", kDriveRemote},
                                     {"ramdisk", kDriveRamdisk}};

// A whole number in decimal or 0x hex, negative allowed; 32 bits as
// Windows has them. A leading 0 is no octal.
bool Number(const std::string& text, long* value) {
  bool negative = !text.empty() && text[0] == '-';
  bool hex = text.compare(negative, 2, "0x") == 0 || text.compare(negative, 2, "0X") == 0;
  std::string digits = text.substr(negative + (hex ? 2 : 0));
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.size() > 10 || digits.find_first_not_of(allowed) != std::string::npos) {
    return false;
  }
  unsigned long long magnitude = strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (magnitude > 0xffffffffULL) return false;
  unsigned long bits = static_cast<unsigned long>(negative ? 0 - magnitude : magnitude) & 0xffffffffUL;
  *value = static_cast<long>(static_cast<int>(static_cast<unsigned>(bits)));
  return true;
}

// "X=FOLDER[,TYPE]"
bool ReadDrive(const std::string& value, MachineDescription* machine, std::string* error) {
  char letter = value.size() > 2 ? FoldAscii(value[0]) : 0;
  if (letter < 'A' || letter > 'Z' || value[1] != '=') {
    *error = "--drive takes X=FOLDER: " + value;
    return false;
  }
  std::string folder = value.substr(2);
  int type = kDriveFixed;
  size_t comma = folder.rfind(',');
  if (comma != std::string::npos) {
    std::string typeName = folder.substr(comma + 1);
    const DriveTypeName* found = nullptr;
    for (const DriveTypeName& known : kDriveTypes) {
      if (typeName == known.name) found = &known;
    }
    if (found) {
      type = found->type;
      folder = folder.substr(0, comma);
    }
  }
  for (const auto& drive : machine->drives) {
    if (drive.first == letter) {
      *error = std::string("drive ") + letter + ": is given twice";
      return false;
    }
  }
  machine->drives.push_back({letter, folder});
  machine->driveTypes[letter] = type;
  return true;
}

// "NAME=N", the name upper-cased.
bool ReadDeclared(const std::string& option, const std::string& value, std::string* name,
                  long* number, std::string* error) {
  size_t equals = value.rfind('=');
  if (equals == std::string::npos || equals == 0 || !Number(value.substr(equals + 1), number)) {
    *error = option + " takes NAME=NUMBER: " + value;
    return false;
  }
  *name = MemoryEffects::UpperCase(value.substr(0, equals));
  return true;
}

// A Windows language identifier, as a number or by the language's name.
bool ReadLanguage(const std::string& value, unsigned short* id) {
  long number = 0;
  if (Number(value, &number)) {
    if (number <= 0 || number > 0xffff) return false;
    *id = static_cast<unsigned short>(number);
    return true;
  }
  if (EqualsNoCase(value.c_str(), "English")) {
    *id = 0x0409;
    return true;
  }
  for (unsigned sub = 1; sub < 64; ++sub) {
    for (unsigned primary = 1; primary < 0x400; ++primary) {
      unsigned short candidate = static_cast<unsigned short>(sub << 10 | primary);
      if (EqualsNoCase(value.c_str(), LanguageName(LanguageCodeFor(candidate))) &&
          !EqualsNoCase("English", LanguageName(LanguageCodeFor(candidate)))) {
        *id = candidate;
        return true;
      }
    }
  }
  return false;
}

// One option with its value.
bool ReadOption(const std::string& option, const std::string& value, DryRunOptions* options,
                std::string* error) {
  MachineDescription& machine = options->machine;
  std::string name;
  long number = 0;
  if (option == "--drive") return ReadDrive(value, &machine, error);
  if (option == "--format" && (value == "text" || value == "json")) {
    options->json = value == "json";
  } else if (option == "--setup" && value.size() > 3 && value[1] == ':' && value[2] == '\\') {
    options->setup.programPath = value;
    options->programGiven = true;
  } else if (option == "--registry") {
    machine.registryFile = value;
  } else if (option == "--language") {
    if (!ReadLanguage(value, &options->setup.languageId)) {
      *error = "--language takes a Windows language identifier or a language's name: " + value;
      return false;
    }
  } else if (option == "--user" && value.find_first_of(kInvalidNameChars) == std::string::npos &&
             value.find_first_of("\\/") == std::string::npos) {
    machine.user = value;
    machine.userGiven = true;
  } else if (option == "--exit-code") {
    if (!ReadDeclared(option, value, &name, &number, error)) return false;
    machine.exitCodes[name] = static_cast<unsigned long>(number) & 0xffffffffUL;
  } else if (option == "--entry") {
    if (!ReadDeclared(option, value, &name, &number, error)) return false;
    size_t comma = name.rfind(',');
    if (comma == std::string::npos || comma == 0 || comma + 1 == name.size()) {
      *error = "--entry takes LIBRARY,ENTRY=NUMBER: " + value;
      return false;
    }
    // Entry names keep their case, as GetProcAddress needs them.
    std::string entry = value.substr(comma + 1, value.rfind('=') - comma - 1);
    machine.entryResults[name.substr(0, comma) + "|" + MemoryEffects::UpperCase(entry)] = number;
  } else if (option == "--port-taken" && Number(value, &number) && number > 0 && number < 65536) {
    machine.takenPorts.insert(static_cast<unsigned short>(number));
  } else if (option == "--state") {
    machine.stateFile = value;
  } else if (option == "--save-state") {
    options->saveStateFile = value;
  } else if (option == "--save-start-state") {
    options->saveStartStateFile = value;
  } else if (option == "--changes-since") {
    options->changesSinceFile = value;
  } else {
    *error = "bad value for " + option + ": " + value;
    return false;
  }
  return true;
}

bool TakesValue(const std::string& option) {
  static const char* const kValued[] = {"--format",   "--drive",  "--setup",       "--registry",
                                        "--language", "--user",   "--exit-code",   "--entry",
                                        "--port-taken", "--state", "--save-state", "--save-start-state",
                                        "--changes-since"};
  for (const char* valued : kValued) {
    if (option == valued) return true;
  }
  return false;
}

// ---- The machine ----

// The folders of a fresh Windows machine for `user`, as setup.exe finds
// them there.
void LayOutWindows(SimulatedMachine& machine, const std::string& user) {
  machine.user = user;
  std::string profile = "C:\\Users\\" + user;
  std::string programs = profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  machine.windowsDirectory = "C:\\Windows";
  machine.systemDirectory = "C:\\Windows\\System32";
  machine.tempPath = profile + "\\AppData\\Local\\Temp\\";
  machine.specialFolders = {{kCsidlPrograms, programs},
                            {kCsidlStartup, programs + "\\StartUp"},
                            {kCsidlDesktopDirectory, profile + "\\Desktop"},
                            {kCsidlProfile, profile},
                            {kCsidlProgramFiles, "C:\\Program Files"}};
}

void MakeFolders(SimulatedMachine& machine) {
  std::vector<std::string> folders = {machine.windowsDirectory, machine.systemDirectory,
                                      machine.windowsDirectory + "\\Fonts",
                                      machine.tempPath.substr(0, machine.tempPath.size() - 1)};
  for (const auto& special : machine.specialFolders) folders.push_back(special.second);
  for (const std::string& folder : folders) machine.MakeDirectory(folder);
  machine.SetRegValue(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                      "ProgramFilesDir", std::string("C:\\Program Files") + '\0', true);
  machine.RegCreateKeyEx(kHkeyLocalMachine,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
}

// How many bytes of files the drives of one machine may hold: the machine
// is in memory.
const unsigned long long kDriveBytesMax = 1ULL << 30;

// Why `relative` (below drive `root`) cannot be a name under Windows, or "".
std::string UnusableName(const std::string& root, const std::string& relative) {
  if (relative.find_first_of(kInvalidNameChars) != std::string::npos) {
    return "holds a character that Windows does not take in a name";
  }
  if (root.size() + 1 + relative.size() >= kPathMax) return "is longer than Windows' 259 characters";
  return "";
}

// The files and folders of `folder` here become drive `letter`'s, in place
// of what the drive held: under the names they have here (a link keeps its
// own name; a link to a folder is entered), each name once under Windows'
// rules.
bool LoadDrive(SimulatedMachine& machine, char letter, const std::string& folder,
               unsigned long long* bytes, std::string* error) {
  std::error_code failed;
  if (!fs::is_directory(folder, failed)) {
    *error = std::string("--drive ") + letter + "=" + folder + ": no such folder";
    return false;
  }
  std::string root = std::string(1, letter) + ":";
  machine.RemoveTree(root + "\\");
  std::set<std::string> loaded;
  fs::recursive_directory_iterator walk(folder, fs::directory_options::follow_directory_symlink,
                                        failed), end;
  for (; !failed && walk != end; walk.increment(failed)) {
    std::string here = walk->path().string();
    std::string relative = walk->path().lexically_relative(folder).string();
    for (char& c : relative) c = c == '/' ? '\\' : c;
    std::string path = root + "\\" + relative, why = UnusableName(root, relative);
    if (why.empty() && !loaded.insert(MemoryEffects::UpperCase(machine.FullPath(path))).second) {
      why = "has the name of another entry under Windows' rules (case, trailing dots)";
    }
    if (why.empty() && walk->is_directory(failed)) {
      machine.MakeDirectory(path);
      continue;
    }
    // A named pipe or a device would block the read or never end.
    if (why.empty() && !walk->is_regular_file(failed)) why = "is not a regular file";
    if (why.empty() && (*bytes += walk->file_size(failed)) > kDriveBytesMax) {
      why = "goes past the 1 GiB that the simulated drives may hold";
    }
    if (!why.empty()) {
      *error = here + " " + why;
      return false;
    }
    std::string content;
    if (!ReadHostFile(here, &content)) {
      *error = here + " cannot be read";
      return false;
    }
    machine.WriteFile(path, content);
  }
  if (failed) {
    *error = "--drive " + root + " " + folder + ": " + failed.message();
    return false;
  }
  return true;
}

}  // namespace

bool ParseDryRunOptions(const std::vector<std::string>& args, DryRunOptions* options,
                        std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      for (size_t j = i + 1; j < args.size(); ++j) {
        options->setup.commandLine += (j > i + 1 ? " " : "") + args[j];
      }
      break;
    }
    if (arg == "--trace") {
      options->setup.traceStatements = true;
      continue;
    }
    if (arg == "--changes") {
      options->changes = true;
      continue;
    }
    if (arg == "--no-tcpip") {
      options->machine.tcpIp = false;
      continue;
    }
    size_t equals = arg.find('=');
    std::string option = arg.substr(0, equals);
    if (!TakesValue(option)) {
      *error = "unknown argument " + arg;
      return false;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    if (value.empty()) {
      *error = option + " needs a value";
      return false;
    }
    if (!ReadOption(option, value, options, error)) return false;
  }
  return true;
}

bool BuildMachine(DryRunOptions& options, SimulatedMachine& machine, std::string* error) {
  const MachineDescription& description = options.machine;
  if (!description.stateFile.empty()) {
    if (!LoadMachineState(machine, description.stateFile, error)) return false;
    LayOutWindows(machine, description.userGiven ? description.user : machine.user);
  } else {
    LayOutWindows(machine, description.user);
    MakeFolders(machine);
  }
  for (const auto& type : description.driveTypes) machine.driveTypes[type.first] = type.second;
  unsigned long long bytes = 0;
  for (const auto& drive : description.drives) {
    if (!LoadDrive(machine, drive.first, drive.second, &bytes, error)) return false;
  }
  if (!description.registryFile.empty() &&
      !LoadRegistryFile(machine, description.registryFile, error)) {
    return false;
  }
  machine.exitCodes = description.exitCodes;
  machine.entryResults = description.entryResults;
  machine.tcpIp = description.tcpIp;
  machine.takenPorts = description.takenPorts;
  if (!options.programGiven && !description.drives.empty()) {
    options.setup.programPath = std::string(1, description.drives[0].first) + ":\\setup.exe";
  } else if (!options.programGiven && !machine.programPath.empty()) {
    options.setup.programPath = machine.programPath;
  }
  PlaceStandInProgram(machine, options.setup.programPath);
  return true;
}

// What the simulated machine declares in place of running a program, a
// library's code or a network probe, and the notes that say so.
#include "sim/simulated_machine.h"

#include "script/journal.h"

namespace {

const Status kErrWinsockVersion = 10092;  // WSAVERNOTSUPPORTED

// The program a command line starts: its first word, quotes removed.
std::string ProgramOf(const char* application, const char* commandLine) {
  if (application) return application;
  std::string line = commandLine ? commandLine : "";
  if (!line.empty() && line[0] == '"') return line.substr(1, line.find('"', 1) - 1);
  return line.substr(0, line.find(' '));
}

std::string FileNameOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

const char* HowKnown(bool declared) { return declared ? "declared" : "the default"; }

}  // namespace

void SimulatedMachine::Assume(const std::string& text) {
  if (engine_) Journal(*engine_, "assumed", {text.c_str()});
}

template <typename Value>
const Value* SimulatedMachine::Declared(const std::map<std::string, Value>& table,
                                        const std::string& path,
                                        const std::string& suffix) const {
  for (const std::string& key : {FullPath(path), FileNameOf(path)}) {
    auto found = table.find(UpperCase(key + suffix));
    if (found != table.end()) return &found->second;
  }
  return nullptr;
}

void SimulatedMachine::NoteFontInUse(const char* path) {
  if (!path || !fontsAdded.count(UpperCase(FullPath(path)))) return;
  Assume(std::string(path) + " is a font this session still counts as added: under Windows "
         "its replacement or delete may fail as in use; the simulation lets it go");
}

Status SimulatedMachine::CopyFile(const char* from, const char* to, bool failIfExists) {
  NoteFontInUse(to);
  return MemoryEffects::CopyFile(from, to, failIfExists);
}

Status SimulatedMachine::MoveFileEx(const char* from, const char* to, unsigned flags) {
  NoteFontInUse(from);
  NoteFontInUse(to);
  return MemoryEffects::MoveFileEx(from, to, flags);
}

Status SimulatedMachine::DeleteFile(const char* path) {
  NoteFontInUse(path);
  return MemoryEffects::DeleteFile(path);
}

Status SimulatedMachine::CreateProcess(const char* application, const char* commandLine,
                                       const char* directory, bool wait,
                                       unsigned long* exitCode) {
  std::string program = ProgramOf(application, commandLine);
  const unsigned long* declared = Declared(exitCodes, program);
  processExitCode = declared ? *declared : 0;
  Status status = MemoryEffects::CreateProcess(application, commandLine, directory, wait, exitCode);
  if (status != kOk) return status;
  Assume("what " + program + " does is not simulated" +
         (wait ? "; its exit code is taken as " + std::to_string(processExitCode) + " (" +
                     HowKnown(declared) + ")"
               : ""));
  return kOk;
}

// A web address, or a bare name that Windows looks for on its path or in
// its list of applications: neither is a file on the machine.
bool IsOpenedByName(const std::string& file) {
  return file.find("://") != std::string::npos || file.find_first_of("\\/:") == std::string::npos;
}

Status SimulatedMachine::ShellExecute(const char* file, const char* parameters,
                                      const char* directory) {
  if (!IsFile(file) && IsOpenedByName(file)) {
    Assume(std::string(file) + " is not on the simulated machine: opening it is taken as done");
    processesStarted.push_back(std::string("open ") + file);
    return kOk;
  }
  Status status = MemoryEffects::ShellExecute(file, parameters, directory);
  if (status == kOk) Assume(std::string("what opening ") + file + " does is not simulated");
  return status;
}

std::string SimulatedMachine::LibraryFile(const std::string& name) const {
  // A name without an extension gets ".dll", as Windows gives it.
  size_t dot = name.rfind('.'), slash = name.find_last_of("\\/");
  bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  std::string file = extension ? name : name + ".dll";
  if (IsFile(file)) return FullPath(file);
  if (file.find_first_of("\\/:") != std::string::npos) return "";
  for (const std::string& folder : {systemDirectory, currentDirectory}) {
    if (IsFile(folder + "\\" + file)) return FullPath(folder + "\\" + file);
  }
  return "";
}

Status SimulatedMachine::LoadLibrary(const char* name, LibraryRef* library) {
  std::string file = LibraryFile(name);
  if (!file.empty()) {
    libraries[UpperCase(name)];  // its entries come when called
    libraryFiles_[UpperCase(name)] = file;
  } else if (std::string(name).find_first_of("\\/:") == std::string::npos) {
    Assume(std::string(name) + " is not on the simulated machine (its system folder holds only "
           "what the description puts there): taken as missing");
  }
  return MemoryEffects::LoadLibrary(name, library);
}

Status SimulatedMachine::CallEntryPoint(LibraryRef library, const char* entry, long* result) {
  for (auto& item : libraries) {
    if (&item.second != library) continue;
    const std::string& file = libraryFiles_[item.first];
    const long* declared = Declared(entryResults, file, std::string("|") + entry);
    item.second[entry] = declared ? *declared : 0;
    Assume(std::string("the code of ") + entry + " in " + file +
           " is not run; its result is taken as " + std::to_string(item.second[entry]) + " (" +
           HowKnown(declared) + ")");
  }
  return MemoryEffects::CallEntryPoint(library, entry, result);
}

Status SimulatedMachine::DetectTcpIp() {
  Assume(std::string("the TCP/IP probe is not run; TCP/IP is taken as ") +
         (tcpIp ? "there" : "missing"));
  Status injected = MemoryEffects::DetectTcpIp();
  if (injected != kOk) return injected;
  return tcpIp ? kOk : Logged("WSAStartup", "1.1", kErrWinsockVersion);
}

Status SimulatedMachine::ListenOnTcpPort(unsigned short port) {
  std::string number = std::to_string(port);
  Assume("the port probe is not run; TCP port " + number + " is taken as " +
         (takenPorts.count(port) ? "in use" : "free"));
  return MemoryEffects::ListenOnTcpPort(port);
}

// The machine of a dry run: the in-memory machine, with answers declared in
// advance for what a simulation cannot know (what a started program does
// and the exit code it returns, what a library's registration code does
// and returns, whether the network probes succeed) and a note in the run's
// journal, kind "assumed", each time the run relies on one. A library
// loads when its file is on the machine; a library named without a path
// that is not there, and a web address or a bare program name to open,
// are noted too. A font file that the session
// still counts as added is not locked here, as it may be under Windows: a
// copy, move or delete of one goes on with a note that says so.
#pragma once

#include <map>
#include <set>
#include <string>

#include "sim/memory_effects.h"

struct Engine;

class SimulatedMachine : public MemoryEffects {
 public:
  // Empty: no drive but C: and nothing on it, unlike the test machine.
  SimulatedMachine() { RemoveTree("C:\\"); }

  // Where the "assumed" notes go: the run's journal, once the run has an
  // engine; none before.
  void NoteAssumptionsIn(Engine* engine) { engine_ = engine; }

  // Exit codes of started programs, by upper-cased full path or file name;
  // any other program returns 0.
  std::map<std::string, unsigned long> exitCodes;
  // Results of library entries, by "FILE NAME|ENTRY" upper-cased (the
  // library's file name or full path); any other entry returns 0 (S_OK).
  std::map<std::string, long> entryResults;
  // Where setup.exe ran last ("" before any run), and the user whose
  // profile the machine has: a saved state keeps both.
  std::string programPath;
  std::string user = "user";
  // Whether the TCP/IP probe finds Winsock with TCP/IP.
  bool tcpIp = true;

  Status CopyFile(const char* from, const char* to, bool failIfExists) override;
  Status MoveFileEx(const char* from, const char* to, unsigned flags) override;
  Status DeleteFile(const char* path) override;
  Status CreateProcess(const char* application, const char* commandLine,
                       const char* directory, bool wait,
                       unsigned long* exitCode) override;
  Status ShellExecute(const char* file, const char* parameters,
                      const char* directory) override;
  Status LoadLibrary(const char* name, LibraryRef* library) override;
  Status CallEntryPoint(LibraryRef library, const char* entry, long* result) override;
  Status DetectTcpIp() override;
  Status ListenOnTcpPort(unsigned short port) override;

 private:
  void Assume(const std::string& text);
  // The note for a font file in use that `path` names, if it is one.
  void NoteFontInUse(const char* path);
  // The declared value for `path` (by full path, then by file name) in
  // `table`, with "|suffix" appended to the key; null when none.
  template <typename Value>
  const Value* Declared(const std::map<std::string, Value>& table, const std::string& path,
                        const std::string& suffix = "") const;
  // Where Windows would find library `name`: as named, else in the system
  // folder, else in the current folder; "" when it is nowhere.
  std::string LibraryFile(const std::string& name) const;

  Engine* engine_ = nullptr;
  std::map<std::string, std::string> libraryFiles_;  // upper-cased name as loaded -> full path
};

// The command line of the dry-run tool: the machine a run starts from (its
// drives, registry, user and language, and the declared answers to what
// the simulation cannot know), setup.exe's own command line, and what to
// print and keep. The machine is built here too, so that a bad description
// is found before anything runs.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sim/dry_run.h"

class SimulatedMachine;

struct MachineDescription {
  std::vector<std::pair<char, std::string>> drives;  // letter -> folder here
  std::map<char, int> driveTypes;                    // letter -> Win32 type
  std::string registryFile;
  std::string stateFile;  // the machine a saved run left
  std::string user = "user";
  bool userGiven = false;  // else a saved state's user, or "user"
  std::map<std::string, unsigned long> exitCodes;  // upper-cased program
  std::map<std::string, long> entryResults;        // "LIBRARY|ENTRY"
  bool tcpIp = true;
  std::set<unsigned short> takenPorts;
};

struct DryRunOptions {
  MachineDescription machine;
  DryRunSetup setup;
  bool programGiven = false;  // --setup named setup.exe's place
  bool json = false;
  std::string saveStateFile;
  std::string saveStartStateFile;  // the machine before the run
  bool changes = false;            // print the changes the run made
  std::string changesSinceFile;    // print the changes since this state
};

extern const char kDryRunUsage[];

// Reads the tool's arguments (without the program's name); false with
// `error` saying which argument is wrong and why.
bool ParseDryRunOptions(const std::vector<std::string>& args, DryRunOptions* options,
                        std::string* error);

// A fresh machine as the description says, or the saved state with the
// description's drives, registry file and declared answers put over it.
// setup.exe's place, unless --setup gave it: "X:\setup.exe" on the first
// drive given, else where the saved state's last run had it, else
// "C:\setup\setup.exe". False with `error` when a folder, file or state
// cannot be read.
bool BuildMachine(DryRunOptions& options, SimulatedMachine& machine, std::string* error);

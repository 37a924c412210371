// A dry run: one run of setup.exe, from its command line to its exit code,
// with the real engine, command table and handlers, on a simulated machine.
// Every change the run makes goes through the journal's effects, as in
// setup.exe, so the journal lines are the run's plan: each file, folder,
// registry key and value, shortcut, program, library entry and font, each
// box and dialog with the answer used, and the run's end.
#pragma once

#include <string>
#include <vector>

#include "sim/simulated_user.h"

class SimulatedMachine;

struct DryRunSetup {
  std::string programPath = "C:\\setup\\setup.exe";  // setup.exe on the machine
  std::string commandLine;                           // its switches and words
  unsigned short languageId = 0x0409;                // the user's language
  bool traceStatements = false;  // keep the "statement" lines too
};

struct DryRunResult {
  int exitCode = 0;
  bool failureFlag = false;
  bool rebootRequested = false;  // asked for, or left to the caller (/NORESTART)
  std::vector<PlanStep> steps;
};

// What the simulation never knows, whatever the machine declares; the
// output names each.
extern const char* const kNotSimulated[];
extern const int kNotSimulatedCount;

// setup.exe's own file, when the machine lacks it in a folder it has: a
// stand-in, so that a run can copy itself as setup.exe does.
void PlaceStandInProgram(SimulatedMachine& machine, const std::string& programPath);

// Runs setup.exe as Windows would start it on `machine`: its folder becomes
// the current folder, a stand-in takes its file's place (noted), the run's
// switches are read as setup.exe reads them, and with the runtime installed
// an uninstall marker setup.txt makes the run an uninstall. The machine is left as
// the run leaves it.
DryRunResult RunDryRun(SimulatedMachine& machine, const DryRunSetup& setup);

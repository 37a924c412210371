// A whole setup run, the same wherever it is driven from: its start
// (setup.ini read, the install-state record armed), its first section, and
// its end, which is the same whichever way the run ends (the script's last
// line, quit, a missing section): the record's failure marker, the reboot,
// and the process exit code.
#pragma once

#include "script/host.h"

struct Engine;
class ScriptFile;

enum SetupStart {
  kSetupStarted,
  kSetupNoScript,    // no setup.ini to read
  kSetupBadAnswers,  // the answers file cannot be read or is malformed
};

// Reads setup.ini of the current directory into `script`, makes it the
// engine's script, reads the answers file the command line names, and arms
// the install-state record (the failure flag starts from it). Nothing is
// armed when the run cannot start.
SetupStart StartSetupRun(Engine& engine, ScriptFile& script);

// Runs [Uninstall] in uninstall mode, else [Setup], then takes the
// end-of-run steps; returns the exit code.
int RunSetupScript(Engine& engine, WindowRef owner);

// The end-of-run steps of the recorded answers, the install-state record and
// the reboot: the answers are written where /SAVEANSWERS= asked, the failure marker is removed through the engine's effects (so the journal
// records it) unless the failure flag is set, and a reboot asked for is
// requested.
void TakeEndOfRunSteps(Engine& engine);

// The process exit codes.
const int kExitDone = 0;           // the script ran to its end, or quit
const int kExitFailed = 1;         // an error of this run
const int kExitAbandoned = 2;      // the user abandoned the run
const int kExitUnanswered = 3;     // an unattended run lacked an answer
const int kExitRebootNeeded = 3010;  // done; /NORESTART left the reboot
const int kExitNoScript = -1;      // no script ran

// The process exit code of a run, the first that applies: 3 when an
// unattended run lacked an answer, 2 when the user abandoned it, 1 when an
// error of this run set the failure flag, 3010 when a reboot is needed and
// /NORESTART was given, else 0.
int ExitCodeOfRun(const Engine& engine);

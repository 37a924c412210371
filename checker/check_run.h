// The state of one setupcheck run that its passes share: the files read,
// the findings so far, the section runs and their calls, and the variables
// and messages set and read. Each pass is declared with the file that
// owns it.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "checker/command_facts.h"
#include "checker/script_check.h"
#include "checker/script_files.h"

// A section run: the file as the checker names it and the section, both
// upper-cased.
typedef std::pair<std::string, std::string> SectionKey;

// A call of a section run (goto, Include, ParseFile, ApplyOnFiles), or the
// lines of a label after blanks, which a run goes on into at its level.
struct Call {
  SectionKey target;
  std::string file;   // where it is written
  long line;
  CommandId command;  // kCmdInvalid for going on into a label's lines
  bool everyRun;      // made on every run of its section
  bool goesOn() const { return command == kCmdInvalid; }
  int levels() const { return goesOn() ? 0 : 1; }
};

struct SectionRun {
  std::string file;   // as named
  std::string label;  // as written
  std::vector<Call> calls;
};

// A read of a variable: by the script, or a message a command shows.
struct VariableUse {
  std::string file;
  long line;
  std::string shownBy;  // "" for a read of the script; the keyword that shows the message
};

// A file waiting for its checks.
struct PendingFile {
  const ScriptText* script;
  bool languageFile;  // reached through languagefile: its values hold for it alone
};

struct CheckRun {
  ScriptFiles files;
  std::vector<Finding>* findings;
  std::string mainFile;  // upper-cased
  std::set<std::string> queued;  // upper-cased names of files checked or pending
  std::deque<PendingFile> pending;
  bool writesUninstallEntry = false;
  std::map<SectionKey, SectionRun> runs;
  std::set<std::string> setByScript;                       // upper-cased names
  std::map<std::string, std::vector<VariableUse>> reads;   // upper-cased name -> uses
  std::map<std::string, std::string> spelled;              // upper-cased -> as written

  void Report(const std::string& file, long line, bool error, const std::string& message) {
    findings->push_back(Finding{file, line, error, message});
  }
};

// script_check.cpp: the files an Include runs a section of; `known` is
// false when a variable names the file.
std::vector<std::string> IncludedFiles(CheckRun& run, const ParsedStatement& st, bool* known);

// blocks_and_calls.cpp
void CheckBlocks(CheckRun& run, const ScriptText& script);
void NoteCalls(CheckRun& run, const ScriptText& script);
void CheckStartSections(CheckRun& run, const ScriptText& script);
void CheckReachability(CheckRun& run, const ScriptText& script);
void CheckCallCycles(CheckRun& run);
void CheckCallDepth(CheckRun& run);

// variables.cpp
void NoteVariables(CheckRun& run, const ScriptText& script, const ScriptLine& line,
                   bool languageFile);
void NoteMessagesShown(CheckRun& run, const std::string& file, long line, CommandId command,
                       ShownWhen when);
void CheckVariables(CheckRun& run);

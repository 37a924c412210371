// setupcheck: reads an install script, the script files it includes and
// the language files beside it, and reports what would go wrong when a user
// runs it, with the file and line of each finding. Errors: unknown
// keywords; If/Else/Endif that fail at run time; goto and Include targets
// that are not there; a missing [Setup], or [Uninstall] when an uninstall
// entry is written; lines longer than setup reads; sections that call
// themselves on every run, and calls nested past setup's limit. Warnings:
// more arguments than a command reads, text after the second argument,
// quoted text where a variable's name belongs, variables read but never
// set and messages a language file lacks, keys one language file defines
// and another lacks, setup types with gaps, sections nothing reaches.
// Built from setup's own parser and command table; only regular files are
// read.
#pragma once

#include <string>
#include <vector>

struct Finding {
  std::string file;  // as named to the checker: "setup.ini", "other.ini"
  long line;         // 0: the file as a whole
  bool error;        // false: a warning
  std::string message;
};

// Checks the script `scriptName` in `directory`. False (with `problem`)
// when the script cannot be read at all or is no regular file.
bool CheckScript(const std::string& directory, const std::string& scriptName,
                 std::vector<Finding>* findings, std::string* problem);

// "setup.ini:14: error: message", one line each.
std::string FindingsAsText(const std::vector<Finding>& findings);
// A JSON array of objects {"file", "line", "severity", "message"}.
std::string FindingsAsJson(const std::vector<Finding>& findings);

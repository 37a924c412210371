// setupcheck's analysis: reads an install script, the script files it
// includes and the language files beside it, and reports what would go
// wrong at run time, with the file and line of each finding. Built from the
// same parser and command table as setup.exe.
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

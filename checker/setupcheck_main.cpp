// setupcheck [--format=text|json] [--strict] [DIR or setup.ini]: finds the
// mistakes of an install script before it ships. Exit code 0: nothing to
// report, or warnings only (without --strict); 1: errors; 2: no script.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "checker/script_check.h"

int main(int argc, char** argv) {
  bool json = false, strict = false;
  std::string target = ".";
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--format=json") == 0) {
      json = true;
    } else if (strcmp(argv[i], "--format=text") == 0) {
      json = false;
    } else if (strcmp(argv[i], "--strict") == 0) {
      strict = true;
    } else if (argv[i][0] == '-') {
      fprintf(stderr, "usage: setupcheck [--format=text|json] [--strict] [DIR or setup.ini]\n");
      return 2;
    } else {
      target = argv[i];
    }
  }
  std::string directory = target, script = "setup.ini";
  struct stat info;
  if (stat(target.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
    size_t cut = target.find_last_of("/\\");
    directory = cut == std::string::npos ? "." : target.substr(0, cut);
    script = cut == std::string::npos ? target : target.substr(cut + 1);
  }
  std::vector<Finding> findings;
  std::string problem;
  if (!CheckScript(directory, script, &findings, &problem)) {
    fprintf(stderr, "setupcheck: %s\n", problem.c_str());
    return 2;
  }
  std::string report = json ? FindingsAsJson(findings) : FindingsAsText(findings);
  fputs(report.c_str(), stdout);
  bool errors = false, warnings = false;
  for (const Finding& f : findings) (f.error ? errors : warnings) = true;
  return errors || (strict && warnings) ? 1 : 0;
}

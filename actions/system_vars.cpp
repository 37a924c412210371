// System variables. Directories that Windows reports longer than 259
// characters, and registry texts that do not fit their buffers, are not
// truncated: the variable concerned gets the empty text (or the next rule
// applies), since a cut path would name the wrong place.
#include "actions/system_vars.h"

#include <cstring>

#include "script/effects.h"
#include "script/engine.h"
#include "script/language.h"
#include "script/text.h"

static const size_t kNetscapeTextMax = 512;

static void RemoveTrailingBackslash(char* text) {
  size_t length = strlen(text);
  if (length > 0 && text[length - 1] == '\\') text[length - 1] = 0;
}

int ReadProgramFilesDir(Effects& effects, char* destination,
                        size_t capacity) {
  // Key names are literals, not arrays: GCC pads a named array of 32 bytes
  // or more to a 32-byte boundary, a literal it leaves as it is.
  const char* const kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  char value[kLineMax];
  if (effects.RegQueryValueEx(kHkeyLocalMachine, kKey, "ProgramFilesDir",
                              value, sizeof value) != kOk &&
      effects.RegQueryValueEx(kHkeyLocalMachine, kKey, "ProgramFilesPath",
                              value, sizeof value) != kOk) {
    return 0;
  }
  char directory[kLineMax];
  if (!JoinText(directory, {value, "\\"})) return 0;
  if (!FitsIn(directory, capacity)) return 0;
  CopyText(destination, capacity, directory);
  return 1;
}

// The path of the Main key of the Netscape Navigator settings: the user's
// own when it opens with full access, else the one of the machine's current
// version.
static bool FindNetscapeMainKey(Effects& effects, RegRoot* root,
                                char (&path)[kNetscapeTextMax]) {
  const char* const kUserMain = "Software\\Netscape\\Netscape Navigator\\Main";
  const char* const kNavigator = "Software\\Netscape\\Netscape Navigator";
  if (effects.RegOpenKeyEx(kHkeyCurrentUser, kUserMain, true) == kOk) {
    *root = kHkeyCurrentUser;
    return CopyText(path, kUserMain) > 0;
  }
  char version[kNetscapeTextMax];
  if (effects.RegQueryValueEx(kHkeyLocalMachine, kNavigator, "CurrentVersion",
                              version, sizeof version) != kOk) {
    return false;
  }
  *root = kHkeyLocalMachine;
  return JoinText(path, {kNavigator, "\\", version, "\\Main"});
}

// The size of a file as its directory entry gives it, or -1 when there is
// none (a name with wildcards names no one file).
static long long EntrySize(Effects& effects, const char* path) {
  if (path[strcspn(path, "*?")]) return -1;
  FindData entry;
  FindRef find = nullptr;
  if (effects.FindFirstFile(path, &entry, &find) != kOk) return -1;
  effects.FindClose(find);
  return (entry.attributes & kAttrDirectory) ? -1 : static_cast<long long>(entry.size);
}

static bool EndsWithProgram(const char* directory) {
  size_t length = strlen(directory);
  return length >= 7 && EqualsNoCase(directory + length - 7, "program");
}

void FindNetscapePath(Engine& engine) {
  Effects& effects = *engine.effects;
  VarSet(engine.vars, "NETSCAPEPATH", "");
  RegRoot root;
  char mainKey[kNetscapeTextMax];
  if (!FindNetscapeMainKey(effects, &root, mainKey)) return;
  char installed[kNetscapeTextMax];
  if (effects.RegQueryValueEx(root, mainKey, "Install Directory", installed,
                              sizeof installed) != kOk) {
    return;
  }
  RemoveTrailingBackslash(installed);
  char directory[kNetscapeTextMax];
  if (strlen(installed) > 7 && !EndsWithProgram(installed)) {
    if (!JoinPath(directory, installed, "Program")) return;
  } else {
    CopyText(directory, installed);
  }
  char program[kNetscapeTextMax + 16];
  if (!JoinPath(program, directory, "netscape.exe")) return;
  if (EntrySize(effects, program) <= 0) return;
  VarSet(engine.vars, "NETSCAPEPATH", directory);
}

static bool ContainsNoCase(const char* text, const char* word) {
  for (; *text; ++text) {
    if (StartsWithNoCase(text, word)) return true;
  }
  return false;
}

int DetectNetscapeDefault(Engine& engine) {
  Effects& effects = *engine.effects;
  VarSet(engine.vars, "NETSCAPEDEFAULT", "");
  char fileClass[kLineMax];
  if (effects.RegQueryValueEx(kHkeyClassesRoot, ".htm", nullptr, fileClass,
                              sizeof fileClass) != kOk) {
    return 0;
  }
  char commandKey[kLineMax + 32];
  if (!JoinText(commandKey, {fileClass, "\\shell\\open\\command"})) return 0;
  char command[kLineMax];
  if (effects.RegQueryValueEx(kHkeyClassesRoot, commandKey, nullptr, command,
                              sizeof command) != kOk) {
    return 0;
  }
  if (!ContainsNoCase(command, "netscape")) return 0;
  VarSet(engine.vars, "NETSCAPEDEFAULT", "YES");
  return 1;
}

// DSTDIR, and CMDLINEDIR: the command line's destination, "" when it gave
// none, so that a script can tell the two apart.
static void SetDestinationDefault(Engine& engine, const char* programFiles) {
  VarSet(engine.vars, "CMDLINEDIR", engine.modes.commandLineDir);
  if (engine.modes.commandLineDir[0]) {
    VarSet(engine.vars, "DSTDIR", engine.modes.commandLineDir);
  } else if (programFiles[0]) {
    char destination[kLineMax];
    JoinText(destination, {programFiles, "vorn"});
    VarSet(engine.vars, "DSTDIR", destination);
  } else {
    VarSet(engine.vars, "DSTDIR", "c:\\vorn");
  }
}

void GetSystemVars(Engine& engine) {
  Effects& effects = *engine.effects;
  char programFiles[kPathMax];
  programFiles[0] = 0;  // stays empty when the registry has none
  char systemDir[kPathMax];
  char windowsDir[kPathMax];
  char currentDir[kPathMax];
  effects.GetSystemDirectory(systemDir);
  effects.GetWindowsDirectory(windowsDir);
  effects.GetCurrentDirectory(currentDir);
  RemoveTrailingBackslash(currentDir);
  ReadProgramFilesDir(effects, programFiles, sizeof programFiles);

  VarSet(engine.vars, "SYSDIR", systemDir);
  VarSet(engine.vars, "WINDIR", windowsDir);
  VarSet(engine.vars, "SRCDIR", currentDir);
  VarSet(engine.vars, "PROGRAMFILES", programFiles);
  SetDestinationDefault(engine, programFiles);

  char tempDir[kPathMax];
  effects.GetTempPath(tempDir);
  VarSet(engine.vars, "WINDOWSTEMP", tempDir);

  FindNetscapePath(engine);
  DetectNetscapeDefault(engine);
  ChooseLanguageFile(engine);
}

// System variables. Directories that Windows reports longer than 259
// characters, and registry texts that do not fit their buffers, are not
// truncated: the variable concerned gets the empty text (or the next rule
// applies), since a cut path would name the wrong place.
#include "actions/system_vars.h"

#include <windows.h>

#include <cstring>

#include "actions/file_probe.h"
#include "host/reg_key.h"
#include "script/engine.h"
#include "script/language.h"
#include "script/text.h"

static const size_t kNetscapeTextMax = 512;

// Keeps a directory that a Windows call wrote, or empties it when the call
// failed or needed more room (the call then returns the size it needs).
static void KeepIfComplete(char (&directory)[kPathMax], UINT length) {
  if (length == 0 || length >= kPathMax) directory[0] = 0;
}

static void RemoveTrailingBackslash(char* text) {
  size_t length = strlen(text);
  if (length > 0 && text[length - 1] == '\\') text[length - 1] = 0;
}

int ReadProgramFilesDir(char* destination, size_t capacity) {
  RegKey key;
  if (key.Open(HKEY_LOCAL_MACHINE,
               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
               KEY_READ) != ERROR_SUCCESS) {
    return 0;
  }
  char value[kLineMax];
  if (!key.ReadString("ProgramFilesDir", value, sizeof value) &&
      !key.ReadString("ProgramFilesPath", value, sizeof value)) {
    return 0;
  }
  if (strlen(value) + 2 > capacity) return 0;
  CopyText(destination, capacity, value);
  AppendText(destination, capacity, "\\");
  return 1;
}

// Opens the Main key of the Netscape Navigator settings: the user's own, or
// the one of the current version for the machine.
static bool OpenNetscapeMainKey(RegKey& main) {
  if (main.Open(HKEY_CURRENT_USER,
                "Software\\Netscape\\Netscape Navigator\\Main",
                KEY_ALL_ACCESS) == ERROR_SUCCESS) {
    return true;
  }
  RegKey navigator;
  if (navigator.Open(HKEY_LOCAL_MACHINE,
                     "Software\\Netscape\\Netscape Navigator",
                     KEY_READ) != ERROR_SUCCESS) {
    return false;
  }
  char version[kNetscapeTextMax];
  if (!navigator.ReadString("CurrentVersion", version, sizeof version)) {
    return false;
  }
  if (!FitsIn(version, sizeof version - 5)) return false;
  AppendText(version, "\\Main");
  return main.Open(navigator.Get(), version, KEY_READ) == ERROR_SUCCESS;
}

static bool EndsWithProgram(const char* directory) {
  size_t length = strlen(directory);
  return length >= 7 && EqualsNoCase(directory + length - 7, "program");
}

void FindNetscapePath(Engine& engine) {
  VarSet(engine.vars, "NETSCAPEPATH", "");
  char directory[kNetscapeTextMax];
  {
    RegKey main;
    if (!OpenNetscapeMainKey(main)) return;
    if (!main.ReadString("Install Directory", directory, sizeof directory)) {
      return;
    }
  }
  RemoveTrailingBackslash(directory);
  if (strlen(directory) > 7 && !EndsWithProgram(directory)) {
    if (!FitsIn(directory, sizeof directory - 8)) return;
    AppendText(directory, "\\Program");
  }
  char program[kNetscapeTextMax + 16];
  if (!JoinText(program, {directory, "\\netscape.exe"})) return;
  if (FileSize(program) <= 0) return;
  VarSet(engine.vars, "NETSCAPEPATH", directory);
}

// The default value of a key of HKEY_CLASSES_ROOT, terminated at the size
// read (a stored string need not carry its NUL).
static bool ReadClassDefault(const char* path, char (&value)[kLineMax]) {
  LONG size = sizeof value;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, path, value, &size) != ERROR_SUCCESS) {
    return false;
  }
  size_t end = size > 0 ? static_cast<size_t>(size) : 0;
  value[end < kLineMax ? end : kLineMax - 1] = 0;
  return true;
}

static bool ContainsNoCase(const char* text, const char* word) {
  for (; *text; ++text) {
    if (StartsWithNoCase(text, word)) return true;
  }
  return false;
}

int DetectNetscapeDefault(Engine& engine) {
  VarSet(engine.vars, "NETSCAPEDEFAULT", "");
  char fileClass[kLineMax];
  if (!ReadClassDefault(".htm", fileClass)) return 0;
  char commandKey[kLineMax + 32];
  if (!JoinText(commandKey, {fileClass, "\\shell\\open\\command"})) return 0;
  char command[kLineMax];
  if (!ReadClassDefault(commandKey, command)) return 0;
  if (!ContainsNoCase(command, "netscape")) return 0;
  VarSet(engine.vars, "NETSCAPEDEFAULT", "YES");
  return 1;
}

static void SetDestinationDefault(Engine& engine, const char* programFiles) {
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
  char programFiles[kPathMax] = "";
  char systemDir[kPathMax];
  char windowsDir[kPathMax];
  char currentDir[kPathMax];
  KeepIfComplete(systemDir, GetSystemDirectoryA(systemDir, kPathMax));
  KeepIfComplete(windowsDir, GetWindowsDirectoryA(windowsDir, kPathMax));
  KeepIfComplete(currentDir, GetCurrentDirectoryA(kPathMax, currentDir));
  RemoveTrailingBackslash(currentDir);
  ReadProgramFilesDir(programFiles, sizeof programFiles);

  VarSet(engine.vars, "SYSDIR", systemDir);
  VarSet(engine.vars, "WINDIR", windowsDir);
  VarSet(engine.vars, "SRCDIR", currentDir);
  VarSet(engine.vars, "PROGRAMFILES", programFiles);
  SetDestinationDefault(engine, programFiles);

  char tempDir[kPathMax];
  KeepIfComplete(tempDir, GetTempPathA(kPathMax, tempDir));
  VarSet(engine.vars, "WINDOWSTEMP", tempDir);

  FindNetscapePath(engine);
  DetectNetscapeDefault(engine);
  ChooseLanguageFile(engine);
}

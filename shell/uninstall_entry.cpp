// The uninstall entry in the system's list of installed programs, the
// runtime's file classes, and the maker's key. Deletions are never
// recursive: each removes exactly the key or value named here, and a key
// that still holds something else stays.
#include <cstring>

#include "script/effects.h"
#include "script/engine.h"
#include "script/var_store.h"
#include "shell/shell_commands.h"

static const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
static const char kMakerKey[] = "SOFTWARE\\Kelvaro";
static const char kUninstallValue[] = "vorn_uninstall";

static void SetString(Effects& effects, RegRoot root, const char* key,
                      const char* name, const char* text) {
  effects.RegSetValueEx(root, key, name, text, strlen(text) + 1);
}

// An entry name names a key of its own under the Uninstall key: not the
// key itself.
static bool IsEntryName(const char* name) { return name && *name; }

static void CmdSetUninstall(Engine& engine, const Statement& st) {
  const char* name = st.value1;
  const char* command = st.value2;
  char entry[kPathMax];
  if (!IsEntryName(name) || !command ||
      !JoinText(entry, {kUninstallKey, "\\", name})) {
    SetFailure(engine);
    return;
  }
  Effects& effects = *engine.effects;
  if (effects.RegOpenKeyEx(kHkeyLocalMachine, kUninstallKey, false) == kOk &&
      effects.RegCreateKeyEx(kHkeyLocalMachine, entry) == kOk) {
    SetString(effects, kHkeyLocalMachine, entry, "DisplayName", name);
    SetString(effects, kHkeyLocalMachine, entry, "UninstallString", command);
  }
  if (effects.RegCreateKeyEx(kHkeyLocalMachine, kMakerKey) == kOk) {
    SetString(effects, kHkeyLocalMachine, kMakerKey, kUninstallValue, command);
  }
}

static void CmdDelUninstall(Engine& engine, const Statement& st) {
  const char* name = st.value1;
  char entry[kPathMax];
  if (!IsEntryName(name) || !JoinText(entry, {kUninstallKey, "\\", name})) {
    SetFailure(engine);
    return;
  }
  Effects& effects = *engine.effects;
  if (effects.RegOpenKeyEx(kHkeyLocalMachine, kUninstallKey, true) == kOk) {
    effects.RegDeleteKey(kHkeyLocalMachine, entry);
  }
  if (effects.RegOpenKeyEx(kHkeyLocalMachine, kMakerKey, true) == kOk) {
    effects.RegDeleteValue(kHkeyLocalMachine, kMakerKey, kUninstallValue);
  }
}

// The open commands of the runtime's two document classes, in the order
// they are asked.
static const char* const kOpenCommandKeys[] = {
    "vorn_file\\shell\\open\\command",
    "vam_auto_file\\shell\\open\\command",
};

// The runtime's directory from a document class's open command: the text
// before its last '\' or '/', without a leading double quote; "" without a
// separator.
static void DirectoryOfOpenCommand(char* command) {
  char* cut = nullptr;
  for (char* p = command; *p; ++p) {
    if (*p == '\\' || *p == '/') cut = p;
  }
  if (!cut) {
    command[0] = 0;
    return;
  }
  *cut = 0;
  if (command[0] == '"') memmove(command, command + 1, strlen(command));
}

static void CmdDetectVORN(Engine& engine, const Statement&) {
  engine.flags.condition = 1;
  VarSet(engine.vars, "VORNpath", "");
  if (engine.flags.failure) {
    engine.flags.condition = 0;
    return;
  }
  char command[1024];
  Effects& effects = *engine.effects;
  if (effects.RegQueryValueEx(kHkeyClassesRoot, kOpenCommandKeys[0], nullptr,
                              command, sizeof command) != kOk &&
      effects.RegQueryValueEx(kHkeyClassesRoot, kOpenCommandKeys[1], nullptr,
                              command, sizeof command) != kOk) {
    engine.flags.condition = 0;
    return;
  }
  if (!strstr(command, "zekwin.exe")) {
    engine.flags.condition = 0;
    return;
  }
  DirectoryOfOpenCommand(command);
  VarSet(engine.vars, "VORNpath", command);
}

// Each class key after its subkeys, so each is empty when its turn comes.
static const char* const kClassKeys[] = {
    "vam_auto_file\\shell\\open\\command",
    "vam_auto_file\\shell\\open",
    "vam_auto_file\\DefaultIcon",
    "vam_auto_file\\shell",
    "vam_auto_file",
    ".vam",
    "vorn_file\\shell\\open\\command",
    "vorn_file\\shell\\open",
    "vorn_file\\DefaultIcon",
    "vorn_file\\shell",
    "vorn_file",
    ".vorn",
};

// The values of the install-state record.
static const char* const kRecordValues[] = {"InstallFailled", "IE",
                                            "Netscape", "Success"};

static void CmdCleanRegistry(Engine& engine, const Statement&) {
  Effects& effects = *engine.effects;
  for (const char* key : kClassKeys) effects.RegDeleteKey(kHkeyClassesRoot, key);
  if (effects.RegCreateKeyEx(kHkeyLocalMachine, "Software\\Kelvaro") != kOk) {
    return;
  }
  for (const char* value : kRecordValues) {
    effects.RegDeleteValue(kHkeyLocalMachine, "Software\\Kelvaro", value);
  }
  effects.RegFlushKey(kHkeyLocalMachine, "Software\\Kelvaro");
}

void BindUninstallEntryCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdSetUninstall, CmdSetUninstall},
      {kCmdDetectVORN, CmdDetectVORN},
      {kCmdDelUninstall, CmdDelUninstall},
      {kCmdCleanRegistry, CmdCleanRegistry},
  };
  BindCommands(engine, kBindings);
}

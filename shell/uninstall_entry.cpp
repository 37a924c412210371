// The uninstall entry in the system's list of installed programs, the
// runtime's file classes, and the maker's key. Deletions are never
// recursive: each removes exactly the key or value named here, a key with
// its values, and a key that still holds a subkey stays. A nested entry's
// parent keys go only when SetUninstall created them and they hold no
// other key.
#include <cstring>

#include "script/effects.h"
#include "script/engine.h"
#include "script/errors.h"
#include "script/text.h"
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

// The entry's record of the parent keys SetUninstall created for a nested
// name ("Vorn\Sub\Deep"): how many, counted up from the entry.
static const char kCreatedParentsValue[] = "CreatedParentKeys";

// The values the list of programs and deployment tools read besides the
// name and the command, each from a variable the script sets.
struct ScriptSetValue {
  const char* variable;
  const char* value;
};
static const ScriptSetValue kScriptSetValues[] = {
    {"UNINSTALL_VERSION", "DisplayVersion"},
    {"UNINSTALL_PUBLISHER", "Publisher"},
    {"UNINSTALL_LOCATION", "InstallLocation"},
    {"UNINSTALL_ICON", "DisplayIcon"},
    {"UNINSTALL_QUIET", "QuietUninstallString"},
};

// Writes each of those values whose variable holds a non-empty text, whole:
// a text the registry refuses is a failed write, journaled by the effects.
static void WriteScriptSetValues(Engine& engine, const char* entry) {
  for (const ScriptSetValue& item : kScriptSetValues) {
    const char* text = VarGet(engine.vars, item.variable);
    if (text && *text) {
      SetString(*engine.effects, kHkeyLocalMachine, entry, item.value, text);
    }
  }
}

// An entry name names a key of its own under the Uninstall key: not the
// key itself.
static bool IsEntryName(const char* name) { return name && *name; }

// The entry key of `name`; false (journaled, with the failure flag) when
// there is no name or "<Uninstall key>\<name>" passes the 259 characters
// of a path: an entry name holds at most 207 characters.
static bool EntryKeyOf(Engine& engine, const char* command, const char* name,
                       char (&entry)[kPathMax]) {
  if (!IsEntryName(name)) {
    ReportQuietError(engine, {command, ": no entry name"});
    return false;
  }
  if (!JoinText(entry, {kUninstallKey, "\\", name})) {
    ReportQuietError(engine, {command, ": the entry name is longer than 207 "
                              "characters: ", name});
    return false;
  }
  return true;
}

// Cuts `key` at its last backslash, to its parent; false when that parent
// would be the Uninstall key itself, or the name has an empty element.
static bool ToParentBelowUninstallKey(char* key) {
  char* cut = strrchr(key, '\\');
  if (!cut || cut[1] == 0 || cut <= key + sizeof kUninstallKey - 1) return false;
  *cut = 0;
  return cut[-1] != '\\';
}

// How many parents of `entry` below the Uninstall key are missing.
static int CountMissingParents(Effects& effects, const char* entry) {
  char key[kPathMax];
  CopyText(key, entry);
  int missing = 0;
  while (ToParentBelowUninstallKey(key) &&
         effects.RegOpenKeyEx(kHkeyLocalMachine, key, false) != kOk) {
    ++missing;
  }
  return missing;
}

static void CmdSetUninstall(Engine& engine, const Statement& st) {
  const char* name = st.value1;
  const char* command = st.value2;
  char entry[kPathMax];
  if (!EntryKeyOf(engine, "SetUninstall", name, entry)) return;
  if (!command) {
    ReportQuietError(engine, {"SetUninstall ", name, ": no uninstall command"});
    return;
  }
  Effects& effects = *engine.effects;
  if (effects.RegOpenKeyEx(kHkeyLocalMachine, kUninstallKey, false) == kOk) {
    int createdParents = CountMissingParents(effects, entry);
    if (effects.RegCreateKeyEx(kHkeyLocalMachine, entry) == kOk) {
      SetString(effects, kHkeyLocalMachine, entry, "DisplayName", name);
      SetString(effects, kHkeyLocalMachine, entry, "UninstallString", command);
      WriteScriptSetValues(engine, entry);
      if (createdParents > 0) {
        char count[12];
        FormatDecimal(count, createdParents);
        SetString(effects, kHkeyLocalMachine, entry, kCreatedParentsValue, count);
      }
    }
  }
  if (effects.RegCreateKeyEx(kHkeyLocalMachine, kMakerKey) == kOk) {
    SetString(effects, kHkeyLocalMachine, kMakerKey, kUninstallValue, command);
  }
}

// The parents SetUninstall created for the entry, as its record says.
static int CreatedParentsOf(Effects& effects, const char* entry) {
  char count[12];
  if (effects.RegQueryValueEx(kHkeyLocalMachine, entry, kCreatedParentsValue,
                              count, sizeof count) != kOk) {
    return 0;
  }
  int parents = 0;
  for (const char* p = count; *p >= '0' && *p <= '9' && parents < 1000; ++p) {
    parents = parents * 10 + (*p - '0');
  }
  return parents;
}

// Removes the entry's parents that SetUninstall created, from the nearest
// up, while each is empty of subkeys.
static void RemoveCreatedParents(Effects& effects, const char* entry,
                                 int parents) {
  char key[kPathMax];
  CopyText(key, entry);
  char child[kPathMax];
  for (; parents > 0 && ToParentBelowUninstallKey(key); --parents) {
    if (effects.RegEnumKeyEx(kHkeyLocalMachine, key, 0, child, sizeof child) !=
        kErrNoMoreFiles) {
      return;
    }
    if (effects.RegDeleteKey(kHkeyLocalMachine, key) != kOk) return;
  }
}

static void CmdDelUninstall(Engine& engine, const Statement& st) {
  const char* name = st.value1;
  char entry[kPathMax];
  if (!EntryKeyOf(engine, "DelUninstall", name, entry)) return;
  Effects& effects = *engine.effects;
  if (effects.RegOpenKeyEx(kHkeyLocalMachine, kUninstallKey, true) == kOk) {
    int parents = CreatedParentsOf(effects, entry);
    if (effects.RegDeleteKey(kHkeyLocalMachine, entry) == kOk) {
      RemoveCreatedParents(effects, entry, parents);
    }
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

// True when `part` stands somewhere in `text` (bytes compared exactly).
static bool HoldsText(const char* text, const char* part) {
  size_t length = strlen(part);
  for (; *text; ++text) {
    if (BoundedLength(text, length) == length && memcmp(text, part, length) == 0) {
      return true;
    }
  }
  return false;
}

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
  if (!HoldsText(command, "zekwin.exe")) {
    engine.flags.condition = 0;
    return;
  }
  DirectoryOfOpenCommand(command);
  VarSet(engine.vars, "VORNpath", command);
}

// Each class key after its subkeys, so each is empty when its turn comes
// (a list for NextItem).
static const char kClassKeys[] =
    "vam_auto_file\\shell\\open\\command\0"
    "vam_auto_file\\shell\\open\0"
    "vam_auto_file\\DefaultIcon\0"
    "vam_auto_file\\shell\0"
    "vam_auto_file\0"
    ".vam\0"
    "vorn_file\\shell\\open\\command\0"
    "vorn_file\\shell\\open\0"
    "vorn_file\\DefaultIcon\0"
    "vorn_file\\shell\0"
    "vorn_file\0"
    ".vorn\0";

// The values of the install-state record: the names install_state.cpp
// writes, as texts of their own that the two files share.
static const char* const kRecordValues[] = {"InstallFailled", "IE",
                                            "Netscape", "Success"};

static void CmdCleanRegistry(Engine& engine, const Statement&) {
  Effects& effects = *engine.effects;
  for (const char* key = kClassKeys; *key; key = NextItem(key)) {
    effects.RegDeleteKey(kHkeyClassesRoot, key);
  }
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

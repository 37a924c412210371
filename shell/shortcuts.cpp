// Program groups in the Start menu, and shortcuts in a group, the Startup
// folder and on the desktop. Shortcuts are written by the shell's own link
// object (through the effects); folders come from the shell. A folder that
// cannot be found, or a path that does not fit, writes and deletes nothing
// and sets the failure flag: a path is never cut.
#include <cstring>

#include "actions/delete_guard.h"
#include "actions/file_tree.h"
#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/messages.h"
#include "script/var_store.h"
#include "shell/shell_commands.h"

static bool HasText(const char* value) { return value && *value; }

// The special folder `csidl`; on failure the failure flag is set.
static bool SpecialFolder(Engine& engine, int csidl, char (&path)[kPathMax]) {
  if (engine.effects->SHGetSpecialFolderPath(csidl, path) == kOk && path[0]) {
    return true;
  }
  SetFailure(engine);
  return false;
}

// Where a shortcut goes and what it holds.
struct ShortcutPlan {
  int folder;              // special folder
  bool inProgramGroup;     // below the folder, in PROGRAMGROUP
  const char* baseVariable;  // the target's directory
  bool desktop;            // arguments only when given, and LINKICO
};

// Builds "<folder>[\<PROGRAMGROUP>]\<name>.lnk".
static bool LinkPath(Engine& engine, const ShortcutPlan& plan,
                     const char* name, char (&path)[kPathMax]) {
  char folder[kPathMax];
  if (!SpecialFolder(engine, plan.folder, folder)) return false;
  const char* group = VarGet(engine.vars, "PROGRAMGROUP");
  if (plan.inProgramGroup && !HasText(group)) return false;
  if (plan.inProgramGroup) {
    return JoinText(path, {folder, "\\", group, "\\", name, ".lnk"});
  }
  return JoinText(path, {folder, "\\", name, ".lnk"});
}

// Whether the folder that would hold `path` is there.
static bool FolderOfFileExists(Engine& engine, const char* path) {
  char folder[kPathMax];
  CopyText(folder, path);
  char* last = strrchr(folder, '\\');
  if (last) *last = 0;
  unsigned long attributes = 0;
  return engine.effects->GetFileAttributes(folder, &attributes) == kOk &&
         (attributes & kAttrDirectory);
}

static void SaveShortcut(Engine& engine, const ShortcutPlan& plan,
                         const char* target, const char* name) {
  char linkPath[kPathMax];
  if (!LinkPath(engine, plan, name, linkPath)) {
    SetFailure(engine);
    return;
  }
  const char* arguments = TextOrEmpty(VarGet(engine.vars, "LINKARG"));
  const char* icon = VarGet(engine.vars, "LINKICO");
  ShellLinkFields link = {};
  link.target = target;
  link.workingDirectory = VarGet(engine.vars, "DSTDIR");
  link.arguments = (!plan.desktop || *arguments) ? arguments : nullptr;
  link.iconPath = (plan.desktop && HasText(icon)) ? icon : nullptr;
  link.iconIndex = 0;
  if (engine.effects->CreateShellLink(link, linkPath) == kOk) return;
  // A group that does not exist fails here, as it always did: logged only.
  // Any other failure leaves a shortcut out, and the run says so.
  if (!plan.inProgramGroup || FolderOfFileExists(engine, linkPath)) {
    SetFailure(engine);
  }
}

// A shortcut command: the status line, then, when the target file, its
// base directory and the link name all have values, one attempt, after
// which LINKARG (and for the desktop LINKICO) is used up.
static void MakeShortcut(Engine& engine, const Statement& st,
                         const ShortcutPlan& plan) {
  const char* file = st.value1;
  const char* name = st.value2;
  SetItemTextFmt(engine, st.owner, kStatusLineId,
                 Message(engine, "CREATELINK_MSG"), {name});
  if (!file || !name) return;
  const char* base =
      InstallDirectory(engine, plan.baseVariable, CommandKeyword(st.id));
  if (!base) return;
  char target[kPathMax];
  if (JoinPath(target, base, file)) {
    SaveShortcut(engine, plan, target, name);
  } else {
    SetFailure(engine);
  }
  VarSet(engine.vars, "LINKARG", "");
  if (plan.desktop) VarSet(engine.vars, "LINKICO", "");
}

static const ShortcutPlan kGroupLink = {kCsidlPrograms, true, "DSTDIR", false};
static const ShortcutPlan kSourceLink = {kCsidlPrograms, true, "SRCDIR", false};
static const ShortcutPlan kStartLink = {kCsidlStartup, false, "DSTDIR", false};
static const ShortcutPlan kDesktopLink = {kCsidlDesktopDirectory, false, "DSTDIR", true};

static void CmdMkLink(Engine& engine, const Statement& st) {
  MakeShortcut(engine, st, kGroupLink);
}
static void CmdCreateSourceLink(Engine& engine, const Statement& st) {
  MakeShortcut(engine, st, kSourceLink);
}
static void CmdCreateStartLink(Engine& engine, const Statement& st) {
  MakeShortcut(engine, st, kStartLink);
}
static void CmdCreateDesktopLink(Engine& engine, const Statement& st) {
  MakeShortcut(engine, st, kDesktopLink);
}

// Deletes "<folder>\<name>.lnk"; a missing shortcut is no error. The name
// names a shortcut in that folder and nowhere else.
static void DestroyShortcut(Engine& engine, const char* command, int folder,
                            const char* name) {
  if (!HasText(name)) return;
  const char* refused = RefusedShortcutName(name);
  if (refused) {
    RefuseDelete(engine, command, name, refused);
    return;
  }
  char path[kPathMax];
  if (!LinkPath(engine, {folder, false, "DSTDIR", false}, name, path)) {
    SetFailure(engine);
    return;
  }
  if (!MayDelete(engine, command, {}, path)) return;
  unsigned long attributes = 0;
  Status there = engine.effects->GetFileAttributes(path, &attributes);
  if (there == kErrFileNotFound || there == kErrPathNotFound) return;
  if (engine.effects->DeleteFile(path) != kOk) SetFailure(engine);
}

static void CmdDestroyDesktopLink(Engine& engine, const Statement& st) {
  DestroyShortcut(engine, "DestroyDesktopLink", kCsidlDesktopDirectory,
                  st.value1);
}
static void CmdDestroyStartLink(Engine& engine, const Statement& st) {
  DestroyShortcut(engine, "DestroyStartLink", kCsidlStartup, st.value1);
}

static void CmdMkPgmGroup(Engine& engine, const Statement& st) {
  SetItemTextFmt(engine, st.owner, kStatusLineId,
                 Message(engine, "CREATEPGMGROUP_MSG"), {st.value1});
  if (!st.value1) return;
  char programs[kPathMax], group[kPathMax];
  if (!SpecialFolder(engine, kCsidlPrograms, programs)) return;
  if (!JoinPath(group, programs, st.value1)) {
    SetFailure(engine);
    return;
  }
  // An existing group is fine, and no failure to journal; a file in its
  // place is one.
  unsigned long attributes = 0;
  if (engine.effects->GetFileAttributes(group, &attributes) == kOk &&
      (attributes & kAttrDirectory)) {
    return;
  }
  engine.effects->CreateDirectory(group);
}

// A group names a folder inside the Programs folder: a name the delete
// guard takes, with no drive and no leading separator.
static const char* RefusedGroupName(const char* name) {
  if (!HasText(name)) return "no value";
  if (strchr(name, ':') || name[0] == '\\' || name[0] == '/') {
    return "a group outside the Programs folder";
  }
  return RefusedName(name);
}

// The group and everything in it; the guard refuses the Programs folder
// itself and anything outside it.
static void CmdDelPgmGroup(Engine& engine, const Statement& st) {
  const char* refused = RefusedGroupName(st.value1);
  if (refused) {
    RefuseDelete(engine, "DelPgmGroup", st.value1 ? st.value1 : st.text1, refused);
    return;
  }
  char programs[kPathMax], group[kPathMax];
  if (!SpecialFolder(engine, kCsidlPrograms, programs)) return;
  if (!JoinPath(group, programs, st.value1)) {
    SetFailure(engine);
    return;
  }
  DeleteTree(engine, "DelPgmGroup", group, nullptr);
}

static void CmdGetPgmGroup(Engine& engine, const Statement& st) {
  char programs[kPathMax];
  if (!HasText(st.text1)) {
    SetFailure(engine);
    return;
  }
  if (SpecialFolder(engine, kCsidlPrograms, programs)) {
    VarSet(engine.vars, st.text1, programs);
  }
}

void BindShortcutCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdMkPgmGroup, CmdMkPgmGroup},
      {kCmdMkLink, CmdMkLink},
      {kCmdCreateSourceLink, CmdCreateSourceLink},
      {kCmdGetPgmGroup, CmdGetPgmGroup},
      {kCmdDelPgmGroup, CmdDelPgmGroup},
      {kCmdCreateDesktopLink, CmdCreateDesktopLink},
      {kCmdDestroyDesktopLink, CmdDestroyDesktopLink},
      {kCmdCreateStartLink, CmdCreateStartLink},
      {kCmdDestroyStartLink, CmdDestroyStartLink},
  };
  BindCommands(engine, kBindings);
}

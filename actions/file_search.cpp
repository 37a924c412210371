// Looking for files: Exist, and ApplyOnFiles, which searches every fixed
// drive for a file name and runs a section for each hit. Also the two
// directory commands, GetTempFileName and CD.
#include <cstring>

#include "actions/action_groups.h"
#include "actions/directory_walk.h"
#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/memory.h"
#include "script/messages.h"
#include "script/runner.h"

// Exist PATTERN: 1 when a file or directory matches (wildcards allowed).
static void CmdExist(Engine& engine, const Statement& st) {
  engine.flags.condition = 0;
  if (!st.value1 || !FitsIn(st.value1, kPathMax)) return;
  FindData entry;
  FindRef find = nullptr;
  if (engine.effects->FindFirstFile(st.value1, &entry, &find) != kOk) return;
  engine.effects->FindClose(find);
  engine.flags.condition = 1;
}

// One search: the file name (exact, case-sensitive), the section, and the
// wait dialog of the drive being searched.
struct FileSearch {
  const char* name;
  const char* section;
  WindowRef waitDialog;
};

static void RunForHit(Engine& engine, const FileSearch& search,
                      const char* directory) {
  VarSet(engine.vars, "DSTDIR", directory);
  RunSection(engine, search.waitDialog, search.section);
}

static void SearchDirectory(Engine& engine, const FileSearch& search,
                            const char* directory) {
  SetItemTextFmt(engine, search.waitDialog, kStatusLineId,
                 Message(engine, "SEARCHING_FILES_MSG"), {directory});
  ForEachEntry(*engine.effects, directory, "\\",
               [&](const FindData& entry, const char* path) {
                 if (IsRealDirectory(entry)) {
                   SearchDirectory(engine, search, path);
                 } else if (!(entry.attributes & kAttrDirectory) &&
                            strcmp(entry.name, search.name) == 0) {
                   RunForHit(engine, search, directory);
                 }
                 return true;
               });
}

// A drive is searched when it is fixed, or reported as having no root.
static bool IsSearchedDrive(int type) {
  return type == kDriveFixed || type == kDriveNoRootDir;
}

// Searches one drive with a wait dialog of its own, owned by `owner`.
static void SearchDrive(Engine& engine, WindowRef owner, const char* name,
                        const char* section, const char* drive) {
  WindowRef wait = engine.host->CreateWaitDialog(owner);
  if (!engine.modes.mini && !engine.modes.silent) {
    engine.host->ShowProgressDialog(wait);
  }
  FileSearch search = {name, section, wait};
  SearchDirectory(engine, search, drive);
  engine.host->DestroyDialog(wait);
}

static void FindFileOnDrives(Engine& engine, WindowRef owner,
                             const char* name, const char* section) {
  Effects& effects = *engine.effects;
  unsigned long drives = effects.GetLogicalDrives();
  for (int letter = 0; letter < 26 && (drives >> letter); ++letter) {
    char drive[3] = {static_cast<char>('a' + letter), ':', 0};
    char root[4] = {drive[0], ':', '\\', 0};
    if (((drives >> letter) & 1) && IsSearchedDrive(effects.GetDriveType(root))) {
      SearchDrive(engine, owner, name, section, drive);
    }
    if (!engine.modes.silent) engine.host->UpdateMainWindow();
    engine.host->PumpMessages(1);
  }
}

// ApplyOnFiles NAME SECTION: runs SECTION once for each file named NAME
// (case-sensitive) on every fixed drive, with DSTDIR its directory. Both
// values are copied first: the section may change DSTDIR or the variables
// they came from. The condition is 0 afterwards.
static void CmdApplyOnFiles(Engine& engine, const Statement& st) {
  char* name = MemDupText(st.value1 ? st.value1 : "*.*");
  char* section = st.value2 ? MemDupText(st.value2) : nullptr;
  if (name && (section || !st.value2)) {
    FindFileOnDrives(engine, st.owner, name, section);
  } else {
    SetFailure(engine);
  }
  MemFree(name);
  MemFree(section);
  engine.flags.condition = 0;
}

// GetTempFileName NAME: a new empty file in DSTDIR named by the system from
// "tem" and a number; its path goes into the variable NAME (as written).
// When none can be made, the variable is removed and the failure flag set.
static void CmdGetTempFileName(Engine& engine, const Statement& st) {
  const char* directory = InstallDirectory(engine, "DSTDIR", "GetTempFileName");
  char path[kPathMax];
  if (directory &&
      engine.effects->GetTempFileName(directory, "temp", path) == kOk) {
    VarSet(engine.vars, st.text1, path);
    return;
  }
  VarRemove(engine.vars, st.text1);
  SetFailure(engine);
}

// CD DIRECTORY: the argument as written becomes the current directory.
static void CmdCD(Engine& engine, const Statement& st) {
  engine.effects->SetCurrentDirectory(st.text1);
}

void BindFileSearchCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdExist, CmdExist},
      {kCmdApplyOnFiles, CmdApplyOnFiles},
      {kCmdGetTempFileName, CmdGetTempFileName},
      {kCmdCD, CmdCD},
  };
  BindCommands(engine, kBindings);
}

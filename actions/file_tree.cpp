// Tree walks: CopyDir2Dest, Deltree, DeleteAllFiles, and Delete beside
// them. Arguments that are missing or empty, or that would name a whole
// drive, delete nothing and set the failure flag: a wider target than the
// script meant must never be deleted.
#include "actions/file_tree.h"

#include "actions/action_groups.h"
#include "actions/directory_walk.h"
#include "actions/file_transfer.h"
#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/messages.h"

// ---- CopyDir2Dest ----

// A file this small copies in well under a frame, so the name before it
// may wait for its paint; a larger file's name is painted before its copy.
static const unsigned long long kBriefCopyBytes = 256 * 1024;

static int CopyTree(Engine& engine, WindowRef owner, const char* sourceRoot,
                    const char* destinationRoot, const char* relative) {
  char source[kPathMax], destination[kPathMax];
  if (!JoinText(source, {sourceRoot, "/", relative}) ||
      !JoinText(destination, {destinationRoot, "/", relative})) {
    TakeCopyFailurePath(engine, sourceRoot, destinationRoot);
    return -1;
  }
  Effects& effects = *engine.effects;
  effects.CreateDirectory(destination);
  int result = 0;
  ForEachEntry(effects, source, "/", [&](const FindData& entry,
                                         const char* path) {
    bool brief = !(entry.attributes & kAttrDirectory) &&
                 entry.size < kBriefCopyBytes;
    if (brief) {
      SetItemTextFmtBriefly(engine, owner, kStatusLineId,
                            Message(engine, "COPY_MSG"), {entry.name});
    } else {
      SetItemTextFmt(engine, owner, kStatusLineId, Message(engine, "COPY_MSG"),
                     {entry.name});
    }
    char target[kPathMax];
    if (!JoinText(target, {destination, "/", entry.name})) return true;
    if (!(entry.attributes & kAttrDirectory)) {
      result = CopyListedFile(engine, path, target, entry.attributes);
    } else if (IsRealDirectory(entry)) {
      char inner[kPathMax];
      if (JoinText(inner, {relative, "/", entry.name})) {
        result = CopyTree(engine, owner, sourceRoot, destinationRoot, inner);
      }
    }
    // The status line above has let one pending message through already.
    return result == 0;
  });
  return result;
}

int CopyTreeToDestination(Engine& engine, WindowRef owner,
                          const char* sourceRoot, const char* relative) {
  const char* destinationRoot = VarGet(engine.vars, "DSTDIR");
  if (!sourceRoot || !destinationRoot || !relative) return 0;
  char source[kPathMax], destination[kPathMax];
  if (JoinText(source, {sourceRoot, "/", relative}) &&
      JoinText(destination, {destinationRoot, "/", relative}) &&
      IsInsideTree(*engine.effects, destination, source)) {
    TakeCopyFailurePath(engine, source, destination);  // it would never end
    return -1;
  }
  int result = CopyTree(engine, owner, sourceRoot, destinationRoot, relative);
  // The last name is on screen before whatever comes next.
  if (owner && !engine.modes.silent) engine.host->RepaintNow(owner);
  return result;
}

static void CmdCopyDir2Dest(Engine& engine, const Statement& st) {
  CopyTreeToDestination(engine, st.owner, VarGet(engine.vars, "SRCDIR"),
                        st.value1);
}

// ---- Deletion ----

static void EmptyAndRemove(Effects& effects, const char* directory) {
  ForEachEntry(effects, directory, "\\", [&](const FindData& entry,
                                             const char* path) {
    if (IsRealDirectory(entry)) {
      EmptyAndRemove(effects, path);
    } else if (entry.attributes & kAttrDirectory) {
      effects.RemoveDirectory(path);  // the link itself
    } else {
      effects.DeleteFile(path);
    }
    return true;
  });
  effects.RemoveDirectory(directory);
}

void DeleteTree(Engine& engine, const char* base, const char* sub) {
  char directory[kPathMax];
  bool hasSub = sub && sub[0];
  bool built = hasSub ? JoinPath(directory, base, sub)
                      : FitsIn(base, kPathMax) && CopyText(directory, base) > 0;
  if (!built || IsDriveRootOrEmpty(directory)) {
    SetFailure(engine);
    return;
  }
  EmptyAndRemove(*engine.effects, directory);
}

void DeleteFilesIn(Engine& engine, const char* directory) {
  if (!FitsIn(directory, kPathMax) || IsDriveRootOrEmpty(directory)) {
    SetFailure(engine);
    return;
  }
  Effects& effects = *engine.effects;
  ForEachEntry(effects, directory, "\\", [&](const FindData&,
                                             const char* path) {
    effects.DeleteFile(path);
    return true;
  });
}

// A needed slot: true when it holds a non-empty value. A bare word that
// names no variable, or an empty text, is refused.
static bool HasText(const char* value) { return value && value[0]; }
// An optional slot: absent, or a value. A bare word naming no variable is
// neither: it is refused, lest the target widen to its parent.
static bool OptionalIsUsable(const Statement& st) {
  return st.value2 || !st.nameFlag2 || !st.text2[0];
}

static void CmdDeltree(Engine& engine, const Statement& st) {
  if (!HasText(st.value1) || !OptionalIsUsable(st)) {
    SetFailure(engine);
    return;
  }
  DeleteTree(engine, st.value1, st.value2);
}

static void CmdDeleteAllFiles(Engine& engine, const Statement& st) {
  if (!HasText(st.value1)) {
    SetFailure(engine);
    return;
  }
  DeleteFilesIn(engine, st.value1);
}

// Delete NAME [DIRECTORY]: deletes DIRECTORY\NAME, or NAME.
static void CmdDelete(Engine& engine, const Statement& st) {
  if (!HasText(st.value1) || !OptionalIsUsable(st)) {
    SetFailure(engine);
    return;
  }
  char path[kPathMax];
  bool built = HasText(st.value2) ? JoinPath(path, st.value2, st.value1)
                                  : FitsIn(st.value1, kPathMax) &&
                                        CopyText(path, st.value1) > 0;
  if (!built) {
    SetFailure(engine);
    return;
  }
  engine.effects->DeleteFile(path);
}

void BindFileTreeCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdCopyDir2Dest, CmdCopyDir2Dest},
      {kCmdDeltree, CmdDeltree},
      {kCmdDeleteAllFiles, CmdDeleteAllFiles},
      {kCmdDelete, CmdDelete},
  };
  BindCommands(engine, kBindings);
}

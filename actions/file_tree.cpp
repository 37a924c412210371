// Tree walks: CopyDir2Dest, Deltree, DeleteAllFiles, and Delete beside
// them. Arguments that are missing or empty, and every name or place the
// delete guard refuses, delete nothing and count as errors: a wider target
// than the script meant must never be deleted. A delete that leaves
// anything behind counts too.
#include "actions/file_tree.h"

#include "actions/action_groups.h"
#include "actions/delete_guard.h"
#include "actions/directory_walk.h"
#include "actions/file_transfer.h"
#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/journal.h"
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
  unsigned long attributes = 0;
  if (effects.GetFileAttributes(destination, &attributes) != kOk) {
    effects.CreateDirectory(destination);  // a failure shows in the copies
  }
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
  if (!st.value1) return;
  const char* source = InstallDirectory(engine, "SRCDIR", "CopyDir2Dest");
  if (!source || !InstallDirectory(engine, "DSTDIR", "CopyDir2Dest")) return;
  CopyTreeToDestination(engine, st.owner, source, st.value1);
}

// ---- Deletion ----

// What is there at `path`: nothing, a directory, a link to a directory, or
// a file. Probing logs nothing: a missing target is no failure.
enum Presence { kAbsent, kDirectory, kDirectoryLink, kFile };

static Presence PresenceOf(Effects& effects, const char* path) {
  unsigned long attributes = 0;
  Status status = effects.GetFileAttributes(path, &attributes);
  if (status == kErrFileNotFound || status == kErrPathNotFound) return kAbsent;
  if (status != kOk || !(attributes & kAttrDirectory)) return kFile;
  return (attributes & kAttrReparsePoint) ? kDirectoryLink : kDirectory;
}

// One delete of a tree or a folder's files: what it left behind. Each
// entry left is in the journal, by the failed call or a line of its own.
struct DeleteRun {
  Engine& engine;
  const char* command;
  int left;
};

static void LeaveBehind(DeleteRun& run, Status status) {
  if (status != kOk) ++run.left;
}

static void LeaveTooLong(DeleteRun& run, const char* directory,
                         const FindData& entry) {
  Journal(run.engine, "failure", {run.command, " ", directory, "\\", entry.name,
                                  ": left behind, its path is longer than 259 characters"});
  ++run.left;
}

static void EmptyAndRemove(DeleteRun& run, const char* directory) {
  Effects& effects = *run.engine.effects;
  ForEachEntry(
      effects, directory, "\\",
      [&](const FindData& entry, const char* path) {
        if (IsRealDirectory(entry)) {
          EmptyAndRemove(run, path);
        } else if (entry.attributes & kAttrDirectory) {
          LeaveBehind(run, effects.RemoveDirectory(path));  // the link itself
        } else {
          LeaveBehind(run, effects.DeleteFile(path));
        }
        return true;
      },
      [&](const FindData& entry) { LeaveTooLong(run, directory, entry); });
  LeaveBehind(run, effects.RemoveDirectory(directory));
}

// A delete that left something behind is an error of the run.
static void CountWhatWasLeft(const DeleteRun& run, const char* target) {
  if (run.left == 0) return;
  char count[12];
  FormatDecimal(count, run.left);
  Journal(run.engine, "failure",
          {run.command, " ", target, ": ", count, " entries left behind"});
  SetFailure(run.engine);
}

void DeleteTree(Engine& engine, const char* command, const char* base,
                const char* sub) {
  char directory[kPathMax];
  bool hasSub = sub && sub[0];
  bool built = hasSub ? JoinPath(directory, base, sub)
                      : FitsIn(base, kPathMax) && CopyText(directory, base) > 0;
  if (!built) {
    RefuseDelete(engine, command, base, "the path is longer than 259 characters");
    return;
  }
  if (!MayDelete(engine, command, {base, sub}, directory)) return;
  DeleteRun run = {engine, command, 0};
  switch (PresenceOf(*engine.effects, directory)) {
    case kAbsent: return;
    case kDirectoryLink:
      LeaveBehind(run, engine.effects->RemoveDirectory(directory));
      break;
    case kDirectory:
    case kFile:  // not a directory: the removal fails and says so
      EmptyAndRemove(run, directory);
      break;
  }
  CountWhatWasLeft(run, directory);
}

void DeleteFilesIn(Engine& engine, const char* directory) {
  if (!FitsIn(directory, kPathMax)) {
    RefuseDelete(engine, "DeleteAllFiles", directory,
                 "the path is longer than 259 characters");
    return;
  }
  if (!MayDelete(engine, "DeleteAllFiles", {directory}, directory)) return;
  Effects& effects = *engine.effects;
  if (PresenceOf(effects, directory) == kAbsent) return;
  DeleteRun run = {engine, "DeleteAllFiles", 0};
  ForEachEntry(
      effects, directory, "\\",
      [&](const FindData& entry, const char* path) {
        if (!(entry.attributes & kAttrDirectory)) {
          LeaveBehind(run, effects.DeleteFile(path));
        }
        return true;
      },
      [&](const FindData& entry) { LeaveTooLong(run, directory, entry); });
  CountWhatWasLeft(run, directory);
}

// A needed slot: true when it holds a non-empty value. A bare word that
// names no variable, or an empty text, is refused.
static bool HasText(const char* value) { return value && value[0]; }
// An optional slot: absent, or a value. A bare word naming no variable is
// neither: it is refused, lest the target widen to its parent.
static bool OptionalIsUsable(const Statement& st) {
  return st.value2 || !st.nameFlag2 || !st.text2[0];
}

// The arguments of a delete command, before any path is built.
static bool ArgumentsAreUsable(Engine& engine, const char* command,
                               const Statement& st) {
  if (!HasText(st.value1)) {
    return RefuseDelete(engine, command, st.text1, "no value");
  }
  if (!OptionalIsUsable(st)) {
    return RefuseDelete(engine, command, st.text2, "no value");
  }
  return true;
}

static void CmdDeltree(Engine& engine, const Statement& st) {
  if (!ArgumentsAreUsable(engine, "Deltree", st)) return;
  DeleteTree(engine, "Deltree", st.value1, st.value2);
}

static void CmdDeleteAllFiles(Engine& engine, const Statement& st) {
  if (!ArgumentsAreUsable(engine, "DeleteAllFiles", st)) return;
  DeleteFilesIn(engine, st.value1);
}

// Delete NAME [DIRECTORY]: deletes DIRECTORY\NAME, or NAME. A missing file
// is no error; one that stays is.
static void CmdDelete(Engine& engine, const Statement& st) {
  if (!ArgumentsAreUsable(engine, "Delete", st)) return;
  char path[kPathMax];
  bool built = HasText(st.value2) ? JoinPath(path, st.value2, st.value1)
                                  : FitsIn(st.value1, kPathMax) &&
                                        CopyText(path, st.value1) > 0;
  if (!built) {
    RefuseDelete(engine, "Delete", st.value1, "the path is longer than 259 characters");
    return;
  }
  if (!MayDelete(engine, "Delete", {st.value1, st.value2}, path)) return;
  Effects& effects = *engine.effects;
  if (PresenceOf(effects, path) == kAbsent) return;
  if (effects.DeleteFile(path) != kOk) SetFailure(engine);
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

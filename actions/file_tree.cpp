// Tree walks: CopyDir2Dest, Deltree, DeleteAllFiles, and Delete beside
// them. Arguments that are missing or empty, and every name or place the
// delete guard refuses, delete nothing and count as errors: a wider target
// than the script meant must never be deleted. A delete that leaves
// anything behind counts too, but for what a moved uninstall cannot delete
// before the program that started it has ended (it waits on a list).
#include "actions/file_tree.h"

#include "actions/action_groups.h"
#include "actions/delete_guard.h"
#include "actions/directory_walk.h"
#include "actions/file_transfer.h"
#include "actions/moved_uninstall.h"
#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/journal.h"
#include "script/messages.h"

// ---- CopyDir2Dest ----

// A file this small copies in well under a frame, so the name before it
// may wait for its paint; a larger file's name is painted before its copy.
static const unsigned long long kBriefCopyBytes = 256 * 1024;

static bool CopyTree(Engine& engine, WindowRef owner, const char* sourceRoot,
                    const char* destinationRoot, const char* relative) {
  char source[kPathMax], destination[kPathMax];
  if (!JoinText(source, {sourceRoot, "/", relative}) ||
      !JoinText(destination, {destinationRoot, "/", relative})) {
    TakeCopyFailurePath(engine, sourceRoot, destinationRoot);
    return false;
  }
  Effects& effects = *engine.effects;
  unsigned long attributes = 0;
  if (effects.GetFileAttributes(destination, &attributes) != kOk) {
    effects.CreateDirectory(destination);  // a failure shows in the copies
  }
  bool copied = true;
  // An entry whose path does not fit is never left out quietly.
  auto leaveOut = [&](const char* name) {
    TakeCopyFailurePath(engine, name, destination);
    copied = false;
  };
  Status listing = ForEachEntry(effects, source, "/", [&](const FindData& entry,
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
    char target[kPathMax], inner[kPathMax];
    if (!JoinText(target, {destination, "/", entry.name}) ||
        !JoinText(inner, {relative, "/", entry.name})) {
      leaveOut(path);
    } else if (!(entry.attributes & kAttrDirectory)) {
      copied = CopyListedFile(engine, path, target, entry.attributes);
    } else if (IsRealDirectory(entry)) {
      copied = CopyTree(engine, owner, sourceRoot, destinationRoot, inner);
    }
    // The status line above has let one pending message through already.
    return copied;
  }, [&](const FindData& entry) { if (copied) leaveOut(entry.name); });
  // A folder that is there but cannot be listed whole would leave files
  // out; one that is not there has nothing to copy.
  if (copied && listing != kOk && listing != kErrPathNotFound) {
    TakeCopyFailurePath(engine, source, destination);
    return false;
  }
  return copied;
}

bool CopyTreeToDestination(Engine& engine, WindowRef owner,
                          const char* sourceRoot, const char* relative) {
  const char* destinationRoot = VarGet(engine.vars, "DSTDIR");
  if (!sourceRoot || !destinationRoot || !relative) return true;
  char source[kPathMax], destination[kPathMax];
  if (JoinText(source, {sourceRoot, "/", relative}) &&
      JoinText(destination, {destinationRoot, "/", relative}) &&
      IsInsideTree(*engine.effects, destination, source)) {
    TakeCopyFailurePath(engine, source, destination);  // it would never end
    return false;
  }
  bool copied = CopyTree(engine, owner, sourceRoot, destinationRoot, relative);
  // The last name is on screen before whatever comes next.
  if (owner && !engine.modes.silent) engine.host->RepaintNow(owner);
  return copied;
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
  bool wholeTree;  // Deltree; DeleteAllFiles deletes the files alone
  int left;
};

// Counts a failed delete of `path`, unless it waits for the starter's end.
static void LeaveBehind(DeleteRun& run, Status status, const char* path) {
  if (status != kOk && !DeferIfHeld(run.engine, path)) ++run.left;
}

// Deletes what `directory` holds: its files, and for a whole tree its
// folders and links (a link itself, never what it points to), then the
// directory itself.
static void DeleteEntries(DeleteRun& run, const char* directory) {
  Effects& effects = *run.engine.effects;
  Status listing = ForEachEntry(
      effects, directory, "\\",
      [&](const FindData& entry, const char* path) {
        if (!(entry.attributes & kAttrDirectory)) {
          LeaveBehind(run, effects.DeleteFile(path), path);
        } else if (!run.wholeTree) {
          // a folder stays
        } else if (IsRealDirectory(entry)) {
          DeleteEntries(run, path);
        } else {
          LeaveBehind(run, effects.RemoveDirectory(path), path);  // the link itself
        }
        return true;
      },
      [&](const FindData& entry) {
        Journal(run.engine, "failure",
                {run.command, " ", directory, "\\", entry.name,
                 ": left behind, its path is longer than 259 characters"});
        ++run.left;
      });
  // A folder that went after its parent listed it (under Wine, removing a
  // link removes the empty folder it leads to; another program may take
  // one too) has nothing left to remove: trying would only report a
  // failure that did not happen.
  if (listing == kErrPathNotFound && PresenceOf(effects, directory) == kAbsent) {
    return;
  }
  if (run.wholeTree) LeaveBehind(run, effects.RemoveDirectory(directory), directory);
}

// The guard, then the delete of `directory` (a link is removed as one), then
// the count: a delete that left something behind is an error of the run.
static void DeleteGuarded(DeleteRun& run, std::initializer_list<const char*> names,
                          const char* directory, bool built) {
  if (!built) {
    RefuseDelete(run.engine, run.command, *names.begin(),
                 "the path is longer than 259 characters");
    return;
  }
  if (!MayDelete(run.engine, run.command, names, directory)) return;
  Presence presence = PresenceOf(*run.engine.effects, directory);
  if (presence == kAbsent) return;
  if (presence == kDirectoryLink && !run.wholeTree) {
    RefuseDelete(run.engine, run.command, directory, "a link to another folder");
    return;
  }
  if (presence == kDirectoryLink) {
    LeaveBehind(run, run.engine.effects->RemoveDirectory(directory), directory);
  } else {
    DeleteEntries(run, directory);  // a file: the listing fails, and says so
  }
  if (run.left == 0) return;
  char count[12];
  FormatDecimal(count, run.left);
  Journal(run.engine, "failure",
          {run.command, " ", directory, ": ", count, " entries left behind"});
  SetFailure(run.engine);
}

// `base`, or `base`\`sub` when `sub` has a value and is not empty.
static bool BuildTarget(char (&path)[kPathMax], const char* base, const char* sub) {
  if (sub && sub[0]) return JoinPath(path, base, sub);
  return FitsIn(base, kPathMax) && CopyText(path, base) > 0;
}

void DeleteTree(Engine& engine, const char* command, const char* base,
                const char* sub) {
  char directory[kPathMax];
  bool built = BuildTarget(directory, base, sub);
  DeleteRun run = {engine, command, true, 0};
  DeleteGuarded(run, {base, sub}, directory, built);
}

void DeleteFilesIn(Engine& engine, const char* directory) {
  DeleteRun run = {engine, "DeleteAllFiles", false, 0};
  DeleteGuarded(run, {directory}, directory, FitsIn(directory, kPathMax));
}

// A needed slot: true when it holds a non-empty value. A bare word that
// names no variable, or an empty text, is refused.
static bool HasText(const char* value) { return value && value[0]; }
// An optional slot: absent, or a value. A bare word naming no variable is
// neither: it is refused, lest the target widen to its parent.
static bool OptionalIsUsable(const Statement& st) {
  return st.value2 || st.quoted2 || !st.text2[0];
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
// is no error; one that stays is, unless it waits for the starter's end.
static void CmdDelete(Engine& engine, const Statement& st) {
  if (!ArgumentsAreUsable(engine, "Delete", st)) return;
  char path[kPathMax];
  bool built = st.value2 && st.value2[0] ? JoinPath(path, st.value2, st.value1)
                                         : BuildTarget(path, st.value1, nullptr);
  if (!built) {
    RefuseDelete(engine, "Delete", st.value1, "the path is longer than 259 characters");
    return;
  }
  if (!MayDelete(engine, "Delete", {st.value1, st.value2}, path)) return;
  Effects& effects = *engine.effects;
  if (PresenceOf(effects, path) == kAbsent) return;
  if (effects.DeleteFile(path) != kOk && !DeferIfHeld(engine, path)) SetFailure(engine);
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

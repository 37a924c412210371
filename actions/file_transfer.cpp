// CopyOneFile, MoveOneFile and the commands built on them: the copy and
// move family, MkDir, and KeepUninstaller (in a file of its own). A file
// that is replaced is replaced in one step, by a complete new file written
// beside it: a copy or move that fails at any point leaves the installed
// file as it was.
#include "actions/file_transfer.h"

#include <cstring>

#include "actions/action_groups.h"
#include "actions/kept_uninstaller.h"
#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/errors.h"
#include "script/messages.h"

static const unsigned long kClearedAttributes =
    kAttrReadOnly | kAttrHidden | kAttrSystem;

// The question after a failed transfer, then the end of every run.
static void AskAfterFailedTransfer(Engine& engine, const char* captionKey,
                                   const char* textKey, const char* source,
                                   const char* destination) {
  int answer = ShowMsgBox(engine, kBoxYesNo, Message(engine, captionKey),
                          Message(engine, textKey),
                          {source ? source : "", destination ? destination : ""});
  if (answer == kIdYes) engine.flags.reboot = 1;
  TakeSeverity(engine, kSeverityAbort, nullptr);
}

void TakeCopyFailurePath(Engine& engine, const char* source,
                         const char* destination) {
  AskAfterFailedTransfer(engine, "ERROR_COPY_TTL", "ERROR_COPY_MSG", source,
                         destination);
}

struct Transfer {
  bool move;
  const char* captionKey;
  const char* textKey;
};
static const Transfer kCopy = {false, "ERROR_COPY_TTL", "ERROR_COPY_MSG"};
static const Transfer kMove = {true, "ERROR_MOVE_TTL", "ERROR_MOVE_MSG"};

static bool Exists(Effects& effects, const char* path,
                   unsigned long* attributes = nullptr) {
  unsigned long found = 0;
  bool there = effects.GetFileAttributes(path, &found) == kOk;
  if (attributes) *attributes = there ? found : 0;
  return there;
}

// The steps of a transfer that a read-only, hidden or system file in the
// way can refuse.
enum Step {
  kRenameOver,  // `from` takes the place of `to` (one volume)
  kMoveOver,    // the same, copying across volumes where it must
  kCopyOver,    // `from` is copied over `to`
  kDeleteFile   // `to` goes
};

static Status TakeStep(Effects& effects, Step step, const char* from,
                       const char* to) {
  switch (step) {
    case kRenameOver: return effects.MoveFileEx(from, to, kMoveReplaceExisting);
    case kMoveOver:
      return effects.MoveFileEx(from, to, kMoveReplaceExisting | kMoveCopyAllowed);
    case kCopyOver: return effects.CopyFile(from, to, false);
    case kDeleteFile: return effects.DeleteFile(to);
  }
  return kErrInvalidParameter;
}

// Takes the step once; when Windows refuses it because `to` is read-only,
// hidden or system, clears those and takes it once more, putting them back
// if that fails too.
static Status StepOverProtectedFile(Effects& effects, Step step,
                                    const char* from, const char* to) {
  Status status = TakeStep(effects, step, from, to);
  if (status != kErrAccessDenied) return status;
  unsigned long old = 0;
  if (!Exists(effects, to, &old) || (old & kAttrDirectory) ||
      !(old & kClearedAttributes)) {
    return status;
  }
  effects.SetFileAttributes(to, kAttrNormal);
  status = TakeStep(effects, step, from, to);
  if (status != kOk) effects.SetFileAttributes(to, old);
  return status;
}

// A new file's name beside `destination`: "<destination>.~vn", or with a
// digit, never one that is there. When none fits, the system makes an
// empty file of its own choosing in that directory; `made` tells.
static bool NameBeside(Effects& effects, const char* destination,
                       char (&name)[kPathMax], bool* made) {
  *made = false;
  static const char* const kSuffixes[] = {".~vn", ".~vn1", ".~vn2", ".~vn3",
                                          ".~vn4", ".~vn5", ".~vn6", ".~vn7"};
  for (const char* suffix : kSuffixes) {
    if (!JoinText(name, {destination, suffix})) break;
    if (!Exists(effects, name)) return true;
  }
  char directory[kPathMax];
  CopyText(directory, destination);
  char* cut = directory + strlen(directory);
  while (cut > directory && cut[-1] != '\\' && cut[-1] != '/') --cut;
  *cut = 0;
  if (effects.GetTempFileName(directory[0] ? directory : ".", "vn", name) != kOk) {
    return false;
  }
  *made = true;
  return true;
}

// Copies `source` to a new file beside `destination`, then puts it in the
// destination's place in one step. Whatever fails, the old destination
// stays as it was and the new file goes.
static Status ReplaceByCopy(Effects& effects, const char* source,
                            const char* destination) {
  char fresh[kPathMax];
  bool made = false;
  if (!NameBeside(effects, destination, fresh, &made)) return kErrFilenameTooLong;
  Status status = effects.CopyFile(source, fresh, !made);
  // A file that came to that name since it was chosen is not ours.
  if (status == kErrFileExists) return status;
  if (status == kOk) {
    status = StepOverProtectedFile(effects, kRenameOver, fresh, destination);
  }
  if (status != kOk && Exists(effects, fresh)) effects.DeleteFile(fresh);
  return status;
}

// A fresh destination is copied straight; nothing is there to lose. So is
// one whose old file the undo log keeps (`oldIsKept`): it renames the old
// file aside, and puts it back if the copy fails.
static Status CopyOver(Effects& effects, const char* source,
                       const char* destination, bool oldIsKept) {
  if (Exists(effects, destination)) {
    if (oldIsKept) return StepOverProtectedFile(effects, kCopyOver, source, destination);
    return ReplaceByCopy(effects, source, destination);
  }
  Status status = effects.CopyFile(source, destination, true);
  if (status != kOk && status != kErrFileExists && Exists(effects, destination)) {
    effects.DeleteFile(destination);  // a part of the new file: ours
  }
  return status;
}

// True when both paths lie on one drive letter, where a move is a rename.
static bool OnOneDrive(Effects& effects, const char* a, const char* b) {
  char fullA[kPathMax], fullB[kPathMax];
  if (effects.GetFullPathName(a, fullA) != kOk ||
      effects.GetFullPathName(b, fullB) != kOk) {
    return false;
  }
  return fullA[1] == ':' && fullB[1] == ':' &&
         FoldAscii(fullA[0]) == FoldAscii(fullB[0]);
}

// On one drive a move is one rename over the destination. Across drives
// the file is copied first, the destination replaced in one step, and the
// source deleted only once the destination is complete.
static Status MoveOver(Effects& effects, const char* source,
                       const char* destination, bool oldIsKept) {
  if (OnOneDrive(effects, source, destination)) {
    return StepOverProtectedFile(effects, kMoveOver, source, destination);
  }
  Status status = CopyOver(effects, source, destination, oldIsKept);
  if (status != kOk) return status;
  return StepOverProtectedFile(effects, kDeleteFile, nullptr, source);
}

static Status TransferOver(Effects& effects, const Transfer& how,
                           const char* source, const char* destination,
                           bool oldIsKept) {
  return how.move ? MoveOver(effects, source, destination, oldIsKept)
                  : CopyOver(effects, source, destination, oldIsKept);
}

enum SamePathCheck { kCheckSamePath, kKnownDistinct };

static bool TransferOneFile(Engine& engine, const Transfer& how,
                           const char* source, const char* destination,
                           unsigned long sourceAttributes,
                           SamePathCheck check = kCheckSamePath) {
  if (!source || !destination) return false;
  Effects& effects = *engine.effects;
  if (check == kCheckSamePath && IsSamePath(effects, source, destination)) {
    return true;
  }
  if (sourceAttributes == kAttributesUnknown &&
      effects.GetFileAttributes(source, &sourceAttributes) != kOk) {
    sourceAttributes = 0;
  }
  // The family moves files: a whole folder (a user's Desktop, say) would
  // leave its place with everything in it.
  bool folder = how.move && (sourceAttributes & kAttrDirectory);
  if (folder ||
      TransferOver(effects, how, source, destination, engine.undo.recording()) != kOk) {
    AskAfterFailedTransfer(engine, how.captionKey, how.textKey, source,
                           destination);
    return false;
  }
  if (sourceAttributes & kClearedAttributes) {
    effects.SetFileAttributes(destination, kAttrNormal);
  }
  return true;
}

bool CopyOneFile(Engine& engine, const char* source, const char* destination,
                unsigned long sourceAttributes) {
  return TransferOneFile(engine, kCopy, source, destination, sourceAttributes);
}

bool CopyListedFile(Engine& engine, const char* source, const char* destination,
                   unsigned long sourceAttributes) {
  return TransferOneFile(engine, kCopy, source, destination, sourceAttributes,
                         kKnownDistinct);
}

bool MoveOneFile(Engine& engine, const char* source, const char* destination) {
  return TransferOneFile(engine, kMove, source, destination,
                         kAttributesUnknown);
}

// ---- The copy and move family ----

// Where a path of the family comes from.
enum PathRule {
  kValue1,             // v1
  kValue2,             // v2
  kSourceDirValue1,    // SRCDIR\v1
  kDestDirValue2Or1,   // DSTDIR\v2, or DSTDIR\v1 when v2 has no value
  kValue2Value1,       // v2\v1
  kDestDirValue2,      // DSTDIR\v2
};

struct FamilyRow {
  CommandId id;
  PathRule source;
  PathRule destination;
  bool move;
  bool showsSource;  // the status line shows S (MoveA) rather than D
};

static const FamilyRow kFamily[] = {
    {kCmdCopyA, kValue1, kValue2, false, false},
    {kCmdCopy, kSourceDirValue1, kDestDirValue2Or1, false, false},
    {kCmdCopyS, kSourceDirValue1, kValue2Value1, false, false},
    {kCmdCopyD, kValue1, kDestDirValue2, false, false},
    {kCmdMoveA, kValue1, kValue2, true, true},
    {kCmdMove, kSourceDirValue1, kDestDirValue2Or1, true, false},
    {kCmdMoveS, kSourceDirValue1, kValue2Value1, true, false},
    {kCmdMoveD, kValue1, kDestDirValue2, true, false},
};

enum PathResult { kPathBuilt, kPathMissing, kPathTooLong, kNoDirectory };

static PathResult Joined(const char* directory, const char* name,
                         char (&path)[kPathMax]) {
  if (!directory || !name) return kPathMissing;
  return JoinPath(path, directory, name) ? kPathBuilt : kPathTooLong;
}

// DIRECTORY\NAME where DIRECTORY is SRCDIR or DSTDIR: an argument with no
// value does nothing, as ever; an install directory with none is an error.
static PathResult JoinedToInstallDirectory(Engine& engine, const char* variable,
                                           const Statement& st, const char* name,
                                           char (&path)[kPathMax]) {
  if (!name) return kPathMissing;
  const char* directory =
      InstallDirectory(engine, variable, CommandKeyword(st.id));
  return directory ? Joined(directory, name, path) : kNoDirectory;
}

static PathResult BuildPath(Engine& engine, PathRule rule, const Statement& st,
                            char (&path)[kPathMax]) {
  const char* taken = nullptr;
  switch (rule) {
    case kValue1: taken = st.value1; break;
    case kValue2: taken = st.value2; break;
    case kSourceDirValue1:
      return JoinedToInstallDirectory(engine, "SRCDIR", st, st.value1, path);
    case kDestDirValue2Or1:
      return JoinedToInstallDirectory(engine, "DSTDIR", st,
                                      st.value2 ? st.value2 : st.value1, path);
    case kValue2Value1: return Joined(st.value2, st.value1, path);
    case kDestDirValue2:
      return JoinedToInstallDirectory(engine, "DSTDIR", st, st.value2, path);
  }
  if (!taken) return kPathMissing;
  if (!FitsIn(taken, kPathMax)) return kPathTooLong;
  CopyText(path, taken);
  return kPathBuilt;
}

static const FamilyRow* FamilyRowOf(CommandId id) {
  for (const FamilyRow& row : kFamily) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// One handler for the whole family: paths by the row, the status line,
// then the helper. A path with no value does nothing (as the helpers do);
// one too long to build takes the failure path, never a cut path.
static void CmdCopyOrMove(Engine& engine, const Statement& st) {
  const FamilyRow& row = *FamilyRowOf(st.id);
  char source[kPathMax], destination[kPathMax];
  PathResult s = BuildPath(engine, row.source, st, source);
  PathResult d = BuildPath(engine, row.destination, st, destination);
  const char* sourceShown = s == kPathBuilt ? source : st.value1;
  const char* destinationShown = d == kPathBuilt ? destination : st.value2;
  SetItemTextFmt(engine, st.owner, kStatusLineId,
                 Message(engine, row.move ? "MOVE_MSG" : "COPY_MSG"),
                 {row.showsSource ? (sourceShown ? sourceShown : "")
                                  : (destinationShown ? destinationShown : "")});
  if (s == kPathMissing || d == kPathMissing || s == kNoDirectory ||
      d == kNoDirectory) {
    return;
  }
  if (s == kPathTooLong || d == kPathTooLong) {
    const Transfer& how = row.move ? kMove : kCopy;
    AskAfterFailedTransfer(engine, how.captionKey, how.textKey, sourceShown,
                           destinationShown);
    return;
  }
  if (row.move) {
    MoveOneFile(engine, source, destination);
  } else {
    CopyOneFile(engine, source, destination);
  }
}

// ---- MkDir ----

static void TakeDirectoryFailurePath(Engine& engine, const char* path) {
  ShowMsgBox(engine, kBoxOk, Message(engine, "ERROR_COPY_TTL"),
             Message(engine, "ERROR_CRDIR_MSG"), {path});
  TakeSeverity(engine, kSeverityAbort, nullptr);
}

static bool IsDirectory(Effects& effects, const char* path) {
  unsigned long attributes = 0;
  return effects.GetFileAttributes(path, &attributes) == kOk &&
         (attributes & kAttrDirectory);
}

// The parent directories one MkDir made: the full path cut at each of its
// separators from `first` to `last` (first 0: none). Each lies inside the
// one before, so each holds only the next.
struct MadeParents {
  size_t first = 0;
  size_t last = 0;
};

// A separator of a full path that ends a directory: not one that follows
// another.
static bool EndsParent(const char* full, size_t at) {
  return full[at] == '\\' && full[at - 1] != '\\';
}

// Makes each directory above the full path `full` that is missing, from the
// one below its root (a drive's or a share's: never made) down. One that is
// there, or cannot be looked at, is passed by; false when one is missing
// and cannot be made. One that another program made in the meantime is not
// ours, and the ones above it hold it now: only those below it count.
static bool MakeParents(Effects& effects, char* full, MadeParents& made) {
  size_t root = RootLengthOf(full);
  if (root == 0) return true;  // a device form: its parents are not made
  for (size_t end = root; full[end]; ++end) {
    if (!EndsParent(full, end)) continue;
    full[end] = 0;
    unsigned long attributes = 0;
    Status look = effects.GetFileAttributes(full, &attributes);
    Status status = look == kErrFileNotFound || look == kErrPathNotFound
                        ? effects.CreateDirectory(full)
                        : kErrAlreadyExists;
    full[end] = '\\';
    if (status == kErrAlreadyExists) {
      made = MadeParents();
    } else if (status != kOk) {
      return false;
    } else {
      made.first = made.first ? made.first : end;
      made.last = end;
    }
  }
  return true;
}

// Takes away the parents MakeParents made, innermost first. Each is empty
// unless another program put something in it meanwhile: such a one stays,
// and so do those above it.
static void RemoveMadeParents(Effects& effects, char* full,
                              const MadeParents& made) {
  if (made.first == 0) return;
  for (size_t end = made.last + 1; end-- > made.first;) {
    if (!EndsParent(full, end)) continue;
    full[end] = 0;
    Status status = effects.RemoveDirectory(full);
    full[end] = '\\';
    if (status != kOk) return;
  }
}

// Makes the directory `path` (there already: nothing to do) and, with
// `withParents`, first each missing one above it. When it cannot be made,
// the parents made for it go again (they are empty), so that the disk is
// left as it was found, and the directory failure path is taken.
static bool MakeDirectory(Engine& engine, const char* path, bool withParents) {
  Effects& effects = *engine.effects;
  if (IsDirectory(effects, path)) return true;
  char full[kPathMax] = "";
  MadeParents made;
  bool parentsThere = !withParents || !FullPathOf(effects, path, full) ||
                      MakeParents(effects, full, made);
  Status status = parentsThere ? effects.CreateDirectory(path) : kErrPathNotFound;
  if (status == kOk || status == kErrAlreadyExists) return true;
  RemoveMadeParents(effects, full, made);
  TakeDirectoryFailurePath(engine, path);
  return false;
}

bool MakeDirectoryAndParents(Engine& engine, const char* path) {
  return MakeDirectory(engine, path, true);
}

// MkDir DIRECTORY [SUBDIRECTORY]: creates the directory
// "DIRECTORY\SUBDIRECTORY" (or "DIRECTORY\"), and first each missing one
// above it, below the drive's or the share's root. Without a DIRECTORY
// (an empty value) the path starts at the root of the current drive, a
// place the script did not name: there only the directory itself is made.
static void CmdMkDir(Engine& engine, const Statement& st) {
  if (!st.value1 && !st.quoted1 && st.text1[0]) {  // an undefined variable
    SetFailure(engine);
    return;
  }
  char path[kPathMax];
  if (!JoinText(path, {st.value1 ? st.value1 : "", "\\",
                       st.value2 ? st.value2 : ""})) {
    SetFailure(engine);
    return;
  }
  SetItemTextFmt(engine, st.owner, kStatusLineId,
                 Message(engine, "CREATING_DIR_MSG"), {path});
  MakeDirectory(engine, path, st.value1 && st.value1[0]);
}

void BindFileTransferCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdMkDir, CmdMkDir},
      {kCmdCopyA, CmdCopyOrMove}, {kCmdCopy, CmdCopyOrMove},
      {kCmdCopyS, CmdCopyOrMove}, {kCmdCopyD, CmdCopyOrMove},
      {kCmdMoveA, CmdCopyOrMove}, {kCmdMove, CmdCopyOrMove},
      {kCmdMoveS, CmdCopyOrMove}, {kCmdMoveD, CmdCopyOrMove},
      {kCmdKeepUninstaller, CmdKeepUninstaller},
  };
  BindCommands(engine, kBindings);
}

// The moved uninstall's platform-free part: the rule that moves a run out
// of the product folder, its temporary copy, and the deletes that wait for
// the starter's end, all through the effects.
#include "actions/moved_uninstall.h"

#include <cstring>

#include "actions/paths.h"
#include "script/byte_buffer.h"
#include "script/command_line.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/journal.h"

static const char kCopyFolderPrefix[] = "VornUninstall.";
static const unsigned long kCopyFolderTries = 100;

bool MustMoveOutOfProduct(Effects& effects, const RunModes& modes) {
  return modes.uninstall && modes.directorySwitch && !modes.originDir[0] &&
         modes.programPath[0] && IsInsideTree(effects, modes.programPath, modes.commandLineDir);
}

bool MakeUninstallCopy(Engine& engine, unsigned long seed, char (&copy)[kPathMax]) {
  Effects& effects = *engine.effects;
  const char* program = engine.modes.programPath;
  char temp[kPathMax], folder[kPathMax];
  copy[0] = 0;
  if (!program[0] || effects.GetTempPath(temp) != kOk) {
    Journal(engine, "failure", {"no temporary folder for the uninstall's copy"});
    return false;
  }
  Status made = kErrAlreadyExists;
  for (unsigned long n = 0; n < kCopyFolderTries && made == kErrAlreadyExists; ++n) {
    char number[12];
    FormatDecimal(number, static_cast<long>((seed + n) & 0x7FFFFFFFUL));
    if (!JoinText(folder, {temp, kCopyFolderPrefix, number})) break;
    made = effects.CreateDirectory(folder);
  }
  if (made != kOk) {
    Journal(engine, "failure", {"no folder for the uninstall's copy in ", temp});
    return false;
  }
  if (!JoinPath(copy, folder, FileNameOf(program)) ||
      effects.CopyFile(program, copy, true) != kOk) {
    Journal(engine, "failure", {"the program cannot be copied to ", folder});
    if (copy[0]) effects.DeleteFile(copy);
    effects.RemoveDirectory(folder);
    copy[0] = 0;
    return false;
  }
  return true;
}

void RemoveUninstallCopy(Engine& engine, const char* copy) {
  char folder[kPathMax];
  engine.effects->DeleteFile(copy);
  if (ProgramDirectoryOf(copy, folder, sizeof folder)) engine.effects->RemoveDirectory(folder);
}

void HoldStarterFile(Engine& engine) {
  const RunModes& modes = engine.modes;
  char held[kPathMax];
  engine.deferred.heldFile[0] = 0;
  if (!modes.originDir[0] || !modes.programPath[0] ||
      !JoinPath(held, modes.originDir, FileNameOf(modes.programPath)) ||
      !FullPathOf(*engine.effects, held, engine.deferred.heldFile)) {
    engine.deferred.heldFile[0] = 0;
  }
}

bool DeferIfHeld(Engine& engine, const char* path) {
  DeferredDeletes& deferred = engine.deferred;
  char full[kPathMax];
  if (!deferred.heldFile[0] || !FullPathOf(*engine.effects, path, full) ||
      !IsInsideFullTree(deferred.heldFile, full)) {
    return false;
  }
  for (int i = 0; i < deferred.count; ++i) {
    if (EqualsNoCase(deferred.paths[i], full)) return true;
  }
  if (deferred.count == DeferredDeletes::kMax) {
    Journal(engine, "failure", {full, ": cannot wait for the end of the program that "
                                      "started the uninstall: too many deletes wait already"});
    return false;
  }
  CopyText(deferred.paths[deferred.count++], full);
  Journal(engine, "deferred", {full, ": in use while the program that started the "
                                     "uninstall runs; deleted once it has ended"});
  return true;
}

// Adds "<path> <way>" to the list of ways, "; " between two.
static void AddWay(ByteBuffer& ways, const char* path, const char* way) {
  if (ways.size()) ways.AppendText("; ");
  ways.AppendText(path);
  ways.AppendText(" ");
  ways.AppendText(way);
}

// Deletes `path` (a folder or a file) now, or else at the next start of
// Windows; adds the way it went to `ways`.
static void DeleteNowOrAtRestart(Engine& engine, const char* path, ByteBuffer& ways) {
  Effects& effects = *engine.effects;
  unsigned long attributes = 0;
  Status present = effects.GetFileAttributes(path, &attributes);
  const char* way = "gone already";
  if (present == kOk) {
    bool folder = (attributes & kAttrDirectory) != 0;
    if ((folder ? effects.RemoveDirectory(path) : effects.DeleteFile(path)) == kOk) {
      way = "deleted";
      Journal(engine, "deleted after the program that started the uninstall ended", {path});
    } else if (effects.MoveFileEx(path, nullptr, kMoveDelayUntilReboot) == kOk) {
      way = "at the next start of Windows";
    } else {
      way = "left behind";
      Journal(engine, "failure", {path, ": left behind, and it cannot be left for the next "
                                        "start of Windows either"});
    }
  }
  AddWay(ways, path, way);
}

// The index of the longest path not yet taken: a file before the folders
// that hold it, a folder before its parents.
static int LongestLeft(const DeferredDeletes& deferred, const bool* taken) {
  int longest = -1;
  for (int i = 0; i < deferred.count; ++i) {
    if (!taken[i] && (longest < 0 || strlen(deferred.paths[i]) > strlen(deferred.paths[longest]))) {
      longest = i;
    }
  }
  return longest;
}

// True when `folder` is a folder MakeUninstallCopy made: right in the
// temporary directory, named "VornUninstall.<digits>". Nothing else is ever
// left for the next start as this program's own copy.
static bool IsUninstallCopyFolder(Effects& effects, const char* folder) {
  char temp[kPathMax], fullTemp[kPathMax], fullFolder[kPathMax], parent[kPathMax];
  if (effects.GetTempPath(temp) != kOk || !FullPathOf(effects, temp, fullTemp) ||
      !FullPathOf(effects, folder, fullFolder) ||
      !ProgramDirectoryOf(fullFolder, parent, sizeof parent) || !EqualsNoCase(parent, fullTemp)) {
    return false;
  }
  const char* name = FileNameOf(fullFolder);
  if (!StartsWithNoCase(name, kCopyFolderPrefix)) return false;
  const char* digits = name + sizeof kCopyFolderPrefix - 1;
  if (!*digits) return false;
  for (const char* p = digits; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
  }
  return true;
}

// A running program cannot delete itself: its copy and folder go at the
// next start of Windows.
static void LeaveOwnCopyForRestart(Engine& engine, ByteBuffer& ways) {
  const char* program = engine.modes.programPath;
  char folder[kPathMax];
  if (!ProgramDirectoryOf(program, folder, sizeof folder) ||
      !IsUninstallCopyFolder(*engine.effects, folder)) {
    Journal(engine, "deferred deletes", {program, " is no temporary copy of the uninstall; "
                                                  "it stays"});
    return;
  }
  for (const char* path : {program, static_cast<const char*>(folder)}) {
    bool left = engine.effects->MoveFileEx(path, nullptr, kMoveDelayUntilReboot) == kOk;
    AddWay(ways, path, left ? "at the next start of Windows" : "left behind");
  }
}

void FinishDeferredDeletes(Engine& engine) {
  DeferredDeletes& deferred = engine.deferred;
  bool taken[DeferredDeletes::kMax] = {};
  ByteBuffer ways;
  for (int i = LongestLeft(deferred, taken); i >= 0; i = LongestLeft(deferred, taken)) {
    taken[i] = true;
    DeleteNowOrAtRestart(engine, deferred.paths[i], ways);
  }
  LeaveOwnCopyForRestart(engine, ways);
  ways.Append("", 1);
  Journal(engine, "deferred deletes", {ways.failed() ? "(no memory for the list)" : ways.data()});
}

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

// Deletes the copy `copy` and its folder `folder`.
static void RemoveCopyAndFolder(Effects& effects, const char* copy, const char* folder) {
  if (copy[0]) effects.DeleteFile(copy);
  effects.RemoveDirectory(folder);
}

bool MakeUninstallCopy(Engine& engine, unsigned long seed, char (&copy)[kPathMax]) {
  Effects& effects = *engine.effects;
  const char* program = engine.modes.programPath;
  char temp[kPathMax] = "", folder[kPathMax];
  bool made = false;
  if (program[0] && effects.GetTempPath(temp) == kOk) {
    for (unsigned long n = 0; n < kCopyFolderTries; ++n) {
      char number[12];
      FormatDecimal(number, static_cast<long>((seed + n) & 0x7FFFFFFFUL));
      if (!JoinText(folder, {temp, kCopyFolderPrefix, number})) break;
      Status status = effects.CreateDirectory(folder);
      made = status == kOk;
      if (status != kErrAlreadyExists) break;
    }
  }
  bool copied = made && JoinPath(copy, folder, FileNameOf(program)) &&
                effects.CopyFile(program, copy, true) == kOk;
  if (!copied) {
    Journal(engine, "failure", {"no copy of the program in ", temp});
    if (made) RemoveCopyAndFolder(effects, copy, folder);
    copy[0] = 0;
  }
  return copied;
}

void RemoveUninstallCopy(Engine& engine, const char* copy) {
  char folder[kPathMax];
  if (ProgramDirectoryOf(copy, folder, sizeof folder)) {
    RemoveCopyAndFolder(*engine.effects, copy, folder);
  }
}

// The origin is the starter's program directory as the system named it: a
// full path, as the paths it is compared with are made.
void HoldStarterFile(Engine& engine) {
  const RunModes& modes = engine.modes;
  char (&held)[kPathMax] = engine.deferred.heldFile;
  if (!modes.originDir[0] || !modes.programPath[0] ||
      !JoinPath(held, modes.originDir, FileNameOf(modes.programPath))) {
    held[0] = 0;
  }
}

bool DeferIfHeld(Engine& engine, const char* path) {
  DeferredDeletes& deferred = engine.deferred;
  char full[kPathMax];
  if (!deferred.heldFile[0] || !FullPathOf(*engine.effects, path, full) ||
      !IsInsideFullTree(deferred.heldFile, full)) {
    return false;
  }
  if (deferred.count == DeferredDeletes::kMax) {
    Journal(engine, "failure", {full, ": the deferred list is full"});
    return false;
  }
  CopyText(deferred.paths[deferred.count++], full);
  Journal(engine, "deferred", {full, ": in use by the starter"});
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
// Windows (the effects journal either); adds the way it went to `ways`.
static void DeleteNowOrAtRestart(Engine& engine, const char* path, ByteBuffer& ways) {
  Effects& effects = *engine.effects;
  unsigned long attributes = 0;
  Status present = effects.GetFileAttributes(path, &attributes);
  const char* way = "gone already";
  if (present == kOk) {
    bool folder = (attributes & kAttrDirectory) != 0;
    if ((folder ? effects.RemoveDirectory(path) : effects.DeleteFile(path)) == kOk) {
      way = "deleted";
    } else if (effects.MoveFileEx(path, nullptr, kMoveDelayUntilReboot) == kOk) {
      way = "at the next start of Windows";
    } else {
      way = "left behind";
    }
  }
  AddWay(ways, path, way);
}

// True when `folder` is one MakeUninstallCopy makes: the temporary
// directory as the system gives it (which is how the copy was started),
// then "VornUninstall." and no further folder. Nothing else is ever left
// for the next start as this program's own copy.
static bool IsUninstallCopyFolder(Effects& effects, const char* folder) {
  char temp[kPathMax];
  if (effects.GetTempPath(temp) != kOk || !StartsWithNoCase(folder, temp)) return false;
  const char* name = folder + strlen(temp);
  return StartsWithNoCase(name, kCopyFolderPrefix) && FileNameOf(name) == name;
}

// A running program cannot delete itself: its copy and folder go at the
// next start of Windows.
static void LeaveOwnCopyForRestart(Engine& engine, ByteBuffer& ways) {
  const char* program = engine.modes.programPath;
  char folder[kPathMax];
  if (!ProgramDirectoryOf(program, folder, sizeof folder) ||
      !IsUninstallCopyFolder(*engine.effects, folder)) {
    Journal(engine, "deferred", {program, " stays: no temporary copy"});
    return;
  }
  for (const char* path : {program, static_cast<const char*>(folder)}) {
    bool left = engine.effects->MoveFileEx(path, nullptr, kMoveDelayUntilReboot) == kOk;
    AddWay(ways, path, left ? "at the next start of Windows" : "left behind");
  }
}

// The list is in the order the deletes failed, which is the order they
// must be done in: a walk deletes what a folder holds before the folder.
void FinishDeferredDeletes(Engine& engine) {
  const DeferredDeletes& deferred = engine.deferred;
  ByteBuffer ways;
  for (int i = 0; i < deferred.count; ++i) DeleteNowOrAtRestart(engine, deferred.paths[i], ways);
  LeaveOwnCopyForRestart(engine, ways);
  ways.Append("", 1);
  Journal(engine, "deferred", {ways.data()});
}

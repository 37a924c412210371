// KeepUninstaller: the running program, its script and its language files
// copied into a folder of the product, and the command lines that start
// them there. Every copy and folder goes through the effects, so the
// journal records each one.
#include "actions/kept_uninstaller.h"

#include <cstring>

#include "actions/directory_walk.h"
#include "actions/file_transfer.h"
#include "actions/paths.h"
#include "script/command_line.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/errors.h"
#include "script/journal.h"
#include "script/var_store.h"

static const char* const kUninstallVariables[] = {"UNINSTALL_CMD", "UNINSTALL_QUIET",
                                                  "UNINSTALL_ICON"};

// "setup.<Language>.txt", any case: a language file of the program.
static bool IsLanguageFileName(const char* name) {
  size_t length = strlen(name);
  return length > 10 && StartsWithNoCase(name, "setup.") &&
         EqualsNoCase(name + length - 4, ".txt");
}

static bool IsFolder(Effects& effects, const char* path) {
  unsigned long attributes = 0;
  return effects.GetFileAttributes(path, &attributes) == kOk &&
         (attributes & kAttrDirectory);
}

// Where the folders of a full path start: after "C:\" or "\\server\share\".
static size_t RootLength(const char* full) {
  if (full[0] != '\\' || full[1] != '\\') return full[1] == ':' ? 3 : 0;
  int separators = 0;
  size_t i = 2;
  for (; full[i]; ++i) {
    if (full[i] == '\\' && ++separators == 2) return i + 1;
  }
  return i;
}

// Makes the full path `folder` and every missing folder above it, from the
// top down; false, on the directory failure path, when one cannot be made.
static bool MakeFolders(Engine& engine, char (&folder)[kPathMax]) {
  Effects& effects = *engine.effects;
  size_t length = strlen(folder);
  for (size_t i = RootLength(folder); i <= length; ++i) {
    if (folder[i] != '\\' && folder[i] != 0) continue;
    char kept = folder[i];
    folder[i] = 0;
    bool there = IsFolder(effects, folder) || effects.CreateDirectory(folder) == kOk;
    if (!there) TakeDirectoryFailurePath(engine, folder);
    folder[i] = kept;
    if (!there) return false;
  }
  return true;
}

// Copies `name` of `directory` into `folder`, as the copy family does.
static bool CopyInto(Engine& engine, const char* directory, const char* name,
                     const char* folder) {
  char source[kPathMax], destination[kPathMax];
  if (!JoinPath(source, directory, name) || !JoinPath(destination, folder, name)) {
    TakeCopyFailurePath(engine, name, folder);
    return false;
  }
  return CopyOneFile(engine, source, destination);
}

// The program's file, setup.ini and the language files, into `folder`.
static bool CopyUninstaller(Engine& engine, const char* folder) {
  const RunModes& modes = engine.modes;
  char programDir[kPathMax];
  if (!ProgramDirectoryOf(modes.programPath, programDir, sizeof programDir)) {
    TakeCopyFailurePath(engine, modes.programPath, folder);
    return false;
  }
  const char* scriptDir = modes.originDir[0] ? modes.originDir : programDir;
  if (!CopyInto(engine, programDir, FileNameOf(modes.programPath), folder) ||
      !CopyInto(engine, scriptDir, "setup.ini", folder)) {
    return false;
  }
  bool copied = true;
  Status listing = ForEachEntry(*engine.effects, scriptDir, "\\",
                                [&](const FindData& entry, const char*) {
    if ((entry.attributes & kAttrDirectory) || !IsLanguageFileName(entry.name)) return true;
    copied = CopyInto(engine, scriptDir, entry.name, folder);
    return copied;
  }, [&](const FindData& entry) {
    if (copied && IsLanguageFileName(entry.name)) {
      TakeCopyFailurePath(engine, entry.name, folder);
      copied = false;
    }
  });
  if (copied && listing != kOk) {
    TakeCopyFailurePath(engine, scriptDir, folder);
    return false;
  }
  return copied;
}

// The three command texts; false when one does not fit.
static bool SetUninstallCommands(Engine& engine, const char* folder,
                                 const char* destination) {
  const char* name = FileNameOf(engine.modes.programPath);
  char command[kLineMax], quiet[kLineMax], icon[kLineMax];
  if (!JoinText(command, {"\"", folder, "\\", name, "\" /UNINSTALL /DIR=\"",
                          destination, "\""}) ||
      !JoinText(quiet, {command, " /SILENT"}) ||
      !JoinText(icon, {folder, "\\", name, ",0"})) {
    return false;
  }
  VarSet(engine.vars, "UNINSTALL_CMD", command);
  VarSet(engine.vars, "UNINSTALL_QUIET", quiet);
  VarSet(engine.vars, "UNINSTALL_ICON", icon);
  Journal(engine, "uninstaller kept", {folder, "\\", name, ", started as ", command});
  return true;
}

void CmdKeepUninstaller(Engine& engine, const Statement& st) {
  for (const char* variable : kUninstallVariables) VarRemove(engine.vars, variable);
  if (!st.value1 || !st.value1[0]) {
    ReportQuietError(engine, {"KeepUninstaller: no folder"});
    return;
  }
  if (!engine.modes.programPath[0]) {
    ReportQuietError(engine, {"KeepUninstaller: the program's own file is unknown"});
    return;
  }
  const char* destination = InstallDirectory(engine, "DSTDIR", "KeepUninstaller");
  if (!destination) return;
  Effects& effects = *engine.effects;
  char folder[kPathMax], fullDestination[kPathMax];
  if (!FullPathOf(effects, st.value1, folder) ||
      !FullPathOf(effects, destination, fullDestination)) {
    TakeCopyFailurePath(engine, engine.modes.programPath, st.value1);
    return;
  }
  if (strchr(folder, '"') || strchr(fullDestination, '"')) {
    ReportQuietError(engine, {"KeepUninstaller ", st.value1,
                              ": a path with a double quote cannot be started"});
    return;
  }
  if (!MakeFolders(engine, folder) || !CopyUninstaller(engine, folder)) return;
  if (!SetUninstallCommands(engine, folder, fullDestination)) {
    TakeCopyFailurePath(engine, engine.modes.programPath, folder);
  }
}

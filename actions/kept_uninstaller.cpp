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

// Every language file setup.<Language>.txt of `directory` into `folder`.
// The pattern takes no other name: its dot after "setup" must meet a dot
// of the name, and ".txt" the name's end, so the uninstall marker
// setup.txt never matches (nor can an 8.3 name, which has one dot). A
// listing that ends early would leave one out: it fails as a copy does.
static bool CopyLanguageFiles(Engine& engine, const char* directory, const char* folder) {
  bool copied = true;
  Status listing = ForEachMatch(
      *engine.effects, directory, "\\", "setup.*.txt",
      [&](const FindData& entry, const char*) {
        if (!copied) return false;  // a name that did not fit came first
        if (!(entry.attributes & kAttrDirectory)) {
          copied = CopyInto(engine, directory, entry.name, folder);
        }
        return copied;
      },
      [&](const FindData& entry) {
        if (copied) TakeCopyFailurePath(engine, entry.name, folder);
        copied = false;
      });
  if (copied && listing != kOk) {
    TakeCopyFailurePath(engine, directory, folder);
    return false;
  }
  return copied;
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
  return CopyLanguageFiles(engine, scriptDir, folder);
}

// The three command texts. Each fits: two paths of at most 259 characters
// and a file name, with a few words, are well inside a line.
static void SetUninstallCommands(Engine& engine, const char* folder,
                                 const char* destination) {
  const char* name = FileNameOf(engine.modes.programPath);
  char command[kLineMax], quiet[kLineMax], icon[kLineMax];
  JoinText(command, {"\"", folder, "\\", name, "\" /UNINSTALL /DIR=\"", destination, "\""});
  JoinText(quiet, {command, " /SILENT"});
  JoinText(icon, {folder, "\\", name, ",0"});
  VarSet(engine.vars, "UNINSTALL_CMD", command);
  VarSet(engine.vars, "UNINSTALL_QUIET", quiet);
  VarSet(engine.vars, "UNINSTALL_ICON", icon);
  Journal(engine, "uninstaller kept", {folder, ": ", command});
}

void CmdKeepUninstaller(Engine& engine, const Statement& st) {
  for (const char* variable : kUninstallVariables) VarRemove(engine.vars, variable);
  if (!st.value1 || !st.value1[0]) {
    ReportQuietError(engine, {"KeepUninstaller: no folder"});
    return;
  }
  if (!engine.modes.programPath[0]) {
    ReportQuietError(engine, {"KeepUninstaller: no program file"});
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
                              ": a path with a double quote"});
    return;
  }
  if (MakeDirectoryAndParents(engine, folder) && CopyUninstaller(engine, folder)) {
    SetUninstallCommands(engine, folder, fullDestination);
  }
}

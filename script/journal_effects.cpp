// Journal lines for the changes a run makes to the machine, and the seam
// of the undo log: with rollback armed, the old state is kept before each
// change and its undo recorded after it. A change whose old state cannot
// be kept is not made: it fails with the reason.
#include "script/journal_effects.h"


#include "script/engine.h"
#include "script/journal.h"

Status JournalEffects::Note(Status status, const char* kind,
                            std::initializer_list<const char*> parts) {
  if (status == kOk) Journal(engine_, kind, parts);
  return status;
}

static const char* RootName(RegRoot root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKEY_CLASSES_ROOT\\";
    case kHkeyCurrentUser: return "HKEY_CURRENT_USER\\";
    default: return "HKEY_LOCAL_MACHINE\\";
  }
}

Status JournalEffects::Keep(const char* path, FileKeepWay way, FileKeep* keep) {
  return engine_.undo.KeepFile(engine_, inner_, path, way, keep);
}

Status JournalEffects::Changed(const FileKeep& keep, Status status) {
  engine_.undo.FileChanged(inner_, keep, status);
  return status;
}

Status JournalEffects::CopyFile(const char* from, const char* to, bool failIfExists) {
  FileKeep keep;
  Status status = Keep(to, failIfExists ? kKeepNothing : kKeepByRename, &keep);
  if (status == kOk) status = Changed(keep, inner_.CopyFile(from, to, failIfExists));
  return Note(status, "file copied", {from, " -> ", to});
}

Status JournalEffects::MoveFileEx(const char* from, const char* to, unsigned flags) {
  if (!to) {
    // Only an uninstall, which never rolls back, and the undo log's own
    // end leave deletes to the next start.
    return Note(inner_.MoveFileEx(from, to, flags), "deleted at the next start of Windows",
                {from});
  }
  // The old file at `to` is put back after the move is undone: its record
  // comes first.
  FileKeep keep;
  Status status = Keep(to, flags & kMoveReplaceExisting ? kKeepByRename : kKeepNothing, &keep);
  if (status == kOk) status = inner_.MoveFileEx(from, to, flags);
  if (keep.aside[0]) Changed(keep, status);
  engine_.undo.Record(status, UndoLog::kMoveBack, to, from, flags & kMoveCopyAllowed);
  return Note(status, "file moved", {from, " -> ", to});
}

// With rollback armed a file is renamed aside rather than deleted, and put
// back if the install fails; one that cannot be kept is not deleted.
Status JournalEffects::DeleteFile(const char* path) {
  FileKeep keep;
  Status status = Keep(path, kKeepAway, &keep);
  if (keep.aside[0]) {
    Changed(keep, kOk);
  } else if (status == kOk) {
    status = inner_.DeleteFile(path);  // no rollback, or nothing to keep
  }
  return Note(status, "file deleted", {path});
}

Status JournalEffects::SetFileAttributes(const char* path, unsigned long attributes) {
  unsigned long old = 0;
  if (engine_.undo.recording()) {
    Status look = inner_.GetFileAttributes(path, &old);
    if (look != kOk) return look;
  }
  return engine_.undo.Record(inner_.SetFileAttributes(path, attributes),
                             UndoLog::kSetAttributes, path, "", old);
}

// The undo log's paths are as the calls had them, relative ones too: a
// change of the current directory is recorded, so that each step is undone
// where it was made, and a kept file goes from where it was kept.
Status JournalEffects::SetCurrentDirectory(const char* path) {
  char old[kPathMax];
  old[0] = 0;
  if (engine_.undo.recording()) inner_.GetCurrentDirectory(old);
  return engine_.undo.Record(inner_.SetCurrentDirectory(path), UndoLog::kSetCurrentDirectory,
                             old);
}

Status JournalEffects::CreateDirectory(const char* path) {
  Status status = inner_.CreateDirectory(path);
  return Note(engine_.undo.Record(status, UndoLog::kRemoveDirectory, path),
              "directory created", {path});
}

Status JournalEffects::RemoveDirectory(const char* path) {
  Status status = inner_.RemoveDirectory(path);
  return Note(engine_.undo.Record(status, UndoLog::kCreateDirectory, path),
              "directory removed", {path});
}

Status JournalEffects::WriteNewFile(const char* path, const char* data, size_t size) {
  FileKeep keep;
  Status status = Keep(path, kKeepByRename, &keep);
  if (status == kOk) status = Changed(keep, inner_.WriteNewFile(path, data, size));
  return Note(status, "file written", {path});
}

Status JournalEffects::AppendToFile(const char* path, const char* data, size_t size) {
  FileKeep keep;
  Status status = Keep(path, kKeepByCopy, &keep);
  if (status == kOk) status = Changed(keep, inner_.AppendToFile(path, data, size));
  return Note(status, "file appended to", {path});
}

Status JournalEffects::GetTempFileName(const char* directory, const char* prefix,
                                       char (&path)[kPathMax]) {
  Status status = inner_.GetTempFileName(directory, prefix, path);
  return Note(engine_.undo.Record(status, UndoLog::kDeleteFile, path), "file created", {path});
}

Status JournalEffects::RegCreateKeyEx(RegRoot root, const char* path) {
  return Note(engine_.undo.CreateKey(inner_, root, path), "registry key created or opened", {RootName(root), path});
}

Status JournalEffects::RegSetValueEx(RegRoot root, const char* path, const char* name,
                                     const char* data, size_t size) {
  char shown[kMsgMax];
  CopyText(shown, size < sizeof shown ? size + 1 : sizeof shown, data);
  Status status = engine_.undo.KeepValue(inner_, root, path, name);
  if (status == kOk) status = inner_.RegSetValueEx(root, path, name, data, size);
  if (status == kOk) engine_.undo.ValueChanged(root, path, name);
  return Note(status, "registry value written",
              {RootName(root), path, " \"", name && *name ? name : "(default)", "\" = \"",
               shown, "\""});
}

Status JournalEffects::RegDeleteValue(RegRoot root, const char* path, const char* name) {
  Status status = engine_.undo.KeepValue(inner_, root, path, name);
  if (status == kOk) status = inner_.RegDeleteValue(root, path, name);
  if (status == kOk) engine_.undo.ValueChanged(root, path, name);
  return Note(status, "registry value deleted", {RootName(root), path, " \"", name, "\""});
}

Status JournalEffects::RegDeleteKey(RegRoot root, const char* path) {
  Status status = engine_.undo.Record(inner_.RegDeleteKey(root, path), UndoLog::kNotUndone,
                                      "registry key deleted:", path);
  return Note(status, "registry key deleted", {RootName(root), path});
}

Status JournalEffects::CreateShellLink(const ShellLinkFields& link, const char* linkPath) {
  FileKeep keep;
  Status status = Keep(linkPath, kKeepByRename, &keep);
  if (status == kOk) status = Changed(keep, inner_.CreateShellLink(link, linkPath));
  return Note(status, "shortcut written",
              {linkPath, " -> ", link.target, link.arguments ? " " : "",
               link.arguments ? link.arguments : ""});
}

Status JournalEffects::ShellExecute(const char* file, const char* parameters,
                                    const char* directory) {
  Status status = engine_.undo.Record(inner_.ShellExecute(file, parameters, directory),
                                      UndoLog::kNotUndone, "opened:", file);
  return Note(status, "opened", {file, parameters ? " " : "", parameters ? parameters : ""});
}

Status JournalEffects::CreateProcess(const char* application, const char* commandLine,
                                     const char* directory, bool wait,
                                     unsigned long* exitCode) {
  Status status = inner_.CreateProcess(application, commandLine, directory, wait, exitCode);
  char code[12] = "";
  if (wait && exitCode) FormatDecimal(code, static_cast<long>(*exitCode));
  engine_.undo.Record(status, UndoLog::kNotUndone, "program run:",
                      application ? application : commandLine);
  return Note(status, "program run",
              {application ? application : commandLine, ": ", commandLine,
               wait ? ", exit code " : "", code});
}

Status JournalEffects::AddFontResource(const char* path) {
  Status status = inner_.AddFontResource(path);
  return Note(engine_.undo.Record(status, UndoLog::kRemoveFont, path), "font added", {path});
}

Status JournalEffects::RemoveFontResource(const char* path) {
  return Note(inner_.RemoveFontResource(path), "font removed", {path});
}

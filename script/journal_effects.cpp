// Journal lines for the changes a run makes to the machine.
#include "script/journal_effects.h"

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

Status JournalEffects::CopyFile(const char* from, const char* to, bool failIfExists) {
  return Note(inner_.CopyFile(from, to, failIfExists), "file copied", {from, " -> ", to});
}

Status JournalEffects::MoveFileEx(const char* from, const char* to, unsigned flags) {
  if (!to) {
    return Note(inner_.MoveFileEx(from, to, flags),
                "deleted at the next start of Windows", {from});
  }
  return Note(inner_.MoveFileEx(from, to, flags), "file moved", {from, " -> ", to});
}

Status JournalEffects::DeleteFile(const char* path) {
  return Note(inner_.DeleteFile(path), "file deleted", {path});
}

Status JournalEffects::CreateDirectory(const char* path) {
  return Note(inner_.CreateDirectory(path), "directory created", {path});
}

Status JournalEffects::RemoveDirectory(const char* path) {
  return Note(inner_.RemoveDirectory(path), "directory removed", {path});
}

Status JournalEffects::WriteNewFile(const char* path, const char* data, size_t size) {
  return Note(inner_.WriteNewFile(path, data, size), "file written", {path});
}

Status JournalEffects::AppendToFile(const char* path, const char* data, size_t size) {
  return Note(inner_.AppendToFile(path, data, size), "file appended to", {path});
}

Status JournalEffects::GetTempFileName(const char* directory, const char* prefix,
                                       char (&path)[kPathMax]) {
  return Note(inner_.GetTempFileName(directory, prefix, path), "file created", {path});
}

Status JournalEffects::RegCreateKeyEx(RegRoot root, const char* path) {
  return Note(inner_.RegCreateKeyEx(root, path), "registry key created or opened",
              {RootName(root), path});
}

Status JournalEffects::RegSetValueEx(RegRoot root, const char* path, const char* name,
                                     const char* data, size_t size) {
  char shown[kMsgMax];
  CopyText(shown, size < sizeof shown ? size + 1 : sizeof shown, data);
  return Note(inner_.RegSetValueEx(root, path, name, data, size), "registry value written",
              {RootName(root), path, " \"", name && *name ? name : "(default)", "\" = \"",
               shown, "\""});
}

Status JournalEffects::RegDeleteValue(RegRoot root, const char* path, const char* name) {
  return Note(inner_.RegDeleteValue(root, path, name), "registry value deleted",
              {RootName(root), path, " \"", name, "\""});
}

Status JournalEffects::RegDeleteKey(RegRoot root, const char* path) {
  return Note(inner_.RegDeleteKey(root, path), "registry key deleted",
              {RootName(root), path});
}

Status JournalEffects::CreateShellLink(const ShellLinkFields& link, const char* linkPath) {
  return Note(inner_.CreateShellLink(link, linkPath), "shortcut written",
              {linkPath, " -> ", link.target, link.arguments ? " " : "",
               link.arguments ? link.arguments : ""});
}

Status JournalEffects::ShellExecute(const char* file, const char* parameters,
                                    const char* directory) {
  return Note(inner_.ShellExecute(file, parameters, directory), "opened",
              {file, parameters ? " " : "", parameters ? parameters : ""});
}

Status JournalEffects::CreateProcess(const char* application, const char* commandLine,
                                     const char* directory, bool wait,
                                     unsigned long* exitCode) {
  Status status = inner_.CreateProcess(application, commandLine, directory, wait, exitCode);
  char code[12] = "";
  if (wait && exitCode) FormatDecimal(code, static_cast<long>(*exitCode));
  return Note(status, "program run",
              {application ? application : commandLine, ": ", commandLine,
               wait ? ", exit code " : "", code});
}

Status JournalEffects::AddFontResource(const char* path) {
  return Note(inner_.AddFontResource(path), "font added", {path});
}

Status JournalEffects::RemoveFontResource(const char* path) {
  return Note(inner_.RemoveFontResource(path), "font removed", {path});
}

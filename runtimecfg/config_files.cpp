// Reading, writing and replacing the runtime's configuration files.
#include "runtimecfg/config_files.h"

#include "actions/paths.h"
#include "runtimecfg/config_lines.h"
#include "script/journal.h"
#include "script/var_store.h"

void ReportConfigFailure(Engine& engine, const char* path, const char* reason) {
  Journal(engine, "failure", {path, ": ", reason});
  SetFailure(engine);
}

bool ConfigPath(Engine& engine, const char* directoryVariable,
                const char* name, char (&path)[kPathMax]) {
  char spelled[kPathMax];  // "<variable>\<name>", as the script spells it
  JoinPath(spelled, directoryVariable, name);
  const char* directory = InstallDirectory(engine, directoryVariable, spelled);
  if (!directory) return false;
  if (!JoinPath(path, directory, name)) {
    Journal(engine, "failure",
            {directory, "\\", name, ": path too long; nothing done"});
    SetFailure(engine);
    return false;
  }
  return true;
}

bool IsMissingFile(Status status) {
  return status == kErrFileNotFound || status == kErrPathNotFound;
}

ConfigRead ReadIfPresent(Engine& engine, const char* path,
                         ByteBuffer* contents) {
  unsigned long attributes = 0;
  if (IsMissingFile(engine.effects->GetFileAttributes(path, &attributes))) {
    return ConfigRead::kMissing;
  }
  Status status = engine.effects->ReadWholeFile(path, contents);
  if (status == kOk) return ConfigRead::kRead;
  return IsMissingFile(status) ? ConfigRead::kMissing : ConfigRead::kFailed;
}

bool CheckConfigText(Engine& engine, const char* path,
                     const ByteBuffer& contents) {
  if (IsConfigText(contents.data(), contents.size())) return true;
  ReportConfigFailure(engine, path, "holds NUL bytes, not text; left as it was");
  return false;
}

bool WriteTemporaryFile(Engine& engine, const char* path,
                        const ByteBuffer& text) {
  Effects& effects = *engine.effects;
  unsigned long attributes = 0;
  if (effects.GetFileAttributes(path, &attributes) == kOk &&
      (attributes & kAttrReadOnly) && !(attributes & kAttrDirectory)) {
    effects.SetFileAttributes(path, kAttrNormal);  // a stale copy
  }
  if (effects.WriteNewFile(path, text.data(), text.size()) == kOk) return true;
  RemoveTemporaryFile(engine, path);
  return false;
}

void RemoveTemporaryFile(Engine& engine, const char* path) {
  unsigned long attributes = 0;
  if (engine.effects->GetFileAttributes(path, &attributes) == kOk &&
      !(attributes & kAttrDirectory) &&
      engine.effects->DeleteFile(path) != kOk) {
    SetFailure(engine);  // left behind in the product's folder
  }
}

bool ReplaceWithTemporary(Engine& engine, const char* temporary,
                          const char* target) {
  Effects& effects = *engine.effects;
  unsigned long attributes = 0;
  bool cleared = effects.GetFileAttributes(target, &attributes) == kOk &&
                 (attributes & kAttrReadOnly) &&
                 effects.SetFileAttributes(target, kAttrNormal) == kOk;
  if (effects.MoveFileEx(temporary, target,
                         kMoveReplaceExisting | kMoveWriteThrough) == kOk) {
    return true;
  }
  if (cleared) effects.SetFileAttributes(target, attributes);
  return false;
}

// Makes the file at `path` writable when it is there and read-only.
static void ClearReadOnly(Engine& engine, const char* path) {
  unsigned long attributes = 0;
  if (engine.effects->GetFileAttributes(path, &attributes) == kOk &&
      (attributes & kAttrReadOnly) && !(attributes & kAttrDirectory)) {
    engine.effects->SetFileAttributes(path, kAttrNormal);
  }
}

bool AppendLinesToFile(Engine& engine, const char* path, const char* lines,
                       ReadOnlyFile readOnly) {
  ByteBuffer current;
  ConfigRead read = ReadIfPresent(engine, path, &current);
  if (read == ConfigRead::kFailed ||
      (read == ConfigRead::kRead && !CheckConfigText(engine, path, current))) {
    return false;
  }
  if (read == ConfigRead::kRead && readOnly == ReadOnlyFile::kIsCleared) {
    ClearReadOnly(engine, path);
  }
  ByteBuffer text;
  if (EndsOpen(current.data(), current.size()) && !text.Append("\r\n", 2)) {
    return false;
  }
  if (!PutText(text, lines)) return false;
  return engine.effects->AppendToFile(path, text.data(), text.size()) == kOk;
}

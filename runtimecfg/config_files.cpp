// Reading, writing and replacing the runtime's configuration files.
#include "runtimecfg/config_files.h"

#include "runtimecfg/config_lines.h"
#include "script/var_store.h"

bool ConfigPath(Engine& engine, const char* directoryVariable,
                const char* name, char (&path)[kPathMax]) {
  const char* directory = VarGet(engine.vars, directoryVariable);
  return directory && JoinPath(path, directory, name);
}

bool IsMissingFile(Status status) {
  return status == kErrFileNotFound || status == kErrPathNotFound;
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
      !(attributes & kAttrDirectory)) {
    engine.effects->DeleteFile(path);
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

bool AppendLinesToFile(Engine& engine, const char* path, const char* lines) {
  ByteBuffer current;
  Status status = engine.effects->ReadWholeFile(path, &current);
  if (status != kOk && !IsMissingFile(status)) return false;
  ByteBuffer text;
  if (EndsOpen(current.data(), current.size()) && !text.Append("\r\n", 2)) {
    return false;
  }
  if (!PutText(text, lines)) return false;
  return engine.effects->AppendToFile(path, text.data(), text.size()) == kOk;
}

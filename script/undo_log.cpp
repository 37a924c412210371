// The undo log: keeping the old state before each change, the records of
// how to undo the changes, and their undo or their end.
#include "script/undo_log.h"

#include <cstdint>
#include <cstring>

#include "script/engine.h"
#include "script/host.h"
#include "script/journal.h"
#include "script/messages.h"
#include "script/runner.h"

static bool IsMissing(Status status) {
  return status == kErrFileNotFound || status == kErrPathNotFound;
}

// Moves `path` to "<base>.~vu<n>", the first such name that is free (a
// few are tried); the name in `aside`.
Status UndoLog::RenameAside(Effects& inner, const char* path, const char* base,
                            char (&aside)[kPathMax]) {
  Status status = kErrAlreadyExists;
  for (int tries = 0; tries < 8 && status == kErrAlreadyExists; ++tries) {
    char number[12];
    FormatDecimal(number, static_cast<long>(++counter_));
    if (!JoinText(aside, {base, ".~vu", number})) return kErrFilenameTooLong;
    status = inner.MoveFileEx(path, aside, kMoveCopyAllowed);
  }
  return status;
}

Status UndoLog::KeepFile(Engine& engine, Effects& inner, const char* path,
                         FileKeepWay way, FileKeep* keep) {
  keep->path = nullptr;
  keep->aside[0] = 0;
  if (!recording()) return kOk;
  keep->path = path;
  if (way == kKeepNothing) return kOk;  // the change fails if a file is there
  unsigned long attributes = 0;
  Status look = inner.GetFileAttributes(path, &attributes);
  if (IsMissing(look)) return kOk;
  if (look != kOk) return look;  // whether an old file is there is unknown
  // Windows refuses to replace or delete a folder or a read-only file: so
  // does the keeping of one (a caller that means it clears the attribute
  // first).
  // The refusal is journaled as the refused call's would be.
  if (attributes & (kAttrReadOnly | kAttrDirectory)) {
    engine.host->LogFailure("keep aside", path, kErrAccessDenied);
    return kErrAccessDenied;
  }
  // The old file itself is kept, so that it comes back as it was, to its
  // times; a change in place works on a copy of it. A deleted one is kept
  // in the temporary folder (on one volume with it as a rule: a rename),
  // so that the folder that held it can go too; the journal's "kept" line
  // names it.
  char temp[kPathMax];
  if (way == kKeepAway && inner.GetTempPath(temp) != kOk) return kErrFilenameTooLong;
  Status status = RenameAside(inner, path, way == kKeepAway ? temp : path, keep->aside);
  if (status == kOk && way == kKeepByCopy) {
    status = inner.CopyFile(keep->aside, path, true);
    if (status != kOk) {
      if (status != kErrFileExists) inner.DeleteFile(path);  // a part of a copy
      inner.MoveFileEx(keep->aside, path, kMoveCopyAllowed);
    }
  }
  if (status != kOk) {
    keep->aside[0] = 0;
    return status;
  }
  Journal(engine, "kept", {path, " -> ", keep->aside});
  return kOk;
}

// A change that failed may still have left a file (a part of one): it is
// recorded as made. One that left none puts the kept file back at once.
void UndoLog::FileChanged(Effects& inner, const FileKeep& keep, Status status) {
  if (!keep.path) return;
  unsigned long attributes = 0;
  // A change that may not replace a file fails so when one is there.
  bool refused = status == kErrFileExists || status == kErrAlreadyExists;
  bool made = status == kOk ||
              (!refused && !IsMissing(inner.GetFileAttributes(keep.path, &attributes)));
  if (keep.aside[0]) {
    if (made || inner.MoveFileEx(keep.aside, keep.path, kMoveCopyAllowed) != kOk) {
      Add(kPutBack, kHkeyLocalMachine, 0, keep.path, keep.aside);
    }
  } else if (made) {
    Add(kDeleteFile, kHkeyLocalMachine, 0, keep.path);
  }
}

Status UndoLog::Record(Status status, Step step, const char* a, const char* b,
                       unsigned long number) {
  if (status == kOk && recording()) Add(step, kHkeyLocalMachine, number, a, b);
  return status;
}

Status UndoLog::KeepValue(Effects& inner, RegRoot root, const char* key, const char* name) {
  if (!recording()) return kOk;
  Status status = inner.RegQueryValueEx(root, key, name, oldValue_, sizeof oldValue_);
  oldValueThere_ = status == kOk;
  // A value longer than a line, or not a string, could not be put back.
  return status == kErrFileNotFound ? kOk : status;
}

void UndoLog::ValueChanged(RegRoot root, const char* key, const char* name) {
  if (!recording()) return;
  Add(oldValueThere_ ? kSetValue : kDeleteValue, root, 0, key, name ? name : "", oldValue_);
}

// The key, recorded for deletion when it was not there.
Status UndoLog::CreateKey(Effects& inner, RegRoot root, const char* key) {
  bool missing = recording() && IsMissing(inner.RegOpenKeyEx(root, key, false));
  Status status = inner.RegCreateKeyEx(root, key);
  if (missing && status == kOk) Add(kDeleteKey, root, 0, key);
  return status;
}

// A record: its step, root and number, its three texts, then its length,
// so that the log is read back from its end.
void UndoLog::Add(Step step, RegRoot root, unsigned long number, const char* a,
                  const char* b, const char* c) {
  size_t start = records_.size();
  unsigned char head[6] = {static_cast<unsigned char>(step), static_cast<unsigned char>(root)};
  uint32_t number32 = static_cast<uint32_t>(number);  // attributes or flags: 32 bits
  memcpy(head + 2, &number32, 4);
  bool added = records_.Append(reinterpret_cast<const char*>(head), sizeof head);
  for (const char* text : {a, b, c}) added = added && records_.Append(text, strlen(text) + 1);
  unsigned length = static_cast<unsigned>(records_.size() - start);
  added = added && records_.Append(reinterpret_cast<const char*>(&length), sizeof length);
  if (!added) {
    records_.KeepFirst(start);
    incomplete_ = true;
  }
}

UndoLog::Entry UndoLog::EntryEndingAt(size_t end, size_t* start) const {
  const char* data = records_.data();
  unsigned length = 0;
  memcpy(&length, data + end - sizeof length, sizeof length);
  *start = end - sizeof length - length;
  const unsigned char* head = reinterpret_cast<const unsigned char*>(data + *start);
  Entry entry;
  entry.step = static_cast<Step>(head[0]);
  entry.root = static_cast<RegRoot>(head[1]);
  uint32_t number32 = 0;
  memcpy(&number32, head + 2, 4);
  entry.number = number32;
  entry.a = data + *start + 6;
  entry.b = entry.a + strlen(entry.a) + 1;
  entry.c = entry.b + strlen(entry.b) + 1;
  return entry;
}

static void Unregister(Effects& effects, const char* path) {
  LibraryRef library = nullptr;
  if (effects.LoadLibrary(path, &library) != kOk) return;
  long result = 0;
  effects.CallEntryPoint(library, "DllUnregisterServer", &result);
  effects.FreeLibrary(library);
}

// One undo step through the engine's effects: each change it makes is
// journaled, and a step that fails is journaled by the failure log and
// passed by. No file it deletes or replaces is read-only: a read-only file
// is never kept, and attributes set later are undone first.
void UndoLog::Undo(Engine& engine, const Entry& r) {
  Effects& effects = *engine.effects;
  switch (r.step) {
    case kDeleteFile: effects.DeleteFile(r.a); break;
    case kPutBack: effects.MoveFileEx(r.b, r.a, kMoveReplaceExisting | kMoveCopyAllowed); break;
    case kMoveBack: effects.MoveFileEx(r.a, r.b, r.number); break;
    case kRemoveDirectory: effects.RemoveDirectory(r.a); break;
    case kCreateDirectory: effects.CreateDirectory(r.a); break;
    case kSetAttributes: effects.SetFileAttributes(r.a, r.number); break;
    case kSetValue: effects.RegSetValueEx(r.root, r.a, r.b, r.c, strlen(r.c) + 1); break;
    case kDeleteValue: effects.RegDeleteValue(r.root, r.a, r.b); break;
    case kDeleteKey: effects.RegDeleteKey(r.root, r.a); break;
    case kRemoveFont: effects.RemoveFontResource(r.a); break;
    case kUnregister: Unregister(effects, r.a); break;
    case kNotUndone: Journal(engine, "not undone", {r.a, " ", r.b}); break;
    case kSetCurrentDirectory: effects.SetCurrentDirectory(r.a); break;
  }
}

void UndoLog::RollBack(Engine& engine) {
  undoing_ = true;
  Host& host = *engine.host;
  WindowRef dialog = host.CreateProgressDialog(nullptr);
  char fallback[] = "Rolling back the changes of this install...";
  char* text = Message(engine, "ROLLBACK_MSG");
  SetItemTextFmt(engine, dialog, kStatusLineId, text ? text : fallback);
  if (!engine.modes.silent) host.ShowProgressDialog(dialog);
  Journal(engine, "rollback", {incomplete_ ? "steps missing (no memory to record them); " : "",
                               "undoing the changes of this install"});
  // Messages are taken between the steps, as between statements, so that
  // the status line shows and the windows stay alive.
  for (size_t end = records_.size(); end > 0;) {
    Undo(engine, EntryEndingAt(end, &end));
    host.PumpMessages(kPumpLimit);
  }
  Journal(engine, "rollback", {"done"});
  host.CloseProgressDialog(dialog);
  records_.Clear();
  armed_ = false;
  undoing_ = false;
}

// Each kept file goes; one that cannot, at the next start of Windows.
void UndoLog::LetKeptFilesGo(Engine& engine) {
  undoing_ = true;
  Effects& effects = *engine.effects;
  for (size_t end = records_.size(); end > 0;) {
    Entry entry = EntryEndingAt(end, &end);
    if (entry.step == kSetCurrentDirectory) effects.SetCurrentDirectory(entry.a);
    if (entry.step != kPutBack) continue;
    if (effects.DeleteFile(entry.b) != kOk) {
      effects.MoveFileEx(entry.b, nullptr, kMoveDelayUntilReboot);
    }
  }
  records_.Clear();
  armed_ = false;
  undoing_ = false;
}

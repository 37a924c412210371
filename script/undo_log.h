// The undo log of an install armed for rollback: before each change to the
// machine the old state is kept (an old file renamed aside beside itself,
// an old registry value read), after it a step that undoes it is recorded,
// and a failed install undoes the steps in reverse order. Kept files go
// when the install ends well. The log lives in memory; each file kept aside
// gets a journal line, so that a run that is killed can be recovered by
// hand from the journal.
#pragma once

#include "script/byte_buffer.h"
#include "script/effects.h"

struct Engine;

// How the old file at a path is kept before a change.
enum FileKeepWay {
  kKeepNothing,   // the change cannot touch an old file (it fails if one is there)
  kKeepByRename,  // renamed aside: the change makes a new file
  kKeepByCopy,    // renamed aside and copied back: the change works on the copy
  kKeepAway,      // moved into the temporary folder: the change deletes it
};

// The old file of one change, between its keep and the change's outcome.
struct FileKeep {
  const char* path = nullptr;  // null: nothing to record
  char aside[kPathMax];        // where the old file is kept; "" when none was
  FileKeep() { aside[0] = 0; }  // not the whole buffer: only its first byte is read
};

class UndoLog {
 public:
  // Records from now on (an uninstall never arms it).
  void Arm() { armed_ = true; }
  bool armed() const { return armed_; }
  bool recording() const { return armed_ && !undoing_; }

  // Keeps the old file at `path` (when there is one) before a change.
  // kOk, or why it could not be kept (a read-only one is refused, as
  // Windows refuses it): the change must then not be made.
  Status KeepFile(Engine& engine, Effects& inner, const char* path, FileKeepWay way,
                  FileKeep* keep);
  // After the change: records how to undo it, or, when it failed and left
  // no file, puts the kept one back at once.
  void FileChanged(Effects& inner, const FileKeep& keep, Status status);

  // How a change is undone.
  enum Step : unsigned char {
    kDeleteFile,       // a: a file that was not there
    kPutBack,          // a: path, b: its old file kept aside
    kMoveBack,         // a: moved to, b: moved from; number: kMoveCopyAllowed or 0
    kRemoveDirectory,  // a
    kCreateDirectory,  // a
    kSetAttributes,    // a; number: the old attributes
    kSetValue,         // root; a: key, b: name, c: old value
    kDeleteValue,      // root; a: key, b: name
    kDeleteKey,        // root; a: key
    kRemoveFont,       // a
    kUnregister,       // a: a library Register registered
    kNotUndone,        // a: what, b: its subject
    kSetCurrentDirectory,  // a: the current directory before the change
  };
  // After a change with `status`: when it succeeded and the log records,
  // the step that undoes it. Returns `status`.
  Status Record(Status status, Step step, const char* a, const char* b = "",
                unsigned long number = 0);

  // Registry: before a value is written or deleted, its old value (or its
  // absence) is read; kOk, or why it cannot be: the change must then not be
  // made. After the change succeeded, its undo step is recorded.
  Status KeepValue(Effects& inner, RegRoot root, const char* key, const char* name);
  void ValueChanged(RegRoot root, const char* key, const char* name);
  // Creates the key, each missing level of it recorded for deletion.
  Status CreateKey(Effects& inner, RegRoot root, const char* key);

  // The end of an armed install (the caller checks armed()): a failed one
  // undoes every step, newest first, through the engine's effects (so each
  // is journaled), with the status line saying so; otherwise the kept files
  // go. Either way the log is emptied and recording stops.
  void RollBack(Engine& engine);
  void LetKeptFilesGo(Engine& engine);

 private:
  struct Entry {
    Step step;
    RegRoot root;
    unsigned long number;
    const char* a;
    const char* b;
    const char* c;
  };
  void Add(Step step, RegRoot root, unsigned long number, const char* a,
           const char* b = "", const char* c = "");
  // The record that ends at `end` (an offset of records_); its start in
  // `start`.
  Entry EntryEndingAt(size_t end, size_t* start) const;
  void Undo(Engine& engine, const Entry& entry);
  Status RenameAside(Effects& inner, const char* path, const char* base,
                     char (&aside)[kPathMax]);

  ByteBuffer records_;
  char oldValue_[kLineMax] = "";
  bool oldValueThere_ = false;
  unsigned counter_ = 0;
  bool armed_ = false;
  bool undoing_ = false;
  bool incomplete_ = false;  // a record had no memory: the log misses a step
};

// The state of one script engine: the run flags, the run modes, the variable
// store, the current script file, the language code and the bound command
// handlers. One engine serves the whole process; tests make their own.
#pragma once

#include "script/command_table.h"
#include "script/host.h"
#include "script/statement.h"
#include "script/text.h"
#include "script/undo_log.h"
#include "script/var_store.h"

class Effects;
class JournalSink;
struct AnswerStore;
class ScriptFile;
struct Engine;

// How functions of the program report their result, one convention per
// kind:
// - an effect on the machine returns its Win32 status (Status, kOk = 0);
// - a lookup returns an index, or -1 when there is none;
// - a test or a step that either succeeds or not returns bool (or an int
//   1/0 where a dialog's result is one);
// - anything with more outcomes returns an enum that names them.
// A command handler returns nothing: its outcome is in the run flags.
typedef void (*CommandHandler)(Engine& engine, const Statement& st);

struct RunFlags {
  int condition = 0;  // written by test commands, read by If
  int stop = 0;       // ends the current run; each run restores its caller's
  int quit = 0;       // ends every run; never cleared
  int failure = 0;    // keeps the install-state record's failure marker
  int reboot = 0;     // Windows is rebooted at the end
  // Set by every error of this process; the exit code reports it (the
  // failure flag may also come from an earlier run, and some errors leave
  // it as it is).
  bool failedThisRun = false;
  // The user abandoned the run in one of the program's own abort paths
  // (the setup type, the mail-server prompt).
  bool abandoned = false;
  // An unattended run met a question its answers file does not answer.
  bool unanswered = false;
};

struct RunModes {
  bool uninstall = false;
  bool mini = false;
  bool silent = false;
  bool noRestart = false;            // /NORESTART: a reboot is left to the caller
  bool rollback = false;             // /ROLLBACK: a failed install is undone
  char commandLineDir[kPathMax] = {0};
  bool directorySwitch = false;      // it came from /DIR=<path>
  bool journalRequested = false;     // /LOG=<path> was given
  char journalPath[kPathMax] = {0};  // its path; "" when it does not fit
  bool answersRequested = false;     // /ANSWERS=<file> was given
  char answersPath[kPathMax] = {0};
  bool saveAnswersRequested = false; // /SAVEANSWERS=<file> was given
  char saveAnswersPath[kPathMax] = {0};
  // The full path of the running program's file; "" when it is unknown.
  char programPath[kPathMax] = {0};
  // An uninstall that its starter moved out of the product folder (the
  // internal switches /ORIGIN=, /PARENT=, /RESULTPIPE=): the starter's
  // program directory, which this run takes as its own, and the numbers of
  // the handles it passed on (0 for none).
  char originDir[kPathMax] = {0};
  unsigned long parentProcess = 0;
  unsigned long resultPipe = 0;
};

// Deletes that an uninstall moved out of the product folder leaves until
// the program that started it has ended: that program's file, which it
// cannot delete while it runs, and the folders that hold it, deepest
// first. A bounded list: a delete it has no room for counts as left behind.
struct DeferredDeletes {
  static constexpr int kMax = 16;
  char heldFile[kPathMax] = {0};  // the starter's file, full path; "" for none
  char paths[kMax][kPathMax] = {};
  int count = 0;
};

// How deep section runs may nest (goto, Include and the like) before the
// engine refuses the call.
const int kMaxRunDepth = 64;

struct Engine {
  Host* host = nullptr;
  Effects* effects = nullptr;
  VarStore vars;
  RunFlags flags;
  RunModes modes;
  ScriptFile* script = nullptr;  // the current script file
  int runDepth = 0;
  unsigned short languageCode = 0;
  CommandHandler handlers[kCommandCount] = {nullptr};
  JournalSink* journal = nullptr;  // the install journal, when one is kept
  AnswerStore* answers = nullptr;   // given with /ANSWERS=, when it was
  AnswerStore* recorded = nullptr;  // to be written for /SAVEANSWERS=
  DeferredDeletes deferred;
  UndoLog undo;  // armed by RollbackOnFailure or /ROLLBACK
};

// Records an error of this run: the failure flag is set.
inline void SetFailure(Engine& engine) {
  engine.flags.failure = 1;
  engine.flags.failedThisRun = true;
}

// Binds `handler` to command `id`.
struct CommandBinding {
  CommandId id;
  CommandHandler handler;
};
void BindCommands(Engine& engine, const CommandBinding* bindings, int count);
template <int N>
void BindCommands(Engine& engine, const CommandBinding (&bindings)[N]) {
  BindCommands(engine, bindings, N);
}

// Performs the statement through its bound handler. An identifier without a
// handler is an internal error: a box (not in silent mode), the failure flag
// set and the run's progress dialog dismissed.
void DispatchCommand(Engine& engine, const Statement& st);

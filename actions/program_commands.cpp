// Run, RunWait, Register, Unregister, RegisterFont and UnregisterFont:
// other programs started through the shell or as awaited children, the
// self-registration entries of COM server DLLs, and font resources.
#include <cstring>

#include "actions/action_groups.h"
#include "actions/program_commands.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/errors.h"
#include "script/journal.h"
#include "script/messages.h"
#include "script/var_store.h"

// A value that names something: defined and not empty.
static bool HasText(const char* value) { return value && *value; }

// True when the statement's second argument was left out (not merely
// undefined or empty).
static bool SecondArgumentOmitted(const Statement& st) {
  return !st.text2 || (!st.quoted2 && !*st.text2);
}

// The run's dialog is shown before another program's windows come, so
// that they come over it.
static void ShowRunDialog(Engine& engine, const Statement& st) {
  if (!engine.modes.silent) engine.host->RepaintNow(st.owner);
}

static void CmdRun(Engine& engine, const Statement& st) {
  if (!HasText(st.value1)) return;
  ShowRunDialog(engine, st);
  engine.effects->ShellExecute(st.value1, st.value2,
                               VarGet(engine.vars, "DSTDIR"));
}

static bool IsProgramFile(Engine& engine, const char* path) {
  unsigned long attributes = 0;
  return engine.effects->GetFileAttributes(path, &attributes) == kOk &&
         !(attributes & kAttrDirectory);
}

static const char* LastElement(const char* path) {
  const char* last = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') last = p + 1;
  }
  return last;
}

bool FindProgram(Engine& engine, const char* name, char (&path)[kPathMax]) {
  char base[kPathMax];
  if (name[strcspn(name, "\\/:")]) {
    if (!JoinText(base, {name})) return false;
  } else {
    char current[kPathMax];
    if (engine.effects->GetCurrentDirectory(current) != kOk) return false;
    size_t length = strlen(current);
    bool endsInSeparator = length > 0 && current[length - 1] == '\\';
    if (!JoinText(base, {current, endsInSeparator ? "" : "\\", name})) {
      return false;
    }
  }
  if (strchr(LastElement(base), '.')) {
    return IsProgramFile(engine, base) && JoinText(path, {base});
  }
  static const char* const kExtensions[] = {".com", ".exe", ".bat", ".cmd"};
  for (const char* extension : kExtensions) {
    if (JoinText(path, {base, extension}) && IsProgramFile(engine, path)) {
      return true;
    }
  }
  path[0] = 0;
  return false;
}

static bool IsBatchFile(const char* path) {
  const char* dot = strrchr(LastElement(path), '.');
  return dot && (EqualsNoCase(dot, ".bat") || EqualsNoCase(dot, ".cmd"));
}

// The child's command line: argument 0 is "x.exe" and the rest is
// `arguments` as written. The command interpreter takes argument 0 as the
// batch file to run, so a batch file gets its own quoted path there.
bool ChildCommandLine(const char* program, const char* arguments,
                      char (&line)[kLineMax]) {
  bool batch = IsBatchFile(program);
  const char* space = arguments ? " " : "";
  const char* rest = arguments ? arguments : "";
  if (batch) return JoinText(line, {"\"", program, "\"", space, rest});
  return JoinText(line, {"x.exe", space, rest});
}

// A program that is not there is no error (the condition tells the
// script), but the journal records it.
static void CmdRunWait(Engine& engine, const Statement& st) {
  engine.flags.condition = -1;
  char program[kPathMax];
  char line[kLineMax];
  if (!HasText(st.value1) || !FindProgram(engine, st.value1, program)) {
    engine.host->LogFailure("RunWait",
                            HasText(st.value1) ? st.value1 : "(no program named)",
                            kErrFileNotFound);
    return;
  }
  if (!ChildCommandLine(program, st.value2, line)) {
    engine.host->LogFailure("RunWait", program, kErrFilenameTooLong);
    return;
  }
  ShowRunDialog(engine, st);
  unsigned long exitCode = 0;
  if (engine.effects->CreateProcess(program, line, nullptr, true, &exitCode) ==
      kOk) {
    engine.flags.condition = static_cast<int>(exitCode);
  }
}

// An HRESULT as it is usually written: "0x80004005".
static void FormatResultCode(char (&text)[11], long result) {
  unsigned long bits = static_cast<unsigned long>(result) & 0xFFFFFFFFul;
  text[0] = '0';
  text[1] = 'x';
  for (int digit = 9; digit >= 2; --digit, bits >>= 4) {
    text[digit] = "0123456789ABCDEF"[bits & 0xF];
  }
  text[10] = 0;
}

// The entry's result: a registration done, or a failure (a negative
// HRESULT) with its code.
static void JournalEntryResult(Engine& engine, const char* path,
                               const char* entry, long result,
                               bool registering) {
  char code[12];
  if (result < 0) {
    char hex[11];
    FormatResultCode(hex, result);
    Journal(engine, "failure", {entry, " ", path, ": result ", hex});
    return;
  }
  FormatDecimal(code, result);
  Journal(engine, registering ? "DLL registered" : "DLL unregistered",
          {path, ", result ", code});
}

// Loads `path` and calls `entry`. A library that does not load, or lacks
// the entry, is reported (ERROR_LOAD_DLL, or `entryErrorKey`) and sets the
// failure flag; so does a failing result when `resultCounts`. 1 when the
// entry was called, with its result in `called`.
static int CallRegistrationEntry(Engine& engine, WindowRef dialog,
                                 const char* path, const char* entry,
                                 const char* entryErrorKey, bool resultCounts,
                                 long* called) {
  LibraryRef library = nullptr;
  if (engine.effects->LoadLibrary(path, &library) != kOk) {
    ReportScriptError(engine, kSeverityGoOn, dialog, {"cannot load ", path},
                      "ERROR_LOAD_DLL", {path});
    return 0;
  }
  long result = 0;
  Status status = engine.effects->CallEntryPoint(library, entry, &result);
  engine.effects->FreeLibrary(library);
  *called = result;
  if (status == kOk) JournalEntryResult(engine, path, entry, result, resultCounts);
  if (status != kOk || (resultCounts && result < 0)) {
    ReportScriptError(engine, kSeverityGoOn, dialog, {entry, " failed for ", path},
                      entryErrorKey, {path});
  }
  return status == kOk ? 1 : 0;
}

// A registration that succeeded is undone by unregistering, if the install
// rolls back.
int RegisterDll(Engine& engine, WindowRef dialog, const char* path) {
  long result = -1;
  int called = CallRegistrationEntry(engine, dialog, path, "DllRegisterServer",
                                     "ERROR_REG_DLL", true, &result);
  engine.undo.Record(called && result >= 0 ? kOk : kErrInvalidParameter, UndoLog::kUnregister,
                     path);
  return called;
}

// A DLL whose entries are gone already often says so: the result does not
// count.
int UnregisterDll(Engine& engine, WindowRef dialog, const char* path) {
  long result = 0;
  return CallRegistrationEntry(engine, dialog, path, "DllUnregisterServer",
                               "ERROR_UREG_DLL", false, &result);
}

// What cannot name a DLL takes the path of one that does not load; the
// journal says why it names none.
static void ReportUnloadable(Engine& engine, WindowRef dialog,
                             const char* name, const char* why) {
  ReportScriptError(engine, kSeverityGoOn, dialog,
                    {"no DLL path for ", TextOrEmpty(name), ": ", why},
                    "ERROR_LOAD_DLL", {TextOrEmpty(name)});
}

// Why a name and its directory (when one is needed) made no DLL path.
static const char* WhyNoDllPath(const char* name, bool directoryMissing,
                                const char* missingDirectory) {
  if (!HasText(name)) return "no file name";
  if (directoryMissing) return missingDirectory;
  return "the path is too long";
}

static void CmdRegister(Engine& engine, const Statement& st) {
  const char* directory = VarGet(engine.vars, "DSTDIR");
  char path[kPathMax];
  if (!HasText(st.value1) || !HasText(directory) ||
      !JoinPath(path, directory, st.value1)) {
    ReportUnloadable(engine, st.owner, st.value1,
                     WhyNoDllPath(st.value1, !HasText(directory),
                                  "DSTDIR is undefined or empty"));
    return;
  }
  SetItemTextFmt(engine, st.owner, kStatusLineId,
                 Message(engine, "REGISTERING_MSG"), {path});
  RegisterDll(engine, st.owner, path);
}

// The path as given, or inside the directory of the second argument. A
// directory that was given but is undefined or empty names no DLL: the
// system's search would find another product's.
static void CmdUnregister(Engine& engine, const Statement& st) {
  char path[kPathMax];
  bool named = HasText(st.value1);
  if (named && SecondArgumentOmitted(st)) {
    named = JoinText(path, {st.value1});
  } else if (named) {
    named = HasText(st.value2) && JoinPath(path, st.value2, st.value1);
  }
  if (!named) {
    ReportUnloadable(engine, st.owner, st.value1,
                     WhyNoDllPath(st.value1,
                                  !SecondArgumentOmitted(st) && !HasText(st.value2),
                                  "its directory is undefined or empty"));
    return;
  }
  UnregisterDll(engine, st.owner, path);
}

static void CmdRegisterFont(Engine& engine, const Statement& st) {
  if (HasText(st.value1)) engine.effects->AddFontResource(st.value1);
}

static void CmdUnregisterFont(Engine& engine, const Statement& st) {
  if (HasText(st.value1)) engine.effects->RemoveFontResource(st.value1);
}

void BindProgramCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdRun, CmdRun},
      {kCmdRunWait, CmdRunWait},
      {kCmdRegister, CmdRegister},
      {kCmdUnregister, CmdUnregister},
      {kCmdRegisterFont, CmdRegisterFont},
      {kCmdUnregisterFont, CmdUnregisterFont},
  };
  BindCommands(engine, kBindings);
}

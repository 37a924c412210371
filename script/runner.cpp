// Section runner. A section runs from the line after its label up to the
// next line whose very first byte is '[' or the end of the file; labels are
// found wherever their first non-blank byte is '['.
#include "script/runner.h"

#include <cstring>

#include "script/engine.h"
#include "script/errors.h"
#include "script/journal.h"
#include "script/messages.h"
#include "script/setup_run.h"
#include "script/script_file.h"
#include "script/statement.h"
#include "script/text.h"

// The section name of a label line (after the '[' up to the first ']', or
// to the end of the line when there is none), or null for other lines.
static char* LabelName(char* line) {
  char* p = SkipBlanks(line);
  if (*p != '[') return nullptr;
  char* name = p + 1;
  char* close = strchr(name, ']');
  if (close) *close = 0;
  return name;
}

bool FindSection(const char* name, ScriptFile& file) {
  if (!name) return false;
  file.Rewind();
  char line[kLineMax];
  while (file.ReadLine(line)) {
    const char* label = LabelName(line);
    if (label && EqualsNoCase(label, name)) return true;
  }
  return false;
}

// A section that is not there: the box, then the end-of-run steps of the
// install-state record and the reboot; the caller goes on with its next
// line, and the exit code reports the error. No quit message is posted: the
// thread's quit message ends whatever modal loop takes it first, so one
// left in the queue would close the next dialog or box unanswered (in
// silent mode the pump after this statement may be skipped), and the run's
// end posts the one quit message the program needs.
static void TakeMissingSectionPath(Engine& engine, WindowRef dialog,
                                   const char* name) {
  ReportError(engine, kSeverityCounted, dialog, {"no section [", name, "]"},
              Message(engine, "ERROR_TTL"), Message(engine, "ERROR_INI_INC"));
  TakeEndOfRunSteps(engine);
}

// Calls nested deeper than kMaxRunDepth are refused: the script is taken to
// recurse without end, so the whole run ends as after quiterr.
static void RefuseTooDeepRun(Engine& engine, WindowRef owner,
                             const char* name) {
  char limit[16];
  FormatDecimal(limit, kMaxRunDepth);
  ReportError(engine, kSeverityEndEveryRun, owner,
              {"section calls nested deeper than ", limit, " levels at section [",
               name, "]; setup stops"},
              Message(engine, "ERROR_TTL"),
              "Section calls nested too deeply (more than %s levels) at "
              "section [%s]; setup stops.",
              {limit, name ? name : ""});
}

// `written` is the statement as written (kept only for the journal).
static void ReportUnknownKeyword(Engine& engine, WindowRef dialog,
                                 char* line, const char* written) {
  ReportScriptError(engine, kSeverityCounted, dialog,
                    {"unknown keyword: ", written}, "ERROR_INI_SYNTAX", {line});
}

// How much of an over-long statement its error box shows.
static const size_t kOverLongShown = 64;

// A statement longer than a line may be is not performed: its tail could
// hold anything. The box shows its start.
static void ReportOverLongStatement(Engine& engine, WindowRef dialog,
                                    const char* start) {
  char shown[kOverLongShown + 4];
  CopyText(shown, kOverLongShown + 1, start);
  AppendText(shown, "...");
  ReportScriptError(engine, kSeverityCounted, dialog,
                    {"statement longer than 1023 bytes, not performed: ", shown},
                    "ERROR_INI_SYNTAX", {shown});
}

// The statement as written and the values its arguments have.
static void JournalStatement(Engine& engine, const char* written,
                             const Statement& st) {
  Journal(engine, "statement", {written, "  [", st.value1, "] [", st.value2, "]"});
}

// Runs one statement line (its first byte already known not to be '[').
// An over-long comment is passed over whole.
static void RunLine(Engine& engine, WindowRef dialog, char* line,
                    bool overLong) {
  char* start = SkipBlanks(line);
  if (*start == 0 || *start == ';') return;
  if (overLong) {
    ReportOverLongStatement(engine, dialog, start);
    return;
  }
  DropLineFeed(line);  // an open quote must not take the line's end
  char written[kLineMax];
  written[0] = 0;
  if (engine.journal) CopyText(written, start);
  Statement st;
  if (!ParseStatement(line, engine.vars, dialog, &st)) {
    ReportUnknownKeyword(engine, dialog, line, written);
    return;
  }
  if (engine.journal) JournalStatement(engine, written, st);
  DispatchCommand(engine, st);
}

static void RunStatements(Engine& engine, WindowRef dialog) {
  char line[kLineMax];
  for (;;) {
    bool overLong = false;
    if (!engine.script->ReadLine(line, &overLong)) break;
    if (line[0] == '[') break;
    if (engine.flags.stop || engine.flags.quit) break;
    RunLine(engine, dialog, line, overLong);
    if (!engine.modes.silent) engine.host->UpdateMainWindow();
    engine.host->PumpMessages(kPumpLimit);
  }
}

void RunSection(Engine& engine, WindowRef owner, const char* name) {
  if (engine.runDepth >= kMaxRunDepth) {
    RefuseTooDeepRun(engine, owner, name);
    return;
  }
  ScriptFile& file = *engine.script;
  long entryPosition = file.Tell();
  int entryStop = engine.flags.stop;
  ++engine.runDepth;

  Host& host = *engine.host;
  WindowRef dialog = host.CreateProgressDialog(owner);
  char setupText[] = "Setup...";
  SetItemTextFmt(engine, dialog, kStatusLineId, setupText);
  if (!engine.modes.silent) host.ShowProgressDialog(dialog);
  host.ResetProgressBar(dialog);
  engine.flags.stop = 0;

  bool found = FindSection(name, file);
  if (found) RunStatements(engine, dialog);
  // Back at the caller's line first, so that the journal names it.
  file.Seek(entryPosition);
  if (!found) TakeMissingSectionPath(engine, dialog, name);

  engine.flags.stop = entryStop;
  host.CloseProgressDialog(dialog);
  --engine.runDepth;
}

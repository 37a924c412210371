// Section runner. A section runs from the line after its label up to the
// next line whose very first byte is '[' or the end of the file; labels are
// found wherever their first non-blank byte is '['.
#include "script/runner.h"

#include <cstring>

#include "script/engine.h"
#include "script/errors.h"
#include "script/messages.h"
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

int FindSection(const char* name, ScriptFile& file) {
  if (!name) return 0;
  file.Rewind();
  char line[kLineMax];
  while (file.ReadLine(line)) {
    const char* label = LabelName(line);
    if (label && EqualsNoCase(label, name)) return 1;
  }
  return 0;
}

// A section that is not there: the box, then the end-of-run steps of the
// install-state record and the reboot; the quit message it posts is taken
// by the next pump, so the caller goes on.
static void TakeMissingSectionPath(Engine& engine, WindowRef dialog) {
  ReportError(engine, kSeverityNotice, dialog, Message(engine, "ERROR_TTL"),
              Message(engine, "ERROR_INI_INC"));
  if (engine.flags.failure == 0) engine.host->ClearFailureMarker();
  if (engine.flags.reboot) engine.host->RequestReboot();
  engine.host->PostQuit(-1);
}

// Calls nested deeper than kMaxRunDepth are refused: the script is taken to
// recurse without end, so the whole run ends as after quiterr.
static void RefuseTooDeepRun(Engine& engine, WindowRef owner,
                             const char* name) {
  char limit[16];
  FormatDecimal(limit, kMaxRunDepth);
  ReportError(engine, kSeverityEndEveryRun, owner,
              Message(engine, "ERROR_TTL"),
              "Section calls nested too deeply (more than %s levels) at "
              "section [%s]; setup stops.",
              {limit, name ? name : ""});
}

static void ReportUnknownKeyword(Engine& engine, WindowRef dialog,
                                 char* line) {
  ReportScriptError(engine, kSeverityNotice, dialog, "ERROR_INI_SYNTAX",
                    {line});
}

// Runs one statement line (its first byte already known not to be '[').
static void RunLine(Engine& engine, WindowRef dialog, char* line) {
  char* start = SkipBlanks(line);
  if (*start == 0 || *start == ';') return;
  Statement st;
  if (!ParseStatement(line, engine.vars, dialog, &st)) {
    ReportUnknownKeyword(engine, dialog, line);
    return;
  }
  DispatchCommand(engine, st);
}

static void RunStatements(Engine& engine, WindowRef dialog) {
  char line[kLineMax];
  for (;;) {
    if (!engine.script->ReadLine(line)) break;
    if (line[0] == '[') break;
    if (engine.flags.stop || engine.flags.quit) break;
    RunLine(engine, dialog, line);
    if (!engine.modes.silent) engine.host->UpdateMainWindow();
    engine.host->PumpMessages(kPumpLimit);
  }
}

int RunSection(Engine& engine, WindowRef owner, const char* name) {
  if (engine.runDepth >= kMaxRunDepth) {
    RefuseTooDeepRun(engine, owner, name);
    return 0;
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

  if (FindSection(name, file)) {
    RunStatements(engine, dialog);
  } else {
    TakeMissingSectionPath(engine, dialog);
  }

  file.Seek(entryPosition);
  engine.flags.stop = entryStop;
  host.CloseProgressDialog(dialog);
  --engine.runDepth;
  return 0;
}

// Error reporting: one journal line, one box, then the flags of the
// severity.
#include "script/errors.h"

#include "script/engine.h"

void EndEveryRun(Engine& engine, WindowRef dialog) {
  if (engine.flags.reboot) engine.host->RequestReboot();
  engine.host->DismissDialog(dialog);
  engine.flags.stop = 1;
  engine.flags.quit = 1;
}

void TakeSeverity(Engine& engine, ErrorSeverity severity, WindowRef dialog) {
  engine.flags.failedThisRun = true;
  if (severity == kSeverityCounted) return;
  SetFailure(engine);
  if (severity == kSeverityEndRun) engine.flags.stop = 1;
  if (severity == kSeverityEndEveryRun) EndEveryRun(engine, dialog);
  if (severity == kSeverityAbort) {
    engine.flags.stop = 1;
    engine.flags.quit = 1;
  }
}

void ReportError(Engine& engine, ErrorSeverity severity, WindowRef dialog,
                 JournalParts what, const char* caption, const char* text,
                 MessageArgs args) {
  Journal(engine, "error", what);
  ShowMsgBox(engine, kBoxOk, caption, text, args);
  TakeSeverity(engine, severity, dialog);
}

void ReportScriptError(Engine& engine, ErrorSeverity severity,
                       WindowRef dialog, JournalParts what,
                       const char* messageKey, MessageArgs args) {
  Journal(engine, "error", what);
  ShowErrorBox(engine, Message(engine, messageKey), args);
  TakeSeverity(engine, severity, dialog);
}

void ReportQuietError(Engine& engine, JournalParts what) {
  Journal(engine, "error", what);
  SetFailure(engine);
}

// Error reporting: one journal line, one box, then the flags of the
// severity.
#include "script/errors.h"

#include "script/engine.h"

// Every run ends: the current one and each caller as control returns.
static void StopEveryRun(Engine& engine) {
  engine.flags.stop = 1;
  engine.flags.quit = 1;
}

void RequestRebootIfAsked(Engine& engine) {
  if (engine.flags.reboot && !engine.modes.noRestart) engine.host->RequestReboot();
}

void EndEveryRun(Engine& engine, WindowRef dialog) {
  RequestRebootIfAsked(engine);
  engine.host->DismissDialog(dialog);
  StopEveryRun(engine);
}

void TakeSeverity(Engine& engine, ErrorSeverity severity, WindowRef dialog) {
  engine.flags.failedThisRun = true;
  if (severity == kSeverityCounted) return;
  SetFailure(engine);
  switch (severity) {
    case kSeverityEndRun:
      engine.flags.stop = 1;
      break;
    case kSeverityEndEveryRun:
      EndEveryRun(engine, dialog);
      break;
    case kSeverityAbort:
      StopEveryRun(engine);
      break;
    default:
      break;
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

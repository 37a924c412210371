// The one path for errors of a run: the journal line, the box (never in
// silent mode), the failure flag, and how far the error reaches. Every
// error the engine and the commands report goes through here.
#pragma once

#include "script/host.h"
#include "script/journal.h"
#include "script/messages.h"

struct Engine;

enum ErrorSeverity {
  kSeverityCounted,     // the run goes on and the exit code reports the
                        // error; the failure flag is left as it is
  kSeverityGoOn,        // the failure flag is set; the run goes on
  kSeverityEndRun,      // ... and the current run ends
  kSeverityEndEveryRun, // ... every run ends: the run's dialog is dismissed
                        // and a reboot asked for is requested now
  kSeverityAbort        // ... every run ends; the end-of-run steps do the
                        // rest (a failed copy)
};

// The severity's consequences alone, for errors that ask their own question.
void TakeSeverity(Engine& engine, ErrorSeverity severity, WindowRef dialog);

// The journal line "error: <what>" (at the current script line), then a
// box captioned `caption` with `text` formatted with `args`, then the
// severity's consequences. `dialog` is the run's progress dialog. `what`
// says in the journal's own words what went wrong, whatever the language
// file makes of the box.
void ReportError(Engine& engine, ErrorSeverity severity, WindowRef dialog,
                 JournalParts what, const char* caption, const char* text,
                 MessageArgs args = {});

// The same with the language file's message `messageKey` as the text, in a
// box captioned with the message ERROR_TTL (the message's line breaks are
// expanded where it is stored, as ShowErrorBox does).
void ReportScriptError(Engine& engine, ErrorSeverity severity,
                       WindowRef dialog, JournalParts what,
                       const char* messageKey, MessageArgs args = {});

// An error that shows no box: its journal line, then the failure flag; the
// run goes on.
void ReportQuietError(Engine& engine, JournalParts what);

// Requests the reboot a step asked for, unless /NORESTART leaves it to
// whoever started the program (the exit code then says it is needed).
void RequestRebootIfAsked(Engine& engine);

// Ends every run without an error, as quit does: the stop and quit flags,
// the run's dialog dismissed, a reboot asked for requested now.
void EndEveryRun(Engine& engine, WindowRef dialog);

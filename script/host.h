// The one narrow interface through which the script engine reaches the user
// interface and the run's end: progress dialogs, the status line, the
// message pump, message boxes, the main window, reboot, the install-state
// record and the failure log. Effects on the machine go through Effects
// (script/effects.h). Implemented for Win32 in host/ and by a recording
// fake in the tests. Window handles are opaque here.
#pragma once

typedef void* WindowRef;

// Message box types and results (the Windows values).
const int kBoxOk = 0;
const int kBoxOkCancel = 1;
const int kBoxYesNo = 4;
const int kIdOk = 1;
const int kIdCancel = 2;
const int kIdYes = 6;
const int kIdNo = 7;

const int kStatusLineId = 1001;  // status line of the progress dialog

class Host {
 public:
  virtual ~Host() {}

  // A new, hidden progress dialog owned by `owner` (null when it cannot be
  // created; the run then goes on without one).
  virtual WindowRef CreateProgressDialog(WindowRef owner) = 0;
  // Shows the dialog once it has waited a frame (a dialog closed sooner is
  // never seen), or at once when it is painted with RepaintNow, a message
  // box comes or the main window is shown.
  virtual void ShowProgressDialog(WindowRef dialog) = 0;
  // Posts the bar's range 0..100, position 0 and step 1.
  virtual void ResetProgressBar(WindowRef dialog) = 0;
  // Dismisses (hides) a dialog, as commands that end a run early do.
  virtual void DismissDialog(WindowRef dialog) = 0;
  // End of a run: steps the bar, dismisses the dialog and releases it.
  virtual void CloseProgressDialog(WindowRef dialog) = 0;

  // The wait dialog of a file search: a new, hidden dialog owned by `owner`
  // (null when it cannot be created), destroyed by DestroyDialog.
  virtual WindowRef CreateWaitDialog(WindowRef owner) = 0;
  virtual void DestroyDialog(WindowRef dialog) = 0;

  virtual void SetControlText(WindowRef dialog, int controlId,
                              const char* text) = 0;
  // Invalidates the dialog (background erased) and paints it at once,
  // showing it first if it waits to be shown: before a step that may be
  // long, and before other windows come over it.
  virtual void RepaintNow(WindowRef dialog) = 0;
  // Sets the text and paints the dialog at once, unless the dialog was
  // painted less than a frame ago: then the text waits for the next paint
  // (RepaintNow), the next text or the frame's end. For a status that a
  // brief step follows, whose caller paints again before anything long.
  virtual void SetControlTextSoon(WindowRef dialog, int controlId,
                                  const char* text) = 0;
  // Removes and dispatches pending messages without waiting; at most
  // `limit` of them.
  virtual void PumpMessages(int limit) = 0;

  virtual void UpdateMainWindow() = 0;
  // Invalidates the main window without erasing, so the banner repaints.
  virtual void InvalidateMainWindow() = 0;
  virtual void ShowMainWindow(bool visible) = 0;

  // Modal box owned by the main window; a null caption gives the system's
  // default caption. Returns the button identifier, 0 when it failed.
  virtual int ShowMessageBox(const char* text, const char* caption,
                             int type) = 0;

  virtual void RequestReboot() = 0;

  // The user's default language identifier.
  virtual unsigned short UserLanguageId() = 0;

  // Every failed call of Windows is reported here with its error code:
  // what was called and on what. Writes nothing unless a log is attached.
  virtual void LogFailure(const char* operation, const char* subject,
                          unsigned long code) {
    (void)operation;
    (void)subject;
    (void)code;
  }
};

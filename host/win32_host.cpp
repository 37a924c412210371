// Win32 implementation of the engine's host interface.
#include "host/win32_host.h"

#include <commctrl.h>

#include <cstring>

#include "dialogs/progress_dialog.h"
#include "dialogs/resource.h"
#include "script/journal.h"
#include "script/messages.h"

static HWND AsWindow(WindowRef ref) { return static_cast<HWND>(ref); }

// A run's dialog is hidden, not destroyed, when the run ends, and the next
// run with the same owner takes it again: creating a window costs far more
// than a statement (about 10 ms under Wine), and ParseFile and ApplyOnFiles
// run a section per line or per file. Owners stay exactly as they were.
WindowRef Win32Host::CreateProgressDialog(WindowRef owner) {
  for (int i = 0; i < freeDialogCount_; ++i) {
    HWND dialog = freeDialogs_[i];
    if (!IsWindow(dialog) || GetWindow(dialog, GW_OWNER) != AsWindow(owner)) {
      continue;
    }
    freeDialogs_[i] = freeDialogs_[--freeDialogCount_];
    return dialog;
  }
  return CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_PROGRESSWAITER),
                            AsWindow(owner), ProgressDialogProc, 0);
}

// A dialog is shown only once it has waited a frame: showing and hiding a
// window costs several milliseconds under Wine, far more than a short run
// (ParseFile and ApplyOnFiles run a section per line or per file), and a
// window gone within a frame is never seen. The wait ends early when the
// dialog is painted (RepaintNow: a long step follows) or a message box
// comes; the dialogs of the runs around it are shown first, as they were
// asked for. Closed within its frame, a dialog is never shown.
void Win32Host::ShowProgressDialog(WindowRef dialog) {
  if (!dialog) return;
  if (waitingCount_ == kWaitingMax) {
    ShowNow(AsWindow(dialog));
    return;
  }
  waiting_[waitingCount_++] = {AsWindow(dialog), GetTickCount()};
}

// Shown with its status line's latest text and its bar at the start.
void Win32Host::ShowNow(HWND dialog) {
  if (dialog == pendingDialog_) ApplyPendingText();
  ShowWindow(dialog, SW_SHOWNORMAL);
  ResetProgressBar(dialog);
}

// Shows the first `count` waiting dialogs, outermost first.
void Win32Host::ShowWaiting(int count) {
  for (int i = 0; i < count; ++i) ShowNow(waiting_[i].dialog);
  waitingCount_ -= count;
  for (int i = 0; i < waitingCount_; ++i) waiting_[i] = waiting_[i + count];
}

// The dialogs that have waited a frame by `now`: a prefix of the list, as
// an outer run's dialog waits since before an inner one's.
void Win32Host::ShowDueDialogs(DWORD now) {
  int due = 0;
  while (due < waitingCount_ && now - waiting_[due].since >= kFrameMs) ++due;
  if (due) ShowWaiting(due);
}

// The position of `dialog` among the waiting ones, or -1.
int Win32Host::WaitingIndex(WindowRef dialog) const {
  for (int i = waitingCount_ - 1; i >= 0; --i) {
    if (waiting_[i].dialog == dialog) return i;
  }
  return -1;
}

void Win32Host::DropWaiting(WindowRef dialog) {
  int at = WaitingIndex(dialog);
  if (at < 0) return;
  --waitingCount_;
  for (int i = at; i < waitingCount_; ++i) waiting_[i] = waiting_[i + 1];
}

// A hidden dialog's bar is left alone: nobody sees it, and it is reset when
// the dialog is shown.
void Win32Host::ResetProgressBar(WindowRef dialog) {
  if (!dialog || !IsWindowVisible(AsWindow(dialog))) return;
  HWND bar = GetDlgItem(AsWindow(dialog), IDC_PROGRESS_BAR);
  if (!bar) return;  // the wait dialog has none
  PostMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  PostMessageA(bar, PBM_SETPOS, 0, 0);
  PostMessageA(bar, PBM_SETSTEP, 1, 0);
}

void Win32Host::DismissDialog(WindowRef dialog) {
  if (!dialog) return;
  DropWaiting(dialog);
  if (dialog == pendingDialog_) ApplyPendingText();
  EndDialog(AsWindow(dialog), 0);
}

// The dialog is dismissed and kept for the next run with its owner; beyond
// the pool's size it is destroyed, so hidden windows never pile up.
void Win32Host::CloseProgressDialog(WindowRef dialog) {
  if (!dialog) return;
  HWND window = AsWindow(dialog);
  DropWaiting(dialog);
  if (dialog == pendingDialog_) ApplyPendingText();
  if (IsWindowVisible(window)) {
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    EndDialog(window, 0);
  }
  if (freeDialogCount_ < kFreeDialogsMax && IsWindow(window)) {
    freeDialogs_[freeDialogCount_++] = window;
  } else {
    DestroyWindow(window);
  }
}

WindowRef Win32Host::CreateWaitDialog(WindowRef owner) {
  return CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_WAITER),
                            AsWindow(owner), ProgressDialogProc, 0);
}

void Win32Host::DestroyDialog(WindowRef dialog) {
  if (!dialog) return;
  DropWaiting(dialog);
  if (dialog == pendingDialog_) pendingDialog_ = nullptr;
  DestroyWindow(AsWindow(dialog));
}

// Under Wine a window's text lives in the server, and setting it costs a
// round trip: as much as copying a small file. The text of a hidden dialog
// is therefore kept here and set when the dialog is shown (or when another
// dialog's text comes); a silent tree copy sets no text at all. A visible
// dialog gets its text at once: it tells what is happening now.
void Win32Host::SetControlText(WindowRef dialog, int controlId,
                               const char* text) {
  if (!dialog) return;
  if (pendingDialog_ && (pendingDialog_ != dialog || pendingControl_ != controlId)) {
    ApplyPendingText();
  }
  if (IsWindowVisible(AsWindow(dialog))) {
    pendingDialog_ = nullptr;
    SetDlgItemTextA(AsWindow(dialog), controlId, text);
    return;
  }
  KeepPendingText(dialog, controlId, text);
}

// No eye sees the texts between two paints a frame apart, so within a frame
// of the last paint the text is only kept; the caller paints with RepaintNow
// before a long step, and a text that comes after the frame is painted.
// Only the control whose text changed is painted then: the rest of the
// dialog is as it was, and a whole dialog's paint costs about 1.6 ms under
// Wine, more than a small file's copy.
void Win32Host::SetControlTextSoon(WindowRef dialog, int controlId,
                                   const char* text) {
  if (!dialog) return;
  if (dialog == lastPainted_ && GetTickCount() - lastPaintTick_ < kFrameMs &&
      (!pendingDialog_ ||
       (pendingDialog_ == dialog && pendingControl_ == controlId))) {
    KeepPendingText(dialog, controlId, text);
    return;
  }
  SetControlText(dialog, controlId, text);
  UpdateWindow(GetDlgItem(AsWindow(dialog), controlId));
  lastPainted_ = dialog;
  lastPaintTick_ = GetTickCount();
}

void Win32Host::KeepPendingText(WindowRef dialog, int controlId,
                                const char* text) {
  pendingDialog_ = dialog;
  pendingControl_ = controlId;
  CopyText(pendingText_, text);
}

void Win32Host::ApplyPendingText() {
  if (!pendingDialog_) return;
  SetDlgItemTextA(AsWindow(pendingDialog_), pendingControl_, pendingText_);
  pendingDialog_ = nullptr;
}

// Painted at once, with any text still kept for it: the text on screen must
// say what happens now, and the next step may be a long copy during which
// nothing paints. A dialog still waiting to be shown is shown now, with
// those of the runs around it; a hidden one has nothing to paint.
void Win32Host::RepaintNow(WindowRef dialog) {
  if (!dialog) return;
  int waiting = WaitingIndex(dialog);
  if (waiting >= 0) ShowWaiting(waiting + 1);
  if (!IsWindowVisible(AsWindow(dialog))) return;
  if (dialog == pendingDialog_) ApplyPendingText();
  InvalidateRect(AsWindow(dialog), nullptr, TRUE);
  UpdateWindow(AsWindow(dialog));
  lastPainted_ = dialog;
  lastPaintTick_ = GetTickCount();
}

void PumpPendingMessages(int limit) {
  MSG message;
  for (int i = 0; i < limit; ++i) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Under Wine a look at an empty queue costs about 43 microseconds, more than
// a statement or a small file copy; the windows need no more than a look
// every few milliseconds to stay responsive, so looks closer together than
// that are left out.
void Win32Host::PumpMessages(int limit) {
  DWORD now = GetTickCount();
  if (waitingCount_) ShowDueDialogs(now);
  if (now - lastPumpTick_ < kPumpIntervalMs) return;
  lastPumpTick_ = now;
  PumpPendingMessages(limit);
}

void Win32Host::UpdateMainWindow() {
  if (mainWindow_) UpdateWindow(mainWindow_);
}

void Win32Host::InvalidateMainWindow() {
  if (mainWindow_) InvalidateRect(mainWindow_, nullptr, FALSE);
}

// The runs' dialogs asked for before are shown before it, so that the
// windows stack and take the focus as in the order the script asked.
void Win32Host::ShowMainWindow(bool visible) {
  if (visible) ShowWaiting(waitingCount_);
  if (mainWindow_) ShowWindow(mainWindow_, visible ? SW_SHOWNORMAL : SW_HIDE);
}

int Win32Host::ShowMessageBox(const char* text, const char* caption,
                              int type) {
  // The runs' dialogs are behind the box, and it may tell about the step
  // their text names.
  ShowWaiting(waitingCount_);
  ApplyPendingText();
  int answer = MessageBoxA(mainWindow_, text, caption, static_cast<UINT>(type));
  if (journaled_) {
    char number[12];
    FormatDecimal(number, answer);
    Journal(*journaled_, "message box", {caption ? caption : "", ": ", text,
                                         " -> button ", number});
  }
  return answer;
}

void Win32Host::RequestReboot() { ExitWindowsEx(EWX_REBOOT, 0); }

unsigned short Win32Host::UserLanguageId() { return GetUserDefaultLangID(); }

// A failed call of Windows, with the system's own text for its code.
void Win32Host::LogFailure(const char* operation, const char* subject,
                           unsigned long code) {
  if (!journaled_) return;
  char raw[512];
  raw[0] = 0;  // stays empty when the system has no text for the code
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, raw, sizeof raw, nullptr);
  char text[600];
  ReadableSystemText(text, sizeof text, raw);
  char number[12];
  FormatDecimal(number, static_cast<long>(code));
  Journal(*journaled_, "failure", {operation, " ", subject, ": error ", number,
                                   text[0] ? " (" : "", text, text[0] ? ")" : ""});
}

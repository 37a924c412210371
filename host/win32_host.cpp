// Win32 implementation of the engine's host interface.
#include "host/win32_host.h"

#include <commctrl.h>

#include "dialogs/progress_dialog.h"
#include "dialogs/resource.h"
#include "host/install_state.h"

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
  return CreateDialogParamA(instance_, "PROGRESSWAITER", AsWindow(owner),
                            ProgressDialogProc, 0);
}

void Win32Host::ShowProgressDialog(WindowRef dialog) {
  if (dialog) ShowWindow(AsWindow(dialog), SW_SHOWNORMAL);
}

// A hidden dialog's bar is left alone: nobody sees it, and a dialog is
// shown before its bar is reset.
void Win32Host::ResetProgressBar(WindowRef dialog) {
  if (!dialog || !IsWindowVisible(AsWindow(dialog))) return;
  HWND bar = GetDlgItem(AsWindow(dialog), IDC_PROGRESS_BAR);
  PostMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  PostMessageA(bar, PBM_SETPOS, 0, 0);
  PostMessageA(bar, PBM_SETSTEP, 1, 0);
}

void Win32Host::DismissDialog(WindowRef dialog) {
  if (dialog) EndDialog(AsWindow(dialog), 0);
}

// The dialog is dismissed and kept for the next run with its owner; beyond
// the pool's size it is destroyed, so hidden windows never pile up.
void Win32Host::CloseProgressDialog(WindowRef dialog) {
  if (!dialog) return;
  HWND window = AsWindow(dialog);
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
  return CreateDialogParamA(instance_, "WAITER", AsWindow(owner),
                            ProgressDialogProc, 0);
}

void Win32Host::DestroyDialog(WindowRef dialog) {
  if (dialog) DestroyWindow(AsWindow(dialog));
}

void Win32Host::SetControlText(WindowRef dialog, int controlId,
                               const char* text) {
  if (dialog) SetDlgItemTextA(AsWindow(dialog), controlId, text);
}

// A dialog painted less than a frame ago is only invalidated: it paints
// again with the next pump that reaches it, and no eye sees the frames in
// between. A tree copy sets the status line once per file.
void Win32Host::RepaintNow(WindowRef dialog) {
  if (!dialog) return;
  InvalidateRect(AsWindow(dialog), nullptr, TRUE);
  DWORD now = GetTickCount();
  if (dialog == lastPainted_ && now - lastPaintTick_ < kFrameMs) return;
  UpdateWindow(AsWindow(dialog));
  lastPainted_ = dialog;
  lastPaintTick_ = now;
}

void PumpPendingMessages(int limit) {
  MSG message;
  for (int i = 0; i < limit; ++i) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void Win32Host::PumpMessages(int limit) { PumpPendingMessages(limit); }

void Win32Host::UpdateMainWindow() {
  if (mainWindow_) UpdateWindow(mainWindow_);
}

void Win32Host::InvalidateMainWindow() {
  if (mainWindow_) InvalidateRect(mainWindow_, nullptr, FALSE);
}

void Win32Host::ShowMainWindow(bool visible) {
  if (mainWindow_) ShowWindow(mainWindow_, visible ? SW_SHOWNORMAL : SW_HIDE);
}

int Win32Host::ShowMessageBox(const char* text, const char* caption,
                              int type) {
  return MessageBoxA(mainWindow_, text, caption, static_cast<UINT>(type));
}

void Win32Host::RequestReboot() { ExitWindowsEx(EWX_REBOOT, 0); }

void Win32Host::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void Win32Host::ClearFailureMarker() { ::ClearFailureMarker(effects_); }

void Win32Host::RecordInstallSuccess(const char* versionText) {
  ::RecordInstallSuccess(effects_, versionText);
}

unsigned short Win32Host::UserLanguageId() { return GetUserDefaultLangID(); }

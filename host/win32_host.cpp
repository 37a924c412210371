// Win32 implementation of the engine's host interface.
#include "host/win32_host.h"

#include <commctrl.h>

#include "dialogs/progress_dialog.h"
#include "dialogs/resource.h"
#include "host/install_state.h"

static HWND AsWindow(WindowRef ref) { return static_cast<HWND>(ref); }

WindowRef Win32Host::CreateProgressDialog(WindowRef owner) {
  return CreateDialogParamA(instance_, "PROGRESSWAITER", AsWindow(owner),
                            ProgressDialogProc, 0);
}

void Win32Host::ShowProgressDialog(WindowRef dialog) {
  if (dialog) ShowWindow(AsWindow(dialog), SW_SHOWNORMAL);
}

void Win32Host::ResetProgressBar(WindowRef dialog) {
  if (!dialog) return;
  HWND bar = GetDlgItem(AsWindow(dialog), IDC_PROGRESS_BAR);
  PostMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  PostMessageA(bar, PBM_SETPOS, 0, 0);
  PostMessageA(bar, PBM_SETSTEP, 1, 0);
}

void Win32Host::DismissDialog(WindowRef dialog) {
  if (dialog) EndDialog(AsWindow(dialog), 0);
}

// The dialog is destroyed as well as dismissed: a script that runs many
// sections (one per file line, say) would otherwise pile up hidden windows.
void Win32Host::CloseProgressDialog(WindowRef dialog) {
  if (!dialog) return;
  HWND window = AsWindow(dialog);
  SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
  EndDialog(window, 0);
  DestroyWindow(window);
}

void Win32Host::SetControlText(WindowRef dialog, int controlId,
                               const char* text) {
  if (dialog) SetDlgItemTextA(AsWindow(dialog), controlId, text);
}

void Win32Host::RepaintNow(WindowRef dialog) {
  if (!dialog) return;
  InvalidateRect(AsWindow(dialog), nullptr, TRUE);
  UpdateWindow(AsWindow(dialog));
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

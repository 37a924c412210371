// The engine's host interface implemented with Win32: progress dialogs from
// the program's resources, message boxes owned by the main window, the
// message pump, reboot and the install-state record through the effects.
#pragma once

#include <windows.h>

#include "script/effects.h"
#include "script/host.h"

struct Engine;

class Win32Host : public Host {
 public:
  explicit Win32Host(HINSTANCE instance) : instance_(instance) {}

  void SetMainWindow(HWND window) { mainWindow_ = window; }
  // Failures are journaled from now on (the engine's journal).
  void AttachJournal(Engine* engine) { journaled_ = engine; }
  void LogFailure(const char* operation, const char* subject,
                  unsigned long code) override;
  HWND MainWindow() const { return mainWindow_; }

  WindowRef CreateProgressDialog(WindowRef owner) override;
  void ShowProgressDialog(WindowRef dialog) override;
  void ResetProgressBar(WindowRef dialog) override;
  void DismissDialog(WindowRef dialog) override;
  void CloseProgressDialog(WindowRef dialog) override;
  WindowRef CreateWaitDialog(WindowRef owner) override;
  void DestroyDialog(WindowRef dialog) override;
  void SetControlText(WindowRef dialog, int controlId,
                      const char* text) override;
  void RepaintNow(WindowRef dialog) override;
  void SetControlTextSoon(WindowRef dialog, int controlId,
                          const char* text) override;
  void PumpMessages(int limit) override;
  void UpdateMainWindow() override;
  void InvalidateMainWindow() override;
  void ShowMainWindow(bool visible) override;
  int ShowMessageBox(const char* text, const char* caption,
                     int type) override;
  void RequestReboot() override;
  unsigned short UserLanguageId() override;

 private:
  // Dialogs waiting for their frame before they are shown, outermost
  // first, each with the tick at which it was asked for; beyond the list's
  // size a dialog is shown at once (ShowProgressDialog).
  struct WaitingDialog {
    HWND dialog;
    DWORD since;
  };
  static const int kWaitingMax = 128;  // twice the deepest nesting of runs
  WaitingDialog waiting_[kWaitingMax] = {};
  int waitingCount_ = 0;
  void ShowNow(HWND dialog);
  void ShowWaiting(int count);
  void ShowDueDialogs(DWORD now);
  int WaitingIndex(WindowRef dialog) const;
  void DropWaiting(WindowRef dialog);

  // Dismissed progress dialogs kept for the next run with the same owner.
  static const int kFreeDialogsMax = 64;
  HWND freeDialogs_[kFreeDialogsMax] = {};
  int freeDialogCount_ = 0;

  // The text of a hidden dialog, set when it is shown (SetControlText), or
  // of a visible one painted less than a frame ago (SetControlTextSoon).
  void KeepPendingText(WindowRef dialog, int controlId, const char* text);
  void ApplyPendingText();
  WindowRef pendingDialog_ = nullptr;
  int pendingControl_ = 0;
  char pendingText_[kMsgMax] = {};

  // The dialog painted last, and when (RepaintNow, SetControlTextSoon).
  static const DWORD kFrameMs = 16;
  WindowRef lastPainted_ = nullptr;
  DWORD lastPaintTick_ = 0;

  // When messages were last let through (PumpMessages).
  static const DWORD kPumpIntervalMs = 4;
  DWORD lastPumpTick_ = 0;


  HINSTANCE instance_;
  Engine* journaled_ = nullptr;
  HWND mainWindow_ = nullptr;
};

// Lets pending messages through without waiting: at most `limit`, and no
// more once a call finds the queue empty (a further call could only find
// what arrived in the meantime, which the next pump takes).
void PumpPendingMessages(int limit);

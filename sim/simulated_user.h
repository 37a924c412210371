// The screen and the user of a dry run. Nothing is shown: every message box
// is journaled ("message box") and answered with its first button (OK,
// Yes), as by a user who takes the defaults. The setup dialogs take an
// answer given in advance (/ANSWERS=) as setup.exe takes it; otherwise the
// simulated user takes the dialog's default (continue, agree, the first
// setup type, the mail server the prompt offers) and the journal says so.
// The journal's lines are kept, in order: they are the run's plan.
#pragma once

#include <string>
#include <vector>

#include "script/host.h"
#include "script/journal.h"

struct Engine;

// One journal line: "setup.ini:14" (or "" outside the script), "file
// copied", "D:\bin\a.exe -> C:\Vorn\bin\a.exe".
struct PlanStep {
  std::string place;
  std::string kind;
  std::string detail;
};

class SimulatedUser : public Host, public JournalSink {
 public:
  SimulatedUser(Engine& engine, unsigned short languageId)
      : engine_(engine), languageId_(languageId) {}

  std::vector<PlanStep> steps;  // the journal, in order

  void WriteLine(const char* text) override;

  WindowRef CreateProgressDialog(WindowRef) override { return NewWindow(); }
  void ShowProgressDialog(WindowRef) override {}
  void ResetProgressBar(WindowRef) override {}
  void DismissDialog(WindowRef) override {}
  void CloseProgressDialog(WindowRef) override {}
  WindowRef CreateWaitDialog(WindowRef) override { return NewWindow(); }
  void DestroyDialog(WindowRef) override {}
  void SetControlText(WindowRef, int, const char*) override {}
  void RepaintNow(WindowRef) override {}
  void SetControlTextSoon(WindowRef, int, const char*) override {}
  void PumpMessages(int) override {}
  void UpdateMainWindow() override {}
  void InvalidateMainWindow() override {}
  void ShowMainWindow(bool) override {}
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  void RequestReboot() override;
  unsigned short UserLanguageId() override { return languageId_; }
  void LogFailure(const char* operation, const char* subject, unsigned long code) override;

 private:
  // A distinct non-null window for each dialog.
  WindowRef NewWindow() { return &windows_[++windowCount_ % kWindows]; }

  static const int kWindows = 8;
  Engine& engine_;
  unsigned short languageId_;
  char windows_[kWindows] = {};
  int windowCount_ = 0;
};

// Binds IShowInstallDlg, ShowFile, SetupType and GetSMTPServer to the
// simulated user.
void BindSimulatedDialogs(Engine& engine);

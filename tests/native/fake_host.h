// A recording host for engine tests: every call becomes a line in `events`,
// message boxes take their answers from a queue, and dialogs are numbered.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "script/host.h"

class FakeHost : public Host {
 public:
  std::vector<std::string> events;
  std::deque<int> boxAnswers;  // results of the next message boxes
  int defaultAnswer = kIdOk;
  int dialogsCreated = 0;
  int pumpedLimitTotal = 0;
  unsigned short languageId = 0x0409;
  std::string statusLine;

  WindowRef CreateProgressDialog(WindowRef owner) override { return Create("dialog", owner); }
  void ShowProgressDialog(WindowRef d) override { Add("show " + Name(d)); }
  void ResetProgressBar(WindowRef d) override { Add("reset bar " + Name(d)); }
  void DismissDialog(WindowRef d) override { Add("dismiss " + Name(d)); }
  void CloseProgressDialog(WindowRef d) override { Add("close " + Name(d)); }
  WindowRef CreateWaitDialog(WindowRef owner) override { return Create("wait", owner); }
  void DestroyDialog(WindowRef d) override { Add("destroy " + Name(d)); }
  void SetControlText(WindowRef d, int id, const char* text) override {
    SetText("text ", d, id, text);
  }
  void RepaintNow(WindowRef d) override { Add("repaint " + Name(d)); }
  void SetControlTextSoon(WindowRef d, int id, const char* text) override {
    SetText("text soon ", d, id, text);
  }
  void PumpMessages(int limit) override { pumpedLimitTotal += limit; }
  void UpdateMainWindow() override {}
  void InvalidateMainWindow() override { Add("invalidate main"); }
  void ShowMainWindow(bool visible) override {
    Add(visible ? "main shown" : "main hidden");
  }
  int ShowMessageBox(const char* text, const char* caption,
                     int type) override {
    Add("box " + std::to_string(type) + " [" +
        (caption ? caption : "(default)") + "] " + text);
    if (boxAnswers.empty()) return defaultAnswer;
    int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
  }
  void RequestReboot() override { Add("reboot"); }
  unsigned short UserLanguageId() override { return languageId; }
  void LogFailure(const char* operation, const char* subject,
                  unsigned long code) override {
    Add(std::string("log ") + operation + " " + subject + " " +
        std::to_string(code));
  }

  // The events that start with `prefix`.
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& e : events) {
      if (e.compare(0, prefix.size(), prefix) == 0) found.push_back(e);
    }
    return found;
  }

 private:
  WindowRef Create(const char* kind, WindowRef owner) {
    WindowRef dialog = Ref(++dialogsCreated);
    Add(std::string("create ") + kind + " " + Name(dialog) + " owner " + Name(owner));
    return dialog;
  }
  void SetText(const char* kind, WindowRef d, int id, const char* text) {
    if (id == kStatusLineId) statusLine = text;
    Add(kind + Name(d) + " " + std::to_string(id) + " " + text);
  }
  static WindowRef Ref(int n) {
    return reinterpret_cast<WindowRef>(static_cast<size_t>(n));
  }
  static std::string Name(WindowRef w) {
    return w ? "d" + std::to_string(reinterpret_cast<size_t>(w)) : "main";
  }
  void Add(const std::string& e) { events.push_back(e); }
};

// One started program: its windows, its message boxes answered, its
// progress dialogs and what it paints.
#include <algorithm>
#include <set>

#include "robot_internal.h"

namespace robot {
namespace {

const DWORD kPressTimeoutMs = 5000;
const DWORD kTerminateWaitMs = 5000;

}  // namespace

Session::~Session() {
  if (process_ == nullptr) return;
  if (Running()) Terminate(1);
  CloseHandle(process_);
}

bool Session::Start(const std::string& exePath, const std::string& args,
                    const std::string& workDir) {
  if (process_ != nullptr) return false;
  std::string cmd = QuoteArg(exePath);
  if (!args.empty()) cmd += " " + args;
  std::vector<char> cmdLine(cmd.begin(), cmd.end());
  cmdLine.push_back('\0');  // CreateProcessA may write into the buffer

  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, cmdLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si,
                      &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool Session::Running() const {
  return process_ != nullptr &&
         WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Session::WaitForExit(DWORD timeoutMs, int* exitCode) {
  if (process_ == nullptr) return false;
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return false;
  if (exitCode != nullptr) *exitCode = static_cast<int>(code);
  return true;
}

void Session::Terminate(UINT code) {
  if (!Running()) return;
  TerminateProcess(process_, code);
  WaitForSingleObject(process_, kTerminateWaitMs);
}

void Session::NoteWindows(const std::vector<HWND>& zOrder) const {
  std::set<HWND> present(zOrder.begin(), zOrder.end());
  for (auto it = firstSeen_.begin(); it != firstSeen_.end();) {
    it = present.count(it->first) ? std::next(it) : firstSeen_.erase(it);
  }
  // New windows: the bottom one counts as the oldest.
  for (auto it = zOrder.rbegin(); it != zOrder.rend(); ++it) {
    if (firstSeen_.count(*it) == 0) firstSeen_[*it] = ++seenCounter_;
  }
}

std::vector<WindowInfo> Session::TopLevelWindows() const {
  std::vector<HWND> hwnds = WindowsOfProcess(pid_);
  NoteWindows(hwnds);
  std::vector<WindowInfo> out;
  for (HWND h : hwnds) {
    WindowInfo info;
    info.hwnd = h;
    info.className = ClassOf(h);
    if (info.className.empty()) continue;  // destroyed meanwhile
    info.caption = TextOf(h);
    info.visible = IsWindowVisible(h) != FALSE;
    out.push_back(info);
  }
  return out;
}

bool Session::FindMainWindow(WindowInfo* out) const {
  for (const WindowInfo& w : TopLevelWindows()) {
    if (w.className == "Install") {
      *out = w;
      return true;
    }
  }
  return false;
}

bool Session::FindMessageBox(MessageBoxInfo* box) const {
  for (HWND h : WindowsOfProcess(pid_)) {
    if (IsWindowVisible(h) && ReadMessageBox(h, box)) return true;
  }
  return false;
}

// Polls `find` until it finds; false when the program ended first or the
// time ran out.
template <typename Find>
bool WaitWhileRunning(const Session& session, DWORD timeoutMs, Find find) {
  bool found = false;
  PollUntil(timeoutMs, [&] { return (found = find()) || !session.Running(); });
  return found;
}

bool Session::WaitForMessageBox(MessageBoxInfo* box, DWORD timeoutMs) const {
  return WaitWhileRunning(*this, timeoutMs, [&] { return FindMessageBox(box); });
}

bool Session::FindDialog(int controlId, HWND* dialog) const {
  for (HWND h : WindowsOfProcess(pid_)) {
    if (IsWindowVisible(h) && IsWindowEnabled(h) && ClassOf(h) == "#32770" &&
        !(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) &&
        GetDlgItem(h, controlId) != nullptr && !IsMessageBox(h) &&
        !IsProgressDialog(h)) {
      *dialog = h;
      return true;
    }
  }
  return false;
}

bool Session::WaitForDialog(int controlId, DWORD timeoutMs,
                            HWND* dialog) const {
  return WaitWhileRunning(*this, timeoutMs, [&] { return FindDialog(controlId, dialog); });
}

bool Session::Press(const MessageBoxInfo& box, int buttonId) const {
  if (std::find(box.buttons.begin(), box.buttons.end(), buttonId) ==
      box.buttons.end()) {
    return false;
  }
  HWND button = GetDlgItem(box.hwnd, buttonId);
  PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  return PollUntil(kPressTimeoutMs,
                   [&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

std::vector<HWND> Session::VisibleProgressDialogs() const {
  std::vector<HWND> dialogs;
  std::vector<HWND> hwnds = WindowsOfProcess(pid_);
  NoteWindows(hwnds);
  for (HWND h : hwnds) {
    if (IsWindowVisible(h) && IsProgressDialog(h)) dialogs.push_back(h);
  }
  std::stable_sort(dialogs.begin(), dialogs.end(), [this](HWND a, HWND b) {
    return firstSeen_[a] < firstSeen_[b];
  });
  return dialogs;
}

std::string Session::StatusLine() const {
  std::vector<std::string> texts = VisibleProgressTexts();
  return texts.empty() ? "" : texts.back();
}

std::vector<std::string> Session::VisibleProgressTexts() const {
  std::vector<std::string> out;
  for (HWND h : VisibleProgressDialogs()) {
    out.push_back(TextOf(GetDlgItem(h, kStatusControlId)));
  }
  return out;
}

// The client area is copied from the screen into a top-down 32-bit DIB
// section and its pixels are compared in place.
int Session::CountClientPixels(HWND hwnd, COLORREF color) const {
  RECT rc;
  POINT origin = {0, 0};
  if (!GetClientRect(hwnd, &rc) || !ClientToScreen(hwnd, &origin)) return -1;
  const int width = rc.right, height = rc.bottom;
  if (width <= 0 || height <= 0) return 0;
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  RGBQUAD* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS,
                                    reinterpret_cast<void**>(&pixels), nullptr, 0);
  HGDIOBJ old = bitmap != nullptr ? SelectObject(memory, bitmap) : nullptr;
  bool copied = bitmap != nullptr &&
                BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  int count = 0;
  for (int i = 0; copied && i < width * height; ++i) {
    if (RGB(pixels[i].rgbRed, pixels[i].rgbGreen, pixels[i].rgbBlue) == (color & 0xFFFFFF)) {
      ++count;
    }
  }
  if (old != nullptr) SelectObject(memory, old);
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copied ? count : -1;
}

}  // namespace robot

#include "robot.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace robot {
namespace {

const UINT kTextTimeoutMs = 500;     // per WM_GETTEXT(LENGTH) round trip
const size_t kMaxTextChars = 65536;  // longer texts are cut
const DWORD kPollMs = 15;
const DWORD kPressTimeoutMs = 5000;
const DWORD kTerminateWaitMs = 5000;

bool SameNoCase(const std::string& a, const char* b) {
  return lstrcmpiA(a.c_str(), b) == 0;
}

// Direct children of `parent`, in z-order.
std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr;
       c = GetWindow(c, GW_HWNDNEXT)) {
    out.push_back(c);
  }
  return out;
}

bool IsStandardButtonId(int id) {
  return (id >= IDOK && id <= IDNO) || id == IDTRYAGAIN || id == IDCONTINUE;
}

bool IsIconStatic(HWND hwnd) {
  LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  return (style & SS_TYPEMASK) == SS_ICON;
}

// Text the system stores for the window; never waits for its owner.
std::string StoredText(HWND hwnd) {
  int len = GetWindowTextLengthA(hwnd);
  if (len <= 0) return "";
  size_t cap = std::min(static_cast<size_t>(len), kMaxTextChars) + 1;
  std::vector<char> buf(cap, '\0');
  int got = GetWindowTextA(hwnd, buf.data(), static_cast<int>(buf.size()));
  if (got <= 0) return "";
  return std::string(buf.data(), strnlen(buf.data(), cap - 1));
}

struct EnumState {
  DWORD pid;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectProcessWindow(HWND hwnd, LPARAM lParam) {
  EnumState* state = reinterpret_cast<EnumState*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == state->pid) state->out->push_back(hwnd);
  return TRUE;
}

// Top-level windows of process `pid`, topmost first.
std::vector<HWND> WindowsOfProcess(DWORD pid) {
  std::vector<HWND> out;
  if (pid == 0) return out;
  EnumState state = {pid, &out};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&state));
  return out;
}

}  // namespace

// ---- Window helpers ----

std::string ClassOf(HWND hwnd) {
  char buf[256];
  int len = GetClassNameA(hwnd, buf, sizeof(buf));
  if (len <= 0) return "";
  return std::string(buf, std::min(static_cast<size_t>(len), sizeof(buf) - 1));
}

std::string TextOf(HWND hwnd) {
  const UINT flags = SMTO_BLOCK | SMTO_ABORTIFHUNG;
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, flags, kTextTimeoutMs,
                           &len)) {
    return StoredText(hwnd);
  }
  if (len == 0) return "";
  size_t cap = std::min(static_cast<size_t>(len), kMaxTextChars) + 1;
  std::vector<char> buf(cap, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, cap,
                           reinterpret_cast<LPARAM>(buf.data()), flags,
                           kTextTimeoutMs, &copied)) {
    return StoredText(hwnd);
  }
  return std::string(buf.data(), strnlen(buf.data(), cap - 1));
}

bool IsMessageBox(HWND hwnd) {
  if (ClassOf(hwnd) != "#32770") return false;
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) return false;
  bool hasButton = false;
  for (HWND child : ChildrenOf(hwnd)) {
    std::string cls = ClassOf(child);
    if (SameNoCase(cls, "Static")) continue;
    if (!SameNoCase(cls, "Button")) return false;
    if (IsStandardButtonId(GetDlgCtrlID(child))) hasButton = true;
  }
  return hasButton;
}

bool ReadMessageBox(HWND hwnd, MessageBoxInfo* box) {
  if (!IsMessageBox(hwnd)) return false;
  MessageBoxInfo info;
  info.hwnd = hwnd;
  info.caption = TextOf(hwnd);
  std::vector<std::pair<LONG, int>> buttons;  // (screen x, id)
  for (HWND child : ChildrenOf(hwnd)) {
    std::string cls = ClassOf(child);
    if (SameNoCase(cls, "Static")) {
      if (IsIconStatic(child)) continue;
      std::string text = TextOf(child);
      if (text.empty()) continue;
      if (!info.text.empty()) info.text += "\n";
      info.text += text;
    } else if (IsWindowVisible(child)) {
      int id = GetDlgCtrlID(child);
      RECT rc;
      if (IsStandardButtonId(id) && GetWindowRect(child, &rc)) {
        buttons.push_back(std::make_pair(rc.left, id));
      }
    }
  }
  std::stable_sort(
      buttons.begin(), buttons.end(),
      [](const std::pair<LONG, int>& a, const std::pair<LONG, int>& b) {
        return a.first < b.first;
      });
  for (const auto& b : buttons) info.buttons.push_back(b.second);
  if (info.buttons.empty()) return false;
  *box = info;
  return true;
}

bool IsProgressDialog(HWND hwnd) {
  if (ClassOf(hwnd) != "#32770") return false;
  HWND bar = GetDlgItem(hwnd, kProgressControlId);
  return GetDlgItem(hwnd, kStatusControlId) != nullptr && bar != nullptr &&
         SameNoCase(ClassOf(bar), "msctls_progress32");
}

std::string ButtonName(int id) {
  switch (id) {
    case IDOK:
      return "OK";
    case IDCANCEL:
      return "Cancel";
    case IDABORT:
      return "Abort";
    case IDRETRY:
      return "Retry";
    case IDIGNORE:
      return "Ignore";
    case IDYES:
      return "Yes";
    case IDNO:
      return "No";
    case IDTRYAGAIN:
      return "TryAgain";
    case IDCONTINUE:
      return "Continue";
    default:
      return "#" + std::to_string(id);
  }
}

std::string OneLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string QuoteArg(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
    return arg;
  }
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, the quote itself escaped.
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');  // they precede the closing quote
  out += "\"";
  return out;
}

int ChooseButton(const MessageBoxInfo& box, int wanted) {
  if (box.buttons.empty()) return 0;
  if (std::find(box.buttons.begin(), box.buttons.end(), wanted) !=
      box.buttons.end()) {
    return wanted;
  }
  return box.buttons.front();
}

// ---- Session ----

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

  STARTUPINFOA si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
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

bool Session::WaitForMessageBox(MessageBoxInfo* box, DWORD timeoutMs) const {
  Deadline deadline(timeoutMs);
  for (;;) {
    if (FindMessageBox(box)) return true;
    if (!Running() || deadline.Passed()) return false;
    Sleep(kPollMs);
  }
}

bool Session::Press(const MessageBoxInfo& box, int buttonId) const {
  if (std::find(box.buttons.begin(), box.buttons.end(), buttonId) ==
      box.buttons.end()) {
    return false;
  }
  HWND button = GetDlgItem(box.hwnd, buttonId);
  PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  Deadline deadline(kPressTimeoutMs);
  for (;;) {
    if (!IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd)) return true;
    if (deadline.Passed()) return false;
    Sleep(kPollMs);
  }
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
  std::vector<HWND> dialogs = VisibleProgressDialogs();
  if (dialogs.empty()) return "";
  return TextOf(GetDlgItem(dialogs.back(), kStatusControlId));
}

std::vector<std::string> Session::VisibleProgressTexts() const {
  std::vector<std::string> out;
  for (HWND h : VisibleProgressDialogs()) {
    out.push_back(TextOf(GetDlgItem(h, kStatusControlId)));
  }
  return out;
}

int Session::CountClientPixels(HWND hwnd, COLORREF color) const {
  RECT rc;
  if (!GetClientRect(hwnd, &rc)) return -1;
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return 0;
  POINT origin = {0, 0};
  if (!ClientToScreen(hwnd, &origin)) return -1;

  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return -1;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  bool copied = false;
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y,
                    SRCCOPY) != FALSE;
    SelectObject(memory, old);  // GetDIBits wants it deselected
  }

  std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO bi;
  ZeroMemory(&bi, sizeof(bi));
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  int lines = 0;
  if (copied) {
    lines = GetDIBits(memory, bitmap, 0, height, pixels.data(), &bi,
                      DIB_RGB_COLORS);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (lines != height) return -1;

  int count = 0;
  for (const RGBQUAD& p : pixels) {
    if (p.rgbRed == GetRValue(color) && p.rgbGreen == GetGValue(color) &&
        p.rgbBlue == GetBValue(color)) {
      ++count;
    }
  }
  return count;
}

// ---- RunAnswering ----

Transcript RunAnswering(const std::string& exePath, const std::string& args,
                        const std::string& workDir, int answer,
                        DWORD timeoutMs) {
  Transcript t;
  Session session;
  if (!session.Start(exePath, args, workDir)) return t;
  Deadline deadline(timeoutMs);
  for (;;) {
    MessageBoxInfo box;
    if (session.FindMessageBox(&box)) {
      int button = ChooseButton(box, answer);
      t.boxes.push_back(box);
      t.pressed.push_back(button);
      if (!session.Press(box, button)) return t;  // stuck box: give up
      continue;
    }
    if (!session.Running()) {
      t.finished = session.WaitForExit(0, &t.exitCode);
      return t;
    }
    if (deadline.Passed()) return t;  // ~Session ends the program
    Sleep(kPollMs);
  }
}

// ---- EventLog ----

std::vector<std::string> EventLog::Poll(const Session& session) {
  // The status is read before the windows: a dialog that appears between
  // the two reads is then reported as shown before its status line.
  std::string status = session.StatusLine();
  std::vector<WindowInfo> windows = session.TopLevelWindows();

  std::vector<std::string> lines;
  auto line = [&lines](const WindowInfo& w, const char* what) {
    lines.push_back("window: " + w.className + " \"" + OneLine(w.caption) +
                    "\" " + what);
  };
  std::set<HWND> present;
  // Bottom first: windows that appeared together are reported oldest first.
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    const WindowInfo& w = *it;
    present.insert(w.hwnd);
    auto known = shown_.find(w.hwnd);
    if (known != shown_.end()) {
      if (w.visible) {
        known->second = w;
      } else {
        line(known->second, IsWindow(w.hwnd) ? "hidden" : "closed");
        shown_.erase(known);
      }
    } else if (w.visible && !IsMessageBox(w.hwnd)) {
      line(w, "shown");
      shown_[w.hwnd] = w;
    }
  }
  for (auto it = shown_.begin(); it != shown_.end();) {
    if (present.count(it->first)) {
      ++it;
    } else {
      line(it->second, "closed");
      it = shown_.erase(it);
    }
  }

  if (status != status_) {
    status_ = status;
    if (!status.empty()) lines.push_back("status: " + OneLine(status));
  }
  return lines;
}

}  // namespace robot

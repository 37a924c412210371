// The robot's view of windows of any process: classes and texts, message
// boxes and progress dialogs, and the texts it prints about them.
#include "robot_internal.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <set>

namespace robot {

bool SameNoCase(const std::string& a, const char* b) {
  return lstrcmpiA(a.c_str(), b) == 0;
}

namespace {

const UINT kTextTimeoutMs = 500;     // per WM_GETTEXT(LENGTH) round trip
const size_t kMaxTextChars = 1 << 20;  // longer texts are cut

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

// Not a group box, check box or radio button, which are buttons too.
bool IsPushButton(HWND hwnd) {
  LONG_PTR type = GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool IsIconStatic(HWND hwnd) {
  LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  return (style & SS_TYPEMASK) == SS_ICON;
}

// Room for a text of `len` characters and its NUL (longer ones are cut).
std::vector<char> TextBuffer(LRESULT len) {
  size_t chars = std::min(static_cast<size_t>(std::max<LRESULT>(len, 0)), kMaxTextChars);
  return std::vector<char>(chars + 1, '\0');
}

std::string BufferText(const std::vector<char>& buf) {
  return std::string(buf.data(), strnlen(buf.data(), buf.size() - 1));
}

// Text the system stores for the window; never waits for its owner.
std::string StoredText(HWND hwnd) {
  std::vector<char> buf = TextBuffer(GetWindowTextLengthA(hwnd));
  if (GetWindowTextA(hwnd, buf.data(), static_cast<int>(buf.size())) <= 0) return "";
  return BufferText(buf);
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

}  // namespace

std::vector<HWND> WindowsOfProcess(DWORD pid) {
  std::vector<HWND> out;
  if (pid == 0) return out;
  EnumState state = {pid, &out};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&state));
  return out;
}

std::string ClassOf(HWND hwnd) {
  char buf[256];
  int len = GetClassNameA(hwnd, buf, sizeof(buf));
  if (len <= 0) return "";
  return std::string(buf, std::min(static_cast<size_t>(len), sizeof(buf) - 1));
}

std::string TextOf(HWND hwnd) {
  LRESULT len = 0;
  if (!Send(hwnd, WM_GETTEXTLENGTH, 0, 0, &len, kTextTimeoutMs)) return StoredText(hwnd);
  if (len <= 0) return "";
  std::vector<char> buf = TextBuffer(len);
  if (!Send(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), nullptr,
            kTextTimeoutMs)) {
    return StoredText(hwnd);
  }
  return BufferText(buf);
}

bool IsMessageBox(HWND hwnd) {
  if (ClassOf(hwnd) != "#32770") return false;
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) return false;
  bool hasButton = false;
  for (HWND child : ChildrenOf(hwnd)) {
    std::string cls = ClassOf(child);
    if (SameNoCase(cls, "Static")) continue;
    if (!SameNoCase(cls, "Button") || !IsPushButton(child)) return false;
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
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
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
  static const char* const kNames[] = {"",   "OK", "Cancel", "Abort",    "Retry",   "Ignore",
                                       "Yes", "No", "",       "", "TryAgain", "Continue"};
  if (id > 0 && id <= IDCONTINUE && *kNames[id]) return kNames[id];
  return "#" + std::to_string(id);
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

}  // namespace robot

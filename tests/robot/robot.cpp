#include "robot.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <set>

namespace robot {
namespace {

const UINT kTextTimeoutMs = 500;     // per WM_GETTEXT(LENGTH) round trip
const size_t kMaxTextChars = 1 << 20;  // longer texts are cut
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

// Not a group box, check box or radio button, which are buttons too.
bool IsPushButton(HWND hwnd) {
  LONG_PTR type = GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
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

// ---- Dialogs and their controls ----

namespace {

const UINT kSendTimeoutMs = 5000;    // per round trip that acts
const size_t kTreeTextChars = 260;   // longer item texts are cut
const size_t kListTextChars = 1024;  // longer rows are cut

// SendMessageTimeoutA that gives up on a hung or slow thread.
bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr,
          UINT timeoutMs = kSendTimeoutMs) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                           timeoutMs, &answer)) {
    return false;
  }
  if (result != nullptr) *result = static_cast<LRESULT>(answer);
  return true;
}

// The process owning a window, open for its memory.
class WindowProcess {
 public:
  explicit WindowProcess(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const DWORD access =
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
    if (pid != 0) handle_ = OpenProcess(access, FALSE, pid);
  }
  WindowProcess(const WindowProcess&) = delete;
  WindowProcess& operator=(const WindowProcess&) = delete;
  ~WindowProcess() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// Waits after posting to `dialog` until its thread has handled what was
// posted, or the dialog was hidden or closed. Sent messages are handled
// before posted ones, so the first round trip may overtake what was posted;
// each later one is answered only once the thread has come back for a
// message after it. (Under Wine, WaitForInputIdle cannot tell: once the
// process has waited for input, it returns at once for good.)
bool Settle(HWND dialog, DWORD timeoutMs) {
  const int kRoundTrips = 3;
  const UINT kTripMs = 250;  // a busy thread is asked again
  Deadline deadline(timeoutMs);
  for (int trips = 0; trips < kRoundTrips;) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
    if (Send(dialog, WM_NULL, 0, 0, nullptr, kTripMs)) {
      ++trips;
      continue;
    }
    if (deadline.Passed()) return false;
    Sleep(kPollMs);
  }
  return true;
}

bool IsUsable(HWND control) {
  return control != nullptr && IsWindowVisible(control) &&
         IsWindowEnabled(control);
}

// Where a key pressed now would go: the focus of the dialog's thread when it
// lies in the dialog, else the dialog.
HWND KeyTarget(HWND dialog) {
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr &&
      (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus))) {
    return info.hwndFocus;
  }
  return dialog;
}

bool IsExtendedKey(UINT vk) {
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
      return true;
  }
  return false;
}

// Memory in another process, released with the object.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, size_t size) : process_(process) {
    if (process_ != nullptr) {
      address_ = static_cast<char*>(VirtualAllocEx(
          process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  char* address() const { return address_; }
  bool Write(const void* remote, const void* data, size_t size) const {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, const_cast<void*>(remote), data, size,
                              &done) &&
           done == size;
  }
  // Reads up to `size` bytes; a copy cut short at the end of the readable
  // memory gives what was read.
  size_t Read(const void* remote, void* data, size_t size) const {
    SIZE_T done = 0;
    if (!ReadProcessMemory(process_, remote, data, size, &done) && done == 0) {
      return 0;
    }
    return done;
  }

 private:
  HANDLE process_;
  char* address_ = nullptr;
};

// A TVITEMA and its text buffer, side by side in the tree's process.
struct RemoteTreeItem {
  TVITEMA item;
  char text[kTreeTextChars];
};

HTREEITEM NextTreeItem(HWND tree, UINT relation, HTREEITEM from) {
  LRESULT next = 0;
  if (!Send(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from),
            &next)) {
    return nullptr;
  }
  return reinterpret_cast<HTREEITEM>(next);
}

bool ReadTreeItem(HWND tree, const RemoteMemory& memory, HTREEITEM handle,
                  TreeItem* out) {
  auto* remote = reinterpret_cast<RemoteTreeItem*>(memory.address());
  TVITEMA item;
  ZeroMemory(&item, sizeof(item));
  item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
  item.hItem = handle;
  item.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
  item.pszText = remote->text;
  item.cchTextMax = static_cast<int>(kTreeTextChars);
  const char nothing = '\0';
  LRESULT ok = 0;
  if (!memory.Write(&remote->item, &item, sizeof(item)) ||
      !memory.Write(remote->text, &nothing, 1) ||
      !Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&remote->item),
            &ok) ||
      !ok || memory.Read(&remote->item, &item, sizeof(item)) != sizeof(item)) {
    return false;
  }
  // A text supplied through TVN_GETDISPINFO may lie in the dialog's own
  // buffer; it is in the tree's process either way.
  char text[kTreeTextChars] = "";
  size_t got = memory.Read(item.pszText, text, sizeof(text) - 1);
  out->handle = handle;
  out->text.assign(text, strnlen(text, got));
  out->hasButton =
      item.cChildren != 0 || NextTreeItem(tree, TVGN_CHILD, handle) != nullptr;
  out->expanded = (item.state & TVIS_EXPANDED) != 0;
  out->selected = (item.state & TVIS_SELECTED) != 0;
  return true;
}

// Appends `first` and its siblings with their subtrees, depth first.
bool CollectTreeItems(HWND tree, const RemoteMemory& memory, HTREEITEM first,
                      const std::string& parentPath, int level,
                      std::vector<TreeItem>* out) {
  for (HTREEITEM h = first; h != nullptr;
       h = NextTreeItem(tree, TVGN_NEXT, h)) {
    TreeItem item;
    if (!ReadTreeItem(tree, memory, h, &item)) return false;
    item.level = level;
    item.path = level == 0 ? item.text : parentPath + "\\" + item.text;
    out->push_back(item);
    HTREEITEM child = NextTreeItem(tree, TVGN_CHILD, h);
    if (!CollectTreeItems(tree, memory, child, item.path, level + 1, out)) {
      return false;
    }
  }
  return true;
}

bool FindTreeItem(HWND dialog, int id, const std::string& path,
                  TreeItem* found) {
  for (const TreeItem& item : TreeItems(dialog, id)) {
    if (SameNoCase(item.path, path.c_str())) {
      *found = item;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? TextOf(control) : "";
}

bool IsControlEnabled(HWND dialog, int id) {
  return IsUsable(GetDlgItem(dialog, id));
}

bool FocusControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return IsUsable(control) &&
         Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

bool ClickButton(HWND dialog, int id, DWORD timeoutMs) {
  HWND button = GetDlgItem(dialog, id);
  if (!IsUsable(button) || !SameNoCase(ClassOf(button), "Button")) {
    return false;
  }
  return PostMessageA(button, BM_CLICK, 0, 0) && Settle(dialog, timeoutMs);
}

// A key goes to the control that has the focus. Right after a dialog
// appears that control may still be changing (under Wine the post can then
// fail): the key is posted again until it is taken or the time is up.
bool PressKey(HWND dialog, UINT vk, DWORD timeoutMs) {
  LPARAM down =
      1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16);
  if (IsExtendedKey(vk)) down |= 1 << 24;
  const LPARAM up = down | 0xC0000000;  // previous state down, released
  Deadline deadline(timeoutMs);
  while (IsWindow(dialog)) {
    if (PostMessageA(KeyTarget(dialog), WM_KEYDOWN, vk, down)) {
      return PostMessageA(KeyTarget(dialog), WM_KEYUP, vk, up) &&
             Settle(dialog, timeoutMs);
    }
    if (deadline.Passed()) return false;
    Sleep(kPollMs);
  }
  return false;
}

bool CloseDialog(HWND dialog, DWORD timeoutMs) {
  if (!IsWindow(dialog)) return false;
  return PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) &&
         Settle(dialog, timeoutMs);
}

bool TypeText(HWND dialog, int id, const std::string& text) {
  HWND edit = GetDlgItem(dialog, id);
  if (!FocusControl(dialog, id) || !Send(edit, EM_SETSEL, 0, -1) ||
      !Send(edit, WM_CLEAR, 0, 0)) {
    return false;
  }
  for (char c : text) {
    WPARAM ch = c == '\n' ? '\r' : static_cast<unsigned char>(c);
    if (!Send(edit, WM_CHAR, ch, 1)) return false;
  }
  return true;
}

std::vector<TreeItem> TreeItems(HWND dialog, int id) {
  std::vector<TreeItem> items;
  HWND tree = GetDlgItem(dialog, id);
  if (tree == nullptr) return items;
  WindowProcess process(tree);
  RemoteMemory memory(process.handle(), sizeof(RemoteTreeItem));
  if (memory.address() == nullptr ||
      !CollectTreeItems(tree, memory, NextTreeItem(tree, TVGN_ROOT, nullptr),
                        "", 0, &items)) {
    items.clear();
  }
  return items;
}

bool SelectTreeItem(HWND dialog, int id, const std::string& path,
                    DWORD timeoutMs) {
  TreeItem item;
  HWND tree = GetDlgItem(dialog, id);
  if (!IsUsable(tree) || !FindTreeItem(dialog, id, path, &item)) return false;
  // Selected before the focus comes: a tree given the focus without a
  // selection would select its first item.
  LRESULT selected = 0;
  UINT ms = static_cast<UINT>(timeoutMs);
  return Send(tree, TVM_SELECTITEM, TVGN_CARET,
              reinterpret_cast<LPARAM>(item.handle), &selected, ms) &&
         selected && FocusControl(dialog, id);
}

bool ExpandTreeItem(HWND dialog, int id, const std::string& path,
                    DWORD timeoutMs) {
  TreeItem item;
  if (!FindTreeItem(dialog, id, path, &item)) return false;
  if (item.expanded) return true;
  if (!item.hasButton) return false;  // nothing a user could expand
  if (!SelectTreeItem(dialog, id, path, timeoutMs) ||
      !PressKey(dialog, VK_RIGHT, timeoutMs)) {
    return false;
  }
  return FindTreeItem(dialog, id, path, &item) && item.expanded;
}

bool ClickTreeItemButton(HWND dialog, int id, const std::string& path,
                         DWORD timeoutMs) {
  TreeItem item;
  HWND tree = GetDlgItem(dialog, id);
  if (!IsUsable(tree) || !FindTreeItem(dialog, id, path, &item) ||
      !item.hasButton) {
    return false;
  }
  // TVM_GETITEMRECT takes the item in the RECT it fills, in the tree's
  // process.
  WindowProcess process(tree);
  RemoteMemory memory(process.handle(), sizeof(RECT));
  RECT box = {};
  *reinterpret_cast<HTREEITEM*>(&box) = item.handle;
  LRESULT found = 0;
  if (memory.address() == nullptr || !memory.Write(memory.address(), &box, sizeof box) ||
      !Send(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(memory.address()),
            &found) ||
      !found || memory.Read(memory.address(), &box, sizeof box) != sizeof box) {
    return false;
  }
  LRESULT indent = 0;
  Send(tree, TVM_GETINDENT, 0, 0, &indent);
  // With lines at the root, the button of a level-n item is centred in the
  // (n+1)-th indent column.
  int x = static_cast<int>(indent) * item.level + static_cast<int>(indent) / 2;
  int y = (box.top + box.bottom) / 2;
  LPARAM at = MAKELPARAM(x, y);
  return PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
         PostMessageA(tree, WM_LBUTTONUP, 0, at) && Settle(dialog, timeoutMs);
}

// Rows are fetched as UTF-16 and converted here: under Wine, LB_GETTEXT
// sent with SendMessageTimeoutA to a list box of another process came back
// as unconverted UTF-16.
std::vector<std::string> ListItems(HWND dialog, int id) {
  std::vector<std::string> rows;
  HWND list = GetDlgItem(dialog, id);
  LRESULT count = 0;
  if (list == nullptr || !Send(list, LB_GETCOUNT, 0, 0, &count)) return rows;
  const UINT flags = SMTO_BLOCK | SMTO_ABORTIFHUNG;
  for (LRESULT i = 0; i < count; ++i) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, flags, kSendTimeoutMs,
                             &len) ||
        static_cast<LRESULT>(len) < 0 || len > kListTextChars) {
      break;
    }
    std::vector<wchar_t> wide(len + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXT, i,
                             reinterpret_cast<LPARAM>(wide.data()), flags,
                             kSendTimeoutMs, &got)) {
      break;
    }
    int wideLen = static_cast<int>(wcsnlen(wide.data(), wide.size()));
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLen, nullptr, 0,
                                    nullptr, nullptr);
    std::string row(static_cast<size_t>(std::max(bytes, 0)), '\0');
    if (bytes > 0) {
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLen, &row[0], bytes,
                          nullptr, nullptr);
    }
    rows.push_back(row);
  }
  return rows;
}

int ListSelection(HWND dialog, int id) {
  LRESULT index = LB_ERR;
  HWND list = GetDlgItem(dialog, id);
  if (list == nullptr || !Send(list, LB_GETCURSEL, 0, 0, &index)) return -1;
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

bool SelectListItem(HWND dialog, int id, int index, DWORD timeoutMs) {
  HWND list = GetDlgItem(dialog, id);
  LRESULT result = LB_ERR;
  if (!IsUsable(list) || index < 0 ||
      !Send(list, LB_SETCURSEL, index, 0, &result) || result != index) {
    return false;
  }
  if (!(GetWindowLongPtrA(list, GWL_STYLE) & LBS_NOTIFY)) return true;
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(list)) &&
         Settle(dialog, timeoutMs);
}

bool DoubleClickListItem(HWND dialog, int id, int index, DWORD timeoutMs) {
  HWND list = GetDlgItem(dialog, id);
  LRESULT count = 0, top = 0, height = 0;
  RECT client;
  if (!IsUsable(list) || !Send(list, LB_GETCOUNT, 0, 0, &count) || index < 0 ||
      index >= count || !Send(list, LB_GETITEMHEIGHT, 0, 0, &height) ||
      height <= 0 || !GetClientRect(list, &client) ||
      !Send(list, LB_GETTOPINDEX, 0, 0, &top)) {
    return false;
  }
  const LRESULT shown = std::max<LRESULT>(1, client.bottom / height);
  if (index < top || index >= top + shown) {
    if (!Send(list, LB_SETTOPINDEX, index, 0) ||
        !Send(list, LB_GETTOPINDEX, 0, 0, &top)) {
      return false;
    }
  }
  const LPARAM at =
      MAKELPARAM(client.right / 2, (index - top) * height + height / 2);
  return PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
         PostMessageA(list, WM_LBUTTONUP, 0, at) &&
         PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at) &&
         PostMessageA(list, WM_LBUTTONUP, 0, at) && Settle(dialog, timeoutMs);
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
  Deadline deadline(timeoutMs);
  for (;;) {
    if (FindDialog(controlId, dialog)) return true;
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

// Driving the controls of a dialog of any process as a user would: clicks,
// keys, typed text and list rows, each followed by the wait until the
// dialog has taken it.
#include <algorithm>
#include <cwchar>
#include <iterator>

#include "robot_internal.h"

namespace robot {
namespace {

const size_t kListTextChars = 1024;  // longer rows are cut

// Where a key pressed now would go: the focus of the dialog's thread when it
// lies in the dialog, else the dialog.
HWND KeyTarget(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr &&
      (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus))) {
    return info.hwndFocus;
  }
  return dialog;
}

bool IsExtendedKey(UINT vk) {
  static const UINT kExtended[] = {VK_LEFT, VK_RIGHT, VK_UP,   VK_DOWN,   VK_HOME,
                                   VK_END,  VK_PRIOR, VK_NEXT, VK_INSERT, VK_DELETE};
  return std::find(std::begin(kExtended), std::end(kExtended), vk) != std::end(kExtended);
}

}  // namespace

bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result,
          UINT timeoutMs) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                           timeoutMs, &answer)) {
    return false;
  }
  if (result != nullptr) *result = static_cast<LRESULT>(answer);
  return true;
}

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
  auto keyDown = [&] {
    return !IsWindow(dialog) || PostMessageA(KeyTarget(dialog), WM_KEYDOWN, vk, down);
  };
  return PollUntil(timeoutMs, keyDown) && IsWindow(dialog) &&
         PostMessageA(KeyTarget(dialog), WM_KEYUP, vk, up) && Settle(dialog, timeoutMs);
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
    char row[kListTextChars * 4];  // room for any code page's bytes
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(),
                                    static_cast<int>(wcsnlen(wide.data(), wide.size())), row,
                                    sizeof row, nullptr, nullptr);
    rows.emplace_back(row, static_cast<size_t>(std::max(bytes, 0)));
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

}  // namespace robot

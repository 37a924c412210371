// UI robot for end-to-end tests: starts a Win32 program, watches its
// top-level windows, reads and answers its message boxes, drives the
// controls of its dialogs, reads the status lines of its progress dialogs
// and samples colours on screen.
//
// Everything here is ANSI Win32 and works on windows of another process.
// Texts are read with WM_GETTEXT through SendMessageTimeoutA, so a busy
// program cannot hang the robot.
#ifndef ROBOT_ROBOT_H
#define ROBOT_ROBOT_H

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "dialogs/resource.h"

namespace robot {

// Control ids of the setup program's progress dialog.
const int kStatusControlId = IDC_STATUS_LINE;       // static: status line
const int kProgressControlId = IDC_PROGRESS_BAR;  // msctls_progress32

struct WindowInfo {
  HWND hwnd = nullptr;
  std::string className;
  std::string caption;
  bool visible = false;
};

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;          // the message, statics joined by "\n"
  std::vector<int> buttons;  // command ids (IDOK, IDYES...), left to right
};

// ---- Window helpers (any process) ----

// Class name of `hwnd`, "" when it is gone.
std::string ClassOf(HWND hwnd);

// Window text of `hwnd` via WM_GETTEXT (SendMessageTimeoutA). When the owner
// thread does not answer in time, falls back to the text the system keeps
// for the window (GetWindowTextA), which needs no answer.
std::string TextOf(HWND hwnd);

// True for a top-level "#32770" dialog whose children are only statics and
// push buttons, with at least one button carrying a standard command id.
// Any other control (an edit, a list, a tree, a group box or check box,
// which are buttons too) makes it a dialog of the program's own.
bool IsMessageBox(HWND hwnd);

// Fills `box` from a message box window; false when `hwnd` is not one.
bool ReadMessageBox(HWND hwnd, MessageBoxInfo* box);

// True for a "#32770" window holding controls 1001 and 1003 (progress bar).
bool IsProgressDialog(HWND hwnd);

// "OK", "Cancel", "Yes", "No", ... for a command id; "#<id>" for others.
std::string ButtonName(int id);

// Text for one-line logs: CR LF, lone LF and lone CR become the two
// characters "\n". Nothing else is changed.
std::string OneLine(const std::string& text);

// Quotes one argument so that the C runtime's command-line parser hands it
// back unchanged (spaces, tabs, quotes, trailing backslashes, "").
std::string QuoteArg(const std::string& arg);

// The button to press for `wanted` (a command id, or 0 for "the first
// button"): `wanted` when the box has it, else the first button; 0 when the
// box has no buttons.
int ChooseButton(const MessageBoxInfo& box, int wanted);

// ---- Dialogs and their controls (any process) ----
//
// Controls are named by the dialog and their id. Everything acts as a user
// would: keys and clicks are posted, so that the dialog's own message loop
// (IsDialogMessage for a modal dialog) sees them, and the dialog hears of
// every change through the notifications a user's action gives. A function
// that posts then waits, at most `timeoutMs`, until the dialog was hidden
// or closed or its thread has answered round trips sent after the action;
// false when the action could not be done or the thread did not answer.
// A dialog that the action opens may still be on its way: wait for it with
// Session::WaitForDialog.
//
// Tree views are read through memory in the program's process: the robot
// and the program must both be 64-bit or both 32-bit.

// Text of control `id` ("" when there is none).
std::string ControlText(HWND dialog, int id);

// True when control `id` exists, is visible and is enabled.
bool IsControlEnabled(HWND dialog, int id);

// Gives control `id` the keyboard focus (WM_NEXTDLGCTL, as a tab to it
// would; an edit gets its text selected). Done when it returns.
bool FocusControl(HWND dialog, int id);

// Clicks button `id` (BM_CLICK: pressed, released, BN_CLICKED to the
// dialog). False when the button is missing, hidden or disabled.
bool ClickButton(HWND dialog, int id, DWORD timeoutMs);

// Presses and releases virtual key `vk` (VK_RETURN, VK_ESCAPE, VK_DOWN...)
// on the control that has the focus in `dialog`, or on the dialog when the
// focus is elsewhere. Enter and Escape thus reach the dialog manager.
bool PressKey(HWND dialog, UINT vk, DWORD timeoutMs);

// The close box: WM_SYSCOMMAND/SC_CLOSE, which a dialog answers with
// WM_CLOSE and then IDCANCEL.
bool CloseDialog(HWND dialog, DWORD timeoutMs);

// Replaces the text of edit `id` by typing `text`: the old text is
// selected and cleared, then each character is a WM_CHAR, so that the
// edit's limit (EM_LIMITTEXT) and styles apply. "\n" types Enter ('\r').
// The characters are sent, not posted: done when it returns. Read the
// result back with ControlText.
bool TypeText(HWND dialog, int id, const std::string& text);

struct TreeItem {
  HTREEITEM handle = nullptr;
  std::string text;
  std::string path;        // texts from the root item down, joined by "\\"
  int level = 0;           // 0 for items at the root
  bool hasButton = false;  // shows "+": child items, or children announced
  bool expanded = false;
  bool selected = false;
};

// The items of tree view `id` (children of collapsed items too), depth
// first in display order. Empty when the tree cannot be read.
std::vector<TreeItem> TreeItems(HWND dialog, int id);

// Selects the item at `path` (texts compared without case), as a click on
// it would: the dialog gets TVN_SELCHANGING/TVN_SELCHANGED and the tree the
// focus. Items on the way must already be in the tree.
bool SelectTreeItem(HWND dialog, int id, const std::string& path,
                    DWORD timeoutMs);

// Expands the item at `path` as the keyboard would (select it, then the
// right arrow): the dialog gets TVN_ITEMEXPANDING and may fill it first.
// True when the item is expanded afterwards (at once if it already was);
// false without acting for an item that shows no expand button.
bool ExpandTreeItem(HWND dialog, int id, const std::string& path,
                    DWORD timeoutMs);

// Clicks the expand button of the item at `path` with the mouse, as a user
// would: the item expands or collapses without being selected.
bool ClickTreeItemButton(HWND dialog, int id, const std::string& path,
                         DWORD timeoutMs);

// Rows of list box `id`.
std::vector<std::string> ListItems(HWND dialog, int id);

// Index of the selected row of list box `id`, -1 for none.
int ListSelection(HWND dialog, int id);

// Selects row `index` as a user's click would: LB_SETCURSEL, then
// LBN_SELCHANGE to the dialog when the list has LBS_NOTIFY.
bool SelectListItem(HWND dialog, int id, int index, DWORD timeoutMs);

// Double-clicks row `index` with the mouse (scrolled into view first): the
// list selects it and, with LBS_NOTIFY, sends LBN_SELCHANGE and LBN_DBLCLK.
bool DoubleClickListItem(HWND dialog, int id, int index, DWORD timeoutMs);

// ---- Session: one started program ----

class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // Ends the program if it still runs (TerminateProcess) and closes handles.
  ~Session();

  // Starts `exePath` with the raw command-line tail `args` in `workDir`
  // ("" = the robot's current directory). False if it could not start or a
  // program was already started by this session.
  bool Start(const std::string& exePath, const std::string& args,
             const std::string& workDir);

  DWORD ProcessId() const { return pid_; }
  bool Running() const;

  // Waits up to `timeoutMs` for the program to end. The exit code is the
  // DWORD seen as a signed int, so ExitProcess(-1) reads as -1.
  bool WaitForExit(DWORD timeoutMs, int* exitCode);

  // Ends the program now (exit code `code`) and waits for it to go.
  void Terminate(UINT code);

  // All top-level windows of the process, visible and hidden, in z-order
  // (topmost first).
  std::vector<WindowInfo> TopLevelWindows() const;

  // The window of class "Install", visible or not.
  bool FindMainWindow(WindowInfo* out) const;

  // The visible message box of the process open now, without waiting.
  bool FindMessageBox(MessageBoxInfo* box) const;

  // Waits until the process shows a message box. False when the process
  // ended first or `timeoutMs` ran out. Returns the same box again until it
  // is answered.
  bool WaitForMessageBox(MessageBoxInfo* box, DWORD timeoutMs) const;

  // A visible, enabled dialog of the process holding a control with id
  // `controlId`, topmost first; message boxes and progress dialogs do not
  // count. Without waiting.
  bool FindDialog(int controlId, HWND* dialog) const;

  // Waits until FindDialog finds one. False when the process ended first or
  // `timeoutMs` ran out.
  bool WaitForDialog(int controlId, DWORD timeoutMs, HWND* dialog) const;

  // Clicks `buttonId` in `box` (posts WM_COMMAND/BN_CLICKED to the box) and
  // waits until the box is hidden or destroyed. False when the box has no
  // such button or is still there after a few seconds.
  bool Press(const MessageBoxInfo& box, int buttonId) const;

  // Visible progress dialogs, oldest first: in the order the robot first saw
  // them, windows first seen together ordered by z-order (lower = older).
  std::vector<HWND> VisibleProgressDialogs() const;

  // Status line (control 1001) of the newest visible progress dialog, ""
  // when none is visible.
  std::string StatusLine() const;

  // Status lines of all visible progress dialogs, oldest first (the last
  // one equals StatusLine()).
  std::vector<std::string> VisibleProgressTexts() const;

  // Captures the client area of `hwnd` from the screen and counts pixels of
  // exactly `color`. Covered parts count as whatever covers them. -1 when
  // the capture failed.
  int CountClientPixels(HWND hwnd, COLORREF color) const;

 private:
  // Remembers when each window was first seen; forgets windows gone.
  void NoteWindows(const std::vector<HWND>& zOrder) const;

  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  mutable std::map<HWND, unsigned long> firstSeen_;
  mutable unsigned long seenCounter_ = 0;
};

// A point in time `ms` milliseconds from its construction (GetTickCount;
// durations up to 49 days).
class Deadline {
 public:
  explicit Deadline(DWORD ms) : start_(GetTickCount()), ms_(ms) {}
  bool Passed() const { return GetTickCount() - start_ >= ms_; }

 private:
  DWORD start_;
  DWORD ms_;
};

const DWORD kPollMs = 15;  // the pause between two looks

// Asks `done` every kPollMs until it says true (then true) or `timeoutMs`
// has passed (then false); asked at least once.
template <typename Done>
bool PollUntil(DWORD timeoutMs, Done done) {
  Deadline deadline(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (deadline.Passed()) return false;
    Sleep(kPollMs);
  }
}

}  // namespace robot

#endif  // ROBOT_ROBOT_H

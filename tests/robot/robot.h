// UI robot for end-to-end tests: starts a Win32 program, watches its
// top-level windows, reads and answers its message boxes, reads the status
// lines of its progress dialogs and samples colours on screen.
//
// Everything here is ANSI Win32 and works on windows of another process.
// Texts are read with WM_GETTEXT through SendMessageTimeoutA, so a busy
// program cannot hang the robot.
#ifndef ROBOT_ROBOT_H
#define ROBOT_ROBOT_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace robot {

// Control ids of the setup program's progress dialog.
const int kStatusControlId = 1001;    // static: status line
const int kProgressControlId = 1003;  // msctls_progress32

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

// ---- Running a program to its end ----

struct Transcript {
  std::vector<MessageBoxInfo> boxes;  // in the order they appeared
  std::vector<int> pressed;           // button pressed for each box
  int exitCode = 0;
  bool finished = false;  // false: could not start, or timed out and killed
};

// Starts the program, answers every message box with ChooseButton(box,
// `answer`) and waits for its end, at most `timeoutMs` in all.
Transcript RunAnswering(const std::string& exePath, const std::string& args,
                        const std::string& workDir, int answer,
                        DWORD timeoutMs);

// ---- Event log for the command-line robot ----

// Compares successive looks at a program and returns what changed, one line
// per event:
//   window: <class> "<caption>" shown|hidden|closed
//   status: <text>
// Message boxes are left out (the caller reports them when answering).
// A status line is reported when the newest visible one changes to a
// non-empty text.
class EventLog {
 public:
  std::vector<std::string> Poll(const Session& session);

 private:
  std::map<HWND, WindowInfo> shown_;  // windows reported as shown
  std::string status_;
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

}  // namespace robot

#endif  // ROBOT_ROBOT_H

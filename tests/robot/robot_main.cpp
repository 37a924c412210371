// robot.exe: runs a program to its end, answering its message boxes, and
// prints what it shows, one event per line (LF line ends, flushed):
//
//   window: <class> "<caption>" shown|hidden|closed
//   status: <status line of the newest visible progress dialog>
//   box: "<caption>" "<text>" -> <button pressed>
//   dialog: "<caption>" -> OK      (a dialog of the program's own, accepted)
//   exit: <exit code>
//   timeout: <seconds> s, program terminated
//
// Line breaks inside texts are printed as \n. PROGRAM is found the way
// CreateProcess finds it (robot's folder, current folder, PATH), not in DIR.
// Exit status: the program's exit code; 124 on timeout; 125 when the robot
// itself failed (bad usage, program did not start).
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "robot.h"

namespace {

// Compares successive looks at a program and returns what changed, one line
// per event:
//   window: <class> "<caption>" shown|hidden|closed
//   status: <text>
// Message boxes are left out (the caller reports them when answering).
// A status line is reported when the newest visible one changes to a
// non-empty text.
class EventLog {
 public:
  std::vector<std::string> Poll(const robot::Session& session);

 private:
  std::map<HWND, robot::WindowInfo> shown_;  // windows reported as shown
  std::string status_;
};

std::vector<std::string> EventLog::Poll(const robot::Session& session) {
  // The status is read before the windows: a dialog that appears between
  // the two reads is then reported as shown before its status line.
  std::string status = session.StatusLine();
  std::vector<robot::WindowInfo> windows = session.TopLevelWindows();

  std::vector<std::string> lines;
  auto line = [&lines](const robot::WindowInfo& w, const char* what) {
    lines.push_back("window: " + w.className + " \"" + robot::OneLine(w.caption) +
                    "\" " + what);
  };
  std::set<HWND> present;
  // Bottom first: windows that appeared together are reported oldest first.
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    const robot::WindowInfo& w = *it;
    present.insert(w.hwnd);
    auto known = shown_.find(w.hwnd);
    if (known != shown_.end()) {
      if (w.visible) {
        known->second = w;
      } else {
        line(known->second, IsWindow(w.hwnd) ? "hidden" : "closed");
        shown_.erase(known);
      }
    } else if (w.visible && !robot::IsMessageBox(w.hwnd)) {
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
    if (!status.empty()) lines.push_back("status: " + robot::OneLine(status));
  }
  return lines;
}

const int kExitTimeout = 124;
const int kExitRobotFailed = 125;

struct Options {
  double timeoutSeconds = 60;
  int answer = 0;  // 0: first button
  std::string cwd;
  std::string program;
  std::string args;
};

void Usage() {
  std::fprintf(stderr,
               "usage: robot.exe [--timeout SECONDS] "
               "[--answer default|ok|cancel|yes|no] [--cwd DIR] "
               "PROGRAM [ARGS...]\n");
}

// "default" (the first button), or a button's name in lower case.
bool ParseAnswer(const char* text, int* answer) {
  for (int id : {0, IDOK, IDCANCEL, IDYES, IDNO}) {
    std::string name = id == 0 ? "default" : robot::ButtonName(id);
    CharLowerA(&name[0]);
    if (name == text) {
      *answer = id;
      return true;
    }
  }
  return false;
}

// Options come first; PROGRAM and everything after it go to the program.
bool ParseOptions(int argc, char** argv, Options* o) {
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    std::string name = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (name == "--timeout") {
      char* end = nullptr;
      o->timeoutSeconds = std::strtod(value, &end);
      if (end == value || *end != '\0' || !(o->timeoutSeconds > 0)) {
        return false;
      }
    } else if (name == "--answer") {
      if (!ParseAnswer(value, &o->answer)) return false;
    } else if (name == "--cwd") {
      o->cwd = value;
    } else {
      return false;
    }
  }
  if (i >= argc) return false;
  o->program = argv[i++];
  for (; i < argc; ++i) {
    if (!o->args.empty()) o->args += " ";
    o->args += robot::QuoteArg(argv[i]);
  }
  return true;
}

void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(line);
}

// Logs the box and presses the chosen button.
void Answer(const robot::Session& session, const robot::MessageBoxInfo& box,
            int answer) {
  int button = robot::ChooseButton(box, answer);
  PrintLine("box: \"" + robot::OneLine(box.caption) + "\" \"" +
            robot::OneLine(box.text) + "\" -> " + robot::ButtonName(button));
  if (!session.Press(box, button)) PrintLine("error: the box did not close");
}

// Accepts a dialog of the program's own with its enabled OK button, as a
// user who takes every default would.
bool AcceptDialog(const robot::Session& session) {
  HWND dialog = nullptr;
  if (!session.FindDialog(IDOK, &dialog) || !robot::IsControlEnabled(dialog, IDOK)) {
    return false;
  }
  PrintLine("dialog: \"" + robot::OneLine(robot::TextOf(dialog)) + "\" -> OK");
  if (!robot::ClickButton(dialog, IDOK, 5000)) PrintLine("error: OK did not take");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // LF line ends for the reader
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    Usage();
    return kExitRobotFailed;
  }
  robot::Session session;
  if (!session.Start(options.program, options.args, options.cwd)) {
    std::fprintf(stderr, "robot: cannot start %s (error %lu)\n",
                 options.program.c_str(), GetLastError());
    return kExitRobotFailed;
  }

  EventLog log;
  robot::Deadline deadline(static_cast<DWORD>(options.timeoutSeconds * 1000));
  for (;;) {
    PrintLines(log.Poll(session));
    robot::MessageBoxInfo box;
    if (session.FindMessageBox(&box)) {
      PrintLines(log.Poll(session));  // what was shown before the box
      Answer(session, box, options.answer);
      continue;
    }
    if (AcceptDialog(session)) continue;
    if (!session.Running()) break;
    if (deadline.Passed()) {
      session.Terminate(kExitTimeout);
      char line[64];
      std::snprintf(line, sizeof(line), "timeout: %g s, program terminated",
                    options.timeoutSeconds);
      PrintLine(line);
      return kExitTimeout;
    }
    Sleep(robot::kPollMs);
  }

  PrintLines(log.Poll(session));
  int code = 0;
  if (!session.WaitForExit(INFINITE, &code)) return kExitRobotFailed;
  PrintLine("exit: " + std::to_string(code));
  return code;
}

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
#include <string>

#include "robot.h"

namespace {

const int kExitTimeout = 124;
const int kExitRobotFailed = 125;
const DWORD kPollMs = 15;

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

bool ParseAnswer(const char* text, int* answer) {
  static const struct {
    const char* name;
    int id;
  } kAnswers[] = {{"default", 0},
                  {"ok", IDOK},
                  {"cancel", IDCANCEL},
                  {"yes", IDYES},
                  {"no", IDNO}};
  for (const auto& a : kAnswers) {
    if (std::strcmp(text, a.name) == 0) {
      *answer = a.id;
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

  robot::EventLog log;
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
    Sleep(kPollMs);
  }

  PrintLines(log.Poll(session));
  int code = 0;
  if (!session.WaitForExit(INFINITE, &code)) return kExitRobotFailed;
  PrintLine("exit: " + std::to_string(code));
  return code;
}

// Tests of the UI robot against robot_target.exe, which must lie next to
// this test program (robot.exe too, for the command-line tests).
#include "robot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

const DWORD kWaitMs = 20000;

std::string ExeDir() {
  char path[MAX_PATH];
  DWORD len = GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string dir(path, len < sizeof(path) ? len : 0);
  size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? "" : dir.substr(0, slash + 1);
}

std::string Target() { return ExeDir() + "robot_target.exe"; }
std::string Robot() { return ExeDir() + "robot.exe"; }

// Waits for the next box and checks it is the one expected.
robot::MessageBoxInfo ExpectBox(const robot::Session& session,
                                const std::string& text,
                                const std::vector<int>& buttons) {
  robot::MessageBoxInfo box;
  EXPECT_TRUE(session.WaitForMessageBox(&box, kWaitMs))
      << "waiting for " << text;
  EXPECT_EQ("Robot Target", box.caption);
  EXPECT_EQ(text, box.text);
  EXPECT_EQ(buttons, box.buttons);
  return box;
}

struct CliResult {
  std::vector<std::string> lines;  // stdout and stderr, split at LF
  int exitCode = -999;
};

// Runs robot.exe with `args` (each quoted) and collects what it prints.
// The output goes to a file, read once robot.exe has ended: a pipe would
// not do, as a process that Wine starts meanwhile (its desktop process,
// say) may inherit the write end and keep it open for good.
CliResult RunRobot(const std::vector<std::string>& args) {
  CliResult result;
  std::string cmd = robot::QuoteArg(Robot());
  for (const std::string& a : args) cmd += " " + robot::QuoteArg(a);
  char outPath[MAX_PATH];
  if (!GetTempFileNameA(ExeDir().c_str(), "cli", 0, outPath)) return result;
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE out = CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &sa,
                           CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = out;
  PROCESS_INFORMATION pi = {};
  if (out != INVALID_HANDLE_VALUE &&
      CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(pi.hProcess, &code)) {
      result.exitCode = static_cast<int>(code);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  std::ifstream printed(outPath, std::ios::binary);
  for (std::string line; std::getline(printed, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // stderr's text mode
    result.lines.push_back(line);
  }
  printed.close();
  DeleteFileA(outPath);
  return result;
}

// A test that drives robot_target.exe in one of its modes.
class TargetRun : public ::testing::Test {
 protected:
  void Start(const char* mode) { ASSERT_TRUE(session.Start(Target(), mode, "")); }
  // Starts the target and waits for its dialog holding control `id`.
  HWND StartDialog(const char* mode, int id) {
    Start(mode);
    HWND dialog = nullptr;
    EXPECT_TRUE(session.WaitForDialog(id, kWaitMs, &dialog));
    return dialog;
  }
  int ExitCode() {
    int code = -999;
    EXPECT_TRUE(session.WaitForExit(kWaitMs, &code));
    return code;
  }
  robot::Session session;
};

using RobotBoxes = TargetRun;
using RobotExit = TargetRun;
using RobotProgress = TargetRun;
using RobotDialogs = TargetRun;
using RobotPixels = TargetRun;

// ---- Message boxes ----

TEST_F(RobotBoxes, ReadsAndAnswersEachBox) {
  Start("boxes");

  robot::MessageBoxInfo box =
      ExpectBox(session, "First line\r\nSecond line", {IDOK});
  robot::WindowInfo mainWindow;
  ASSERT_TRUE(session.FindMainWindow(&mainWindow));
  EXPECT_EQ("Setup", mainWindow.caption);
  EXPECT_FALSE(mainWindow.visible);
  EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), mainWindow.hwnd);
  EXPECT_FALSE(session.Press(box, IDYES)) << "the box has no Yes button";
  EXPECT_TRUE(IsWindowVisible(box.hwnd));
  ASSERT_TRUE(session.Press(box, IDOK));

  box = ExpectBox(session, "Proceed?", {IDOK, IDCANCEL});
  ASSERT_TRUE(session.Press(box, IDCANCEL));
  box = ExpectBox(session, "Continue?", {IDYES, IDNO});  // icon left out
  ASSERT_TRUE(session.Press(box, IDNO));

  EXPECT_EQ(10 * IDCANCEL + IDNO, ExitCode());
  EXPECT_FALSE(session.Running());
}

// ---- Program end ----

TEST_F(RobotExit, WaitForMessageBoxGivesUpWhenTheProgramEnds) {
  Start("exit 3");
  DWORD start = GetTickCount();
  robot::MessageBoxInfo box;
  EXPECT_FALSE(session.WaitForMessageBox(&box, kWaitMs));
  EXPECT_LT(GetTickCount() - start, 5000u);
  int code = 0;
  ASSERT_TRUE(session.WaitForExit(0, &code));
  EXPECT_EQ(3, code);
}

TEST_F(RobotExit, ExitCodeIsSigned) {
  Start("exit -1");
  EXPECT_EQ(-1, ExitCode());
}

TEST_F(RobotExit, SessionEndsAProgramStillRunning) {
  DWORD pid = 0;
  {
    robot::Session scoped;
    ASSERT_TRUE(scoped.Start(Target(), "hang", ""));
    pid = scoped.ProcessId();
    ASSERT_TRUE(scoped.Running());
  }
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process != nullptr) {  // else it is gone already
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 0));
    CloseHandle(process);
  }
}

// ---- Progress dialogs ----

TEST_F(RobotProgress, StatusLineIsThatOfTheNewestVisibleDialog) {
  Start("progress");
  typedef std::vector<std::string> Texts;

  robot::MessageBoxInfo box = ExpectBox(session, "Step 1", {IDOK});
  EXPECT_EQ("Outer step", session.StatusLine());
  EXPECT_EQ(Texts({"Outer step"}), session.VisibleProgressTexts());
  ASSERT_TRUE(session.Press(box, IDOK));

  // Newer than the outer dialog although below it; the hidden one is ignored.
  box = ExpectBox(session, "Step 2", {IDOK});
  EXPECT_EQ("Inner step", session.StatusLine());
  EXPECT_EQ(Texts({"Outer step", "Inner step"}),
            session.VisibleProgressTexts());
  ASSERT_TRUE(session.Press(box, IDOK));

  box = ExpectBox(session, "Step 3", {IDOK});
  EXPECT_EQ("Outer done", session.StatusLine());
  EXPECT_EQ(Texts({"Outer done"}), session.VisibleProgressTexts());
  ASSERT_TRUE(session.Press(box, IDOK));

  EXPECT_EQ(0, ExitCode());
  EXPECT_EQ("", session.StatusLine());
}

// ---- Dialogs ----

const DWORD kActMs = 5000;
const int kTree = 1012;
const int kEdit = 1013;
const int kList = 1019;
const int kEventLine = 1009;

// "path" for each item, with "+" for an expand button, "-" when expanded
// and "*" when selected.
std::vector<std::string> TreeShape(HWND dialog) {
  std::vector<std::string> shape;
  for (const robot::TreeItem& item : robot::TreeItems(dialog, kTree)) {
    EXPECT_EQ(item.level, std::count(item.path.begin(), item.path.end(), '\\'));
    shape.push_back(item.path + (item.hasButton ? " +" : "") +
                    (item.expanded ? " -" : "") + (item.selected ? " *" : ""));
  }
  return shape;
}

TEST_F(RobotDialogs, TellsDialogsFromBoxesAndFollowsANestedDialog) {
  HWND intro = StartDialog("intro", 1047);
  EXPECT_FALSE(robot::IsMessageBox(intro)) << "a group box is no push button";
  robot::MessageBoxInfo box;
  EXPECT_FALSE(session.FindMessageBox(&box));
  EXPECT_EQ("chooser: none", robot::ControlText(intro, 1014));

  // The page below the chooser is disabled and no longer counts.
  ASSERT_TRUE(robot::ClickButton(intro, 1015, kActMs));
  HWND chooser = nullptr;
  ASSERT_TRUE(session.WaitForDialog(kTree, kWaitMs, &chooser));
  EXPECT_FALSE(robot::IsMessageBox(chooser));
  HWND found = nullptr;
  EXPECT_FALSE(session.FindDialog(1047, &found));
  EXPECT_FALSE(robot::IsControlEnabled(chooser, 1008));
  EXPECT_FALSE(robot::ClickButton(chooser, 1008, kActMs)) << "disabled";

  ASSERT_TRUE(robot::CloseDialog(chooser, kActMs));
  EXPECT_EQ("chooser: 2", robot::ControlText(intro, 1014));  // IDCANCEL
  ASSERT_TRUE(robot::PressKey(intro, VK_ESCAPE, kActMs));
  EXPECT_EQ(IDCANCEL, ExitCode());
}

TEST_F(RobotDialogs, ReadsSelectsAndExpandsTreeItems) {
  HWND dialog = StartDialog("chooser", kTree);
  typedef std::vector<std::string> Shape;
  // The tree had the focus first and selected its first item.
  EXPECT_EQ(Shape({"c: + *", "d: +", "d:\\Data"}), TreeShape(dialog));

  // Children come only from the dialog's answer to TVN_ITEMEXPANDING.
  ASSERT_TRUE(robot::ExpandTreeItem(dialog, kTree, "c:", kActMs));
  EXPECT_EQ("expanding c:", robot::ControlText(dialog, kEventLine));
  ASSERT_TRUE(
      robot::ExpandTreeItem(dialog, kTree, "C:\\program files", kActMs));
  EXPECT_FALSE(robot::ExpandTreeItem(dialog, kTree, "c:\\Windows", kActMs));
  EXPECT_FALSE(robot::ExpandTreeItem(dialog, kTree, "c:\\Nowhere", kActMs));
  EXPECT_EQ(
      Shape({"c: + -", "c:\\Program Files + - *", "c:\\Program Files\\Vorn",
             "c:\\Windows", "d: +", "d:\\Data"}),
      TreeShape(dialog));

  ASSERT_TRUE(robot::SelectTreeItem(dialog, kTree, "d:\\Data", kActMs));
  EXPECT_EQ("selected Data", robot::ControlText(dialog, kEventLine));
  EXPECT_EQ("d: + -", TreeShape(dialog)[4]) << "expanded to show Data";
  ASSERT_TRUE(robot::IsControlEnabled(dialog, 1008));
  ASSERT_TRUE(robot::ClickButton(dialog, 1008, kActMs));
  EXPECT_EQ("new folder", robot::ControlText(dialog, kEventLine));

  ASSERT_TRUE(robot::ClickButton(dialog, IDOK, kActMs));
  EXPECT_EQ(IDOK, ExitCode());
}

TEST_F(RobotDialogs, TypesWithinTheLimitAndEnterEndsWithOk) {
  HWND dialog = StartDialog("chooser", kEdit);
  ASSERT_TRUE(robot::TypeText(dialog, kEdit, "Program Files"));
  EXPECT_EQ("Program ", robot::ControlText(dialog, kEdit));
  ASSERT_TRUE(robot::TypeText(dialog, kEdit, "ab"));
  EXPECT_EQ("ab", robot::ControlText(dialog, kEdit));
  ASSERT_TRUE(robot::TypeText(dialog, kEdit, ""));
  EXPECT_EQ("", robot::ControlText(dialog, kEdit));

  ASSERT_TRUE(robot::PressKey(dialog, VK_RETURN, kActMs));  // in the edit
  EXPECT_EQ(IDOK, ExitCode());
}

TEST_F(RobotDialogs, SelectsAndDoubleClicksListRows) {
  HWND dialog = StartDialog("chooser", kList);
  EXPECT_EQ(std::vector<std::string>(
                {"Typical", "Compact", "Custom", "Minimal", "Full"}),
            robot::ListItems(dialog, kList));
  EXPECT_EQ(-1, robot::ListSelection(dialog, kList));

  ASSERT_TRUE(robot::SelectListItem(dialog, kList, 1, kActMs));
  EXPECT_EQ(1, robot::ListSelection(dialog, kList));
  EXPECT_EQ("row 1", robot::ControlText(dialog, kEventLine));
  EXPECT_FALSE(robot::SelectListItem(dialog, kList, 5, kActMs));

  // Arrows go to the focused list, not to the dialog manager.
  ASSERT_TRUE(robot::FocusControl(dialog, kList));
  ASSERT_TRUE(robot::PressKey(dialog, VK_DOWN, kActMs));
  EXPECT_EQ("row 2", robot::ControlText(dialog, kEventLine));

  // The last row lies below the visible ones.
  ASSERT_TRUE(robot::DoubleClickListItem(dialog, kList, 4, kActMs));
  EXPECT_EQ(104, ExitCode());
}

// ---- Screen capture ----

TEST_F(RobotPixels, CountsExactColoursOfTheClientArea) {
  Start("paint");
  robot::WindowInfo mainWindow;
  ASSERT_TRUE(robot::PollUntil(
      kWaitMs, [&] { return session.FindMainWindow(&mainWindow) && mainWindow.visible; }));
  RECT rc;
  ASSERT_TRUE(GetClientRect(mainWindow.hwnd, &rc));
  const int area = rc.right * rc.bottom;
  const int block = 40 * 30;

  // The first paint may still be on its way.
  int blockPixels = -1;
  robot::PollUntil(kWaitMs, [&] {
    return (blockPixels = session.CountClientPixels(mainWindow.hwnd, RGB(48, 96, 160))) == block;
  });
  EXPECT_EQ(block, blockPixels);
  EXPECT_EQ(area - block,
            session.CountClientPixels(mainWindow.hwnd, RGB(0, 0, 80)));
  EXPECT_EQ(0, session.CountClientPixels(mainWindow.hwnd, RGB(0, 48, 80)));
}

// ---- robot.exe ----

struct CliCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<std::string> lines;  // what robot.exe prints
  int exitCode;
};

// The line robot.exe prints for a box of the target answered with `button`.
std::string BoxLine(const std::string& text, const char* button) {
  return "box: \"Robot Target\" \"" + text + "\" -> " + button;
}

const CliCase kCliCases[] = {
    // Boxes without the wanted button get their first one.
    {"AnswersTheFirstButtonByDefault", {Target(), "boxes"},
     {BoxLine("First line\\nSecond line", "OK"), BoxLine("Proceed?", "OK"),
      BoxLine("Continue?", "Yes"), "exit: 16"}, 16},
    {"AnswersNoWhereTheBoxHasIt", {"--answer", "no", Target(), "boxes"},
     {BoxLine("First line\\nSecond line", "OK"), BoxLine("Proceed?", "OK"),
      BoxLine("Continue?", "No"), "exit: 17"}, 17},
    {"AnswersCancelWhereTheBoxHasIt", {"--timeout", "30", "--answer", "cancel", Target(), "boxes"},
     {BoxLine("First line\\nSecond line", "OK"), BoxLine("Proceed?", "Cancel"),
      BoxLine("Continue?", "Yes"), "exit: 26"}, 26},
    {"ReportsWindowsAndStatusLinesInOrder", {"--timeout", "30", Target(), "progress"},
     {"window: #32770 \"\" shown", "status: Outer step", BoxLine("Step 1", "OK"),
      "window: #32770 \"\" shown", "status: Inner step", BoxLine("Step 2", "OK"),
      "window: #32770 \"\" hidden", "status: Outer done", BoxLine("Step 3", "OK"),
      "window: #32770 \"\" closed", "exit: 0"}, 0},
    {"PassesArgumentsUnchanged", {Target(), "args", "two words", "", "q\"uote", "C:\\a dir\\"},
     {"box: \"Robot Target args\" \"two words||q\"uote|C:\\a dir\\\" -> OK", "exit: 4"}, 4},
    {"ExitCodeIsSigned", {Target(), "exit", "-1"}, {"exit: -1"}, -1},
    {"TimeoutEndsTheProgram", {"--timeout", "1", Target(), "hang"},
     {"timeout: 1 s, program terminated"}, 124},
    {"BadUsage", {"--answer", "maybe", Target(), "boxes"},
     {"usage: robot.exe [--timeout SECONDS] [--answer default|ok|cancel|yes|no] [--cwd DIR] "
      "PROGRAM [ARGS...]"}, 125},
};

class RobotCli : public ::testing::TestWithParam<CliCase> {};

TEST_P(RobotCli, Run) {
  DWORD start = GetTickCount();
  CliResult r = RunRobot(GetParam().args);
  EXPECT_EQ(GetParam().lines, r.lines);
  EXPECT_EQ(GetParam().exitCode, r.exitCode);
  EXPECT_LT(GetTickCount() - start, 15000u);
}

INSTANTIATE_TEST_SUITE_P(Rows, RobotCli, ::testing::ValuesIn(kCliCases),
                         [](const ::testing::TestParamInfo<CliCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace

// Fixture for end-to-end tests: a fresh working directory holding a copy of
// setup.exe and the test's setup.ini, the program started and driven by the
// UI robot, and what a user or another program could observe afterwards.
//
// Most cases are rows of E2eCase, in one notation for every table. "$DIR"
// stands for the run's working directory (SRCDIR) in every part of a row.
//
// before: what the machine holds when setup.exe starts
//   path=content         a file, folders on the way made; a path with a drive
//                        ("E:\k.bin") is taken as it stands, removed after the
//                        case, and the case is skipped where there is no E:
//   !path=content        the same, read-only
//   path\                a folder alone
//   HKCR\key|name=value  a string value (HKLM too; "" name: the default)
//   helper FILE=path     one of the project's stand-in programs or DLLs
//   held path            a file held open, with no sharing, during the run
//   font path            the test font, copied there
// steps: what the user does and sees, in order
//   box CAPTION: TEXT    the next message box shows this; its first button
//   box CAPTION: ~TEXT   the same, with a text that holds TEXT
//   box                  the next message box, whatever it says; the same
//   end                  the program ends with no box after the last step
//   answer no            the boxes after the steps get No, not the first button
//   hold PATH            once the next message box is shown (not answered),
//                        the file is held open, with no sharing, to the end
//   dialog ID            wait for the dialog that holds control ID
//   gone ID              no dialog holds control ID any more
//   click ID / key RETURN|ESCAPE / close    a button, a key, the close box
//   type ID TEXT         type into an edit
//   select PATH / expand PATH / plus PATH   a tree item: selected, expanded
//                        as the keyboard does, its expand button clicked
//   row N / double N     select or double-click a row of the setup types
//   rmdir PATH           remove a folder behind the dialog's back
//   text ID TEXT / caption TEXT / length ID N / enabled ID 0|1
//                        control ID shows TEXT, N characters, is enabled
//   roots A,B            the tree's top items      noitem PATH  not in the tree
//   button PATH 0|1      whether a tree item shows an expand button
//   rows A,B / selected N                  the setup types and the chosen one
//   runs A|B             the visible progress dialogs' status lines, each
//                        owned by the one before (waited for)
//   IDs are those of dialogs/resource.h by name (IDC_..., IDOK, IDCANCEL).
// trace: the lines of out.txt joined by '|'; a temporary file's name (it
//   differs each run) reads "(temp)"
// after: what holds once the program has ended
//   path=content   the file holds exactly this   path~text  it holds text
//   -path          no such file or folder        -path~text it lacks text
//   writable path  the file is there and not read-only
//   HKLM\key|name=value   a string value;   -HKLM\key|name  no such value;
//   -HKLM\key / +HKLM\key no such key / the key is there (HKCR too)
//   state NAME=V   the install-state record's value NAME starts with V
//                  ("state InstallFailled=": no failure marker)
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/robot/robot.h"
#include "tests/win/registry_fixture.h"

extern const char kStateKey[];  // the install-state record's key

// The test language: every message the cases show, as set statements.
extern const char kMessages[];
// How many variables kMessages sets.
int MessageCount();

struct E2eCase {
  const char* name;
  std::vector<std::string> before;
  std::string script;  // setup.ini
  const char* args;
  std::vector<std::string> steps;
  int exitCode;
  std::string trace;
  std::vector<std::string> after = {};
};

// The rows with `head` before and `tail` after each script.
std::vector<E2eCase> Framed(const std::string& head, std::vector<E2eCase> rows,
                            const std::string& tail = "");

class SetupRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes setup.ini (or another file) into the working directory.
  void WriteScript(const std::string& content) { WriteFile("setup.ini", content); }
  void WriteFile(const std::string& name, const std::string& content);
  std::string ReadFile(const std::string& name) const;
  bool FileExists(const std::string& name) const;
  // The lines out.txt holds (written by AppendFile), joined by '|'.
  std::string Trace() const;
  // `text` with "$DIR" replaced by the working directory.
  std::string Here(std::string text) const;

  void Start(const std::string& args = "");
  // Waits for the next message box; fails the test when none comes.
  robot::MessageBoxInfo NextBox();
  void Press(const robot::MessageBoxInfo& box, int button);
  // Answers every remaining box with `button` (0: the first button) and
  // returns the exit code; `boxes` gets the boxes seen.
  int Finish(int button = 0, std::vector<robot::MessageBoxInfo>* boxes = nullptr);
  // Runs the whole script answering every box with its first button.
  int RunToEnd(const std::string& args = "", std::vector<robot::MessageBoxInfo>* boxes = nullptr);

  // The parts of a case (see the notation above).
  void RunCase(const E2eCase& c);
  void Prepare(const std::string& before);
  // Runs one step; false stops the case.
  bool Step(const std::string& step);
  void CheckAfter(const std::vector<std::string>& expectations);

  // The install-state record: a value's first byte, or "" when absent.
  std::string StateValue(const char* name) const;
  std::string StateString(const char* name) const;

  robot::Session& Session() { return *session_; }
  const std::string& Dir() const { return scratch_->Path(); }

 private:
  // The path of a case's file: in the working directory, or as it stands.
  std::string PathOf(const std::string& name) const;
  bool DialogStep(const std::string& verb, const std::string& rest);
  bool CheckStep(const std::string& verb, const std::string& rest);
  std::string RunDialogs();
  void CheckTree(const std::string& verb, const std::string& rest);
  void CheckOne(const std::string& expectation);
  void CheckRegistry(const std::string& expectation);
  // Opens the file with no sharing until the case ends.
  void Hold(const std::string& path);

  std::unique_ptr<ScratchDirectory> scratch_;
  std::unique_ptr<robot::Session> session_;
  std::vector<std::string> filesOutside_;
  std::vector<HANDLE> held_;
  HWND dialog_ = nullptr;
  int answer_ = 0;
};

// The table test: each file instantiates it with its rows.
class Cases : public SetupRun, public ::testing::WithParamInterface<E2eCase> {};
std::string CaseName(const ::testing::TestParamInfo<E2eCase>& tested);

// Lines of AppendFile that record a tag in out.txt.
std::string Mark(const std::string& tag);
// Adds `tag` to out.txt when `test` sets the condition.
std::string MarkIf(const std::string& test, const std::string& tag);

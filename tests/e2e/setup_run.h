// Fixture for end-to-end tests: a fresh working directory holding a copy of
// setup.exe and the test's setup.ini, the program started and driven by the
// UI robot, and what a user or another program could observe afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/robot/robot.h"
#include "tests/win/registry_fixture.h"

extern const char kStateKey[];  // the install-state record's key

class SetupRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes setup.ini (or another file) into the working directory.
  void WriteScript(const std::string& content) { WriteFile("setup.ini", content); }
  void WriteFile(const std::string& name, const std::string& content);
  // Writes the files a case starts with, folders on the way included:
  // "path=content", "!path=content" read-only, "path\" a folder alone. A
  // path with a drive ("E:\k.bin") is taken as it stands, and its file is
  // removed again after the test.
  void WriteStartingFiles(const std::vector<std::string>& files);
  std::string ReadFile(const std::string& name) const;
  bool FileExists(const std::string& name) const;
  // The lines out.txt holds (written by AppendFile), joined by '|'.
  std::string Trace() const;

  void Start(const std::string& args = "");
  // Waits for the next message box; fails the test when none comes.
  robot::MessageBoxInfo NextBox();
  void Press(const robot::MessageBoxInfo& box, int button);
  // Answers every remaining box with `button` (0: the first button) and
  // returns the exit code; `boxes` gets the boxes seen.
  int Finish(int button = 0, std::vector<robot::MessageBoxInfo>* boxes = nullptr);
  // Runs the whole script answering every box with its first button.
  int RunToEnd(const std::string& args = "",
               std::vector<robot::MessageBoxInfo>* boxes = nullptr);

  // The install-state record: a value's first byte, or "" when absent.
  std::string StateValue(const char* name) const;
  std::string StateString(const char* name) const;

  robot::Session& Session() { return *session_; }
  const std::string& Dir() const { return scratch_->Path(); }

 private:
  // The path of a case's file: in the working directory, or as it stands.
  std::string PathOf(const std::string& name) const;

  ScratchDirectory* scratch_ = nullptr;
  robot::Session* session_ = nullptr;
  std::vector<std::string> filesOutside_;
};

// Lines of AppendFile that record a tag in out.txt.
std::string Mark(const std::string& tag);
// Messages of a language file, as set statements.
std::string BasicMessages();

// The file commands against the in-memory machine: paths and status texts
// of the copy family, failed copies that keep the old file, tree walks
// that stay inside their tree, arguments that would widen a deletion, and
// the drive search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/moved_uninstall.h"
#include "script/command_line.h"
#include "script/journal_effects.h"
#include "tests/native/engine_fixture.h"

namespace {

class FileCommands : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    KeepJournal();
    SetVariables({{"SRCDIR", "C:\\src"}, {"DSTDIR", "C:\\dst"}});
    machine_.CreateDirectory("C:\\src");
    machine_.CreateDirectory("C:\\dst");
    machine_.WriteFile("C:\\src\\a.dll", "new a");
  }
  // Every file of drive C: what a delete must leave alone.
  std::vector<std::string> Everything() { return machine_.Tree("C:\\"); }
  bool Ended() { return Flags().quit && Flags().failure; }
};

TEST_F(FileCommands, CopyFamilyPathsAndStatusTexts) {
  machine_.CreateDirectory("C:\\other");
  machine_.WriteFile("C:\\any.txt", "any");
  struct Case { const char* line; const char* copied; const char* status; };
  const Case cases[] = {
      {"CopyA \"C:\\src\\a.dll\" \"C:\\other\\x.dll\"", "C:\\other\\x.dll", "Copying C:\\other\\x.dll"},
      {"Copy \"a.dll\"", "C:\\dst\\a.dll", "Copying C:\\dst\\a.dll"},
      {"Copy \"a.dll\" \"b.dll\"", "C:\\dst\\b.dll", "Copying C:\\dst\\b.dll"},
      {"CopyS \"a.dll\" \"C:\\other\"", "C:\\other\\a.dll", "Copying C:\\other\\a.dll"},
      {"CopyD \"C:\\any.txt\" \"c.txt\"", "C:\\dst\\c.txt", "Copying C:\\dst\\c.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Statement(c.line);
    EXPECT_TRUE(machine_.Exists(c.copied));
    EXPECT_EQ(host_.statusLine, c.status);
    EXPECT_FALSE(Flags().failure);
  }
  Statement("MoveA \"C:\\dst\\b.dll\" \"C:\\other\\m.dll\"");
  EXPECT_EQ(host_.statusLine, "Moving C:\\dst\\b.dll");  // MoveA shows S
  EXPECT_FALSE(machine_.Exists("C:\\dst\\b.dll"));
  EXPECT_EQ(machine_.ReadFile("C:\\other\\m.dll"), "new a");
  Statement("Move \"a.dll\" \"moved.dll\"");
  EXPECT_EQ(host_.statusLine, "Moving C:\\dst\\moved.dll");
  EXPECT_FALSE(machine_.Exists("C:\\src\\a.dll"));
}

// Whatever makes the copy fail, the old destination stays; the question
// comes unless silent, Yes asks for a reboot, and every run ends.
TEST_F(FileCommands, AFailedCopyKeepsTheOldFile) {
  struct Case { const char* failure; Status status; };
  const Case cases[] = {{"source missing", 0}, {"disk full", kErrDiskFull},
                        {"in use", kErrSharingViolation},
                        {"access denied", kErrAccessDenied}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failure);
    machine_.WriteFile("C:\\dst\\a.dll", "old a");
    if (c.status) machine_.InjectFailure(EffectCall::kCopyFile, "a.dll", c.status, 1);
    host_.boxAnswers.push_back(kIdYes);
    Statement(c.status ? "Copy \"a.dll\"" : "Copy \"none.dll\" \"a.dll\"");
    EXPECT_EQ(machine_.ReadFile("C:\\dst\\a.dll"), "old a");
    EXPECT_EQ(SetFlags(), "quit failure reboot failedThisRun");
    EXPECT_EQ(Boxes().substr(0, 32), "box 4 [Copy failed] Cannot copy ");
  }
  engine_->modes.silent = true;
  Statement("Copy \"none.dll\" \"a.dll\"\nAppendFile \"never\" \"out.txt\"");
  EXPECT_EQ(Boxes(), "");
  EXPECT_EQ(SetFlags(), "quit failure failedThisRun");
  EXPECT_EQ(ReadFile("out.txt"), "");
}

TEST_F(FileCommands, ReadOnlyTargetsAreReplacedAndCopiesLeftWritable) {
  machine_.WriteFile("C:\\dst\\a.dll", "old", kAttrReadOnly | kAttrHidden);
  machine_.WriteFile("C:\\src\\ro.dll", "ro", kAttrReadOnly);
  Statement("Copy \"a.dll\"\nCopy \"ro.dll\"");
  EXPECT_EQ(File("C:\\dst\\a.dll"), "new a");
  EXPECT_EQ(File("C:\\dst\\ro.dll"), "ro");  // writable
  EXPECT_FALSE(Flags().failure);
  // Refused even when writable: its attributes are put back.
  machine_.WriteFile("C:\\dst\\a.dll", "old", kAttrReadOnly);
  machine_.InjectFailure(EffectCall::kCopyFile, "a.dll", kErrAccessDenied, 2);
  Statement("Copy \"a.dll\"");
  EXPECT_EQ(File("C:\\dst\\a.dll"), "!old");
}

TEST_F(FileCommands, ACopyOntoItselfChangesNothing) {
  Statement("CopyA \"C:\\src\\a.dll\" \"c:/SRC/A.DLL\"\nMoveA \"C:\\src\\a.dll\" \"C:\\src\\a.dll\"");
  EXPECT_EQ(machine_.ReadFile("C:\\src\\a.dll"), "new a");
  EXPECT_FALSE(Flags().failure);
}

TEST_F(FileCommands, PathsThatDoNotFitAreNeverCut) {
  std::string longName(300, 'n');
  Statement("Copy \"" + longName + "\"");
  EXPECT_TRUE(Ended());
  Statement("MkDir \"C:\\dst\" \"" + longName + "\"");
  EXPECT_EQ(SetFlags(), "failure failedThisRun");
  Flags().condition = 1;
  Statement("Exist \"C:\\" + longName + "\"");
  EXPECT_EQ(Flags().condition, 0);
  Statement("Delete \"" + longName + "\" \"C:\\dst\"");
  EXPECT_TRUE(Flags().failure);
}

// MkDir makes each missing folder above its own, outermost first, never a
// drive's or a share's root; a folder that is there is fine. A real
// failure shows its box and ends every run, and the parents it made go.
TEST_F(FileCommands, MkDirMakesMissingParentsAndEndsOnRealFailures) {
  JournalEffects journaled(machine_, *engine_);
  engine_->effects = &journaled;
  machine_.WriteFile("C:\\dst\\file", "f");
  machine_.CreateDirectory("\\\\server");  // a server without its share
  machine_.InjectFailure(EffectCall::kCreateDirectory, "deny", kErrAccessDenied, 1);
  Statement("MkDir \"C:\\dst\"");
  EXPECT_EQ(host_.statusLine, "Creating C:\\dst\\");
  const std::string box = "box 0 [Copy failed] Cannot create ", ended = "quit failure failedThisRun";
  struct Case {
    ScriptCase run;
    std::string changes;  // the journal's directory lines
  };
  const Case cases[] = {
      {{"there already", "MkDir \"C:\\dst\" \"bin\"\nMkDir \"C:\\dst\" \"bin\"", "", "", ""},
       "created: C:\\dst\\bin|"},
      {{"missing parents", "MkDir \"C:\\Maker\\Product\" \"bin\"", "", "", ""},
       "created: C:\\Maker|created: C:\\Maker\\Product|created: C:\\Maker\\Product\\bin|"},
      {{"no parent on the way", "MkDir \"C:\\gone\\..\" \"x\"", "", "", ""},
       "created: C:\\gone\\..\\x|"},
      {{"a parent that is a file", "MkDir \"C:\\dst\\file\\a\" \"b\"\n" + Mark("never"), "",
        box + "C:\\dst\\file\\a\\b|", ended},
       ""},
      {{"made parents go again", "MkDir \"C:\\new\\a\" \"deny\"", "", box + "C:\\new\\a\\deny|",
        ended},
       "created: C:\\new|created: C:\\new\\a|removed: C:\\new\\a|removed: C:\\new|"},
      {{"no DIRECTORY: from the drive's root only", "MkDir \"\" \"top\\sub\"", "",
        box + "\\top\\sub|", ended},
       ""},
      {{"a missing share", "MkDir \"\\\\server\\share\\a\" \"b\"", "",
        box + "\\\\server\\share\\a\\b|", ended},
       ""},
      {{"an undefined variable", "MkDir UNDEFINED \"bin\"", "", "", "failure failedThisRun"}, ""},
  };
  for (Case c : cases) {
    c.run.script = "[Setup]\n" + c.run.script;
    ExpectRun(c.run);
    std::string changes;
    for (const std::string& line : journal_) {
      size_t at = line.find(": directory ");
      if (at != std::string::npos) changes += line.substr(at + 12) + "|";
    }
    EXPECT_EQ(changes, c.changes) << c.run.name;
  }
}

TEST_F(FileCommands, CopyDir2DestCopiesTheTreeButNoLinkAndNotIntoItself) {
  machine_.WriteFile("C:\\src\\data\\x.txt", "x");
  machine_.WriteFile("C:\\src\\data\\sub\\y.txt", "y");
  machine_.CreateDirectory("C:\\src\\data\\empty");
  machine_.WriteFile("C:\\outside\\z.txt", "z");
  machine_.CreateDirectory("C:\\src\\data\\link");
  machine_.MakeReparsePoint("C:\\src\\data\\link");
  Statement("CopyDir2Dest \"data\"");
  EXPECT_EQ(machine_.Tree("C:\\dst"),
            (std::vector<std::string>{"data\\", "data\\empty\\", "data\\sub\\",
                                      "data\\sub\\y.txt", "data\\x.txt"}));
  EXPECT_FALSE(Flags().failure);
  EXPECT_EQ(host_.statusLine, "Copying x.txt");
  // Small files may wait a frame for their paint; the last name is painted.
  EXPECT_EQ(host_.Matching("text soon").size(), 2u);
  EXPECT_EQ(host_.Matching("repaint").back(), "repaint d1");
  VarSet(engine_->vars, "DSTDIR", "C:\\src\\data\\sub");
  Statement("CopyDir2Dest \"..\"");  // C:\src\data\sub/.. is the source tree itself
  VarSet(engine_->vars, "DSTDIR", "C:\\src");
  Statement("CopyDir2Dest \"data\"");
  EXPECT_TRUE(Ended());
  Statement("CopyDir2Dest UNDEFINED");
  EXPECT_FALSE(Flags().failure);
  // A name whose destination path does not fit is never left out quietly.
  VarSet(engine_->vars, "DSTDIR", ("C:\\" + std::string(245, 'd')).c_str());
  Statement("CopyDir2Dest \"data\"");
  EXPECT_TRUE(Ended());
  EXPECT_NE(Boxes().find("Copy failed"), std::string::npos) << Boxes();
}

TEST_F(FileCommands, DeltreeRemovesLinksNotWhatTheyPointTo) {
  machine_.WriteFile("C:\\old\\a.txt", "a");
  machine_.WriteFile("C:\\old\\sub\\b.txt", "b");
  machine_.WriteFile("C:\\keep\\precious.txt", "p");
  machine_.CreateDirectory("C:\\old\\link");
  machine_.MakeReparsePoint("C:\\old\\link");
  machine_.WriteFile("C:\\old\\link\\seen-through-link.txt", "p");
  Statement("Deltree \"C:\\old\"");
  EXPECT_FALSE(machine_.Exists("C:\\old\\sub"));
  EXPECT_TRUE(machine_.Exists("C:\\keep\\precious.txt"));
  EXPECT_EQ(machine_.ReadFile("C:\\old\\link\\seen-through-link.txt"), "p");
}

// A read-only file keeps its directory; DeleteAllFiles keeps directories.
TEST_F(FileCommands, DeletionsLeaveReadOnlyFilesAndSubdirectories) {
  machine_.WriteFile("C:\\old\\ro.txt", "r", kAttrReadOnly);
  machine_.WriteFile("C:\\old\\sub\\b.txt", "b");
  machine_.WriteFile("C:\\old\\c.txt", "c");
  Statement("Deltree \"C:\" \"old\\sub\"\nDeleteAllFiles \"C:\\old\"");
  EXPECT_EQ(machine_.Tree("C:\\old"), (std::vector<std::string>{"ro.txt"}));
  machine_.WriteFile("C:\\old\\sub\\d.txt", "d");
  Statement("DeleteAllFiles \"C:\\old\"\nDelete \"ro.txt\" \"C:\\old\"");
  EXPECT_TRUE(machine_.Exists("C:\\old\\sub\\d.txt"));
  EXPECT_TRUE(machine_.Exists("C:\\old\\ro.txt"));
}

TEST_F(FileCommands, EmptyUndefinedOrRootArgumentsDeleteNothing) {
  machine_.WriteFile("C:\\dst\\keep.txt", "k");
  machine_.WriteFile("C:\\setup\\keep.txt", "k");
  machine_.WriteFile("C:\\users\\test\\Start Menu\\Programs\\Vorn\\App.lnk", "a");
  const std::vector<std::string> before = Everything();
  for (const char* line :
       {"Deltree \"\"", "Deltree UNDEFINED", "Deltree DSTDIR UNDEFINED",
        "Deltree \"C:\\\"", "Deltree \"c:\"", "Deltree \"\\\"",
        "DeleteAllFiles \"\"", "DeleteAllFiles UNDEFINED", "DeleteAllFiles \"C:/\"",
        "Delete UNDEFINED", "Delete \"keep.txt\" UNDEFINED", "Delete \"\" DSTDIR",
        "DelPgmGroup \"\"", "DelPgmGroup UNDEFINED"}) {
    SCOPED_TRACE(line);
    Statement(line);
    EXPECT_TRUE(Flags().failure);
    EXPECT_EQ(Everything(), before);
  }
  Statement("Delete \"keep.txt\" DSTDIR");
  EXPECT_FALSE(machine_.Exists("C:\\dst\\keep.txt"));
  EXPECT_FALSE(Flags().failure);
}

// Every spelling that reaches beyond its target, for each delete command:
// refused with its reason in the journal, counted, and nothing touched.
TEST_F(FileCommands, DeletesNeverReachBeyondTheirTarget) {
  machine_.driveTypes = {{'C', kDriveFixed}, {'D', kDriveFixed}};
  for (const char* file :
       {"D:\\victim\\a.txt", "D:\\victim\\sub\\b.txt", "D:\\keep.txt",
        "C:\\setup\\keep.txt", "C:\\sibling\\s.txt", "C:\\ckeep\\victim.lnk",
        "C:\\windows\\temp\\t.txt", "C:\\Program Files\\Other\\o.exe",
        "C:\\users\\test\\Desktop\\Other.lnk",
        "C:\\users\\test\\Documents\\d.doc",
        "C:\\users\\test\\Start Menu\\Programs\\Other\\o.lnk",
        "C:\\users\\test\\Start Menu\\Programs\\StartUp\\s.lnk"}) {
    machine_.WriteFile(file, "sentinel");
  }
  const std::vector<std::string> before = Everything();
  const std::vector<std::string> beforeD = machine_.Tree("D:\\");
  const std::string dots = "a \".\" or \"..\" element", root = "a drive root",
                    form = "a \\\\?\\ or \\\\.\\ form", device = "a device name",
                    blank = "an element ending in a blank or a dot",
                    inName = "a path in a shortcut name",
                    outside = "a group outside the Programs folder";
  auto holding = [](const std::string& folder) { return folder + ", or a folder holding it"; };
  struct Case {
    const char* line;
    std::string reason;
  };
  const Case cases[] = {
      {"Deltree \"D:\\.\"", dots},
      {"Deltree \"D:\\..\"", dots},
      {"Deltree \"D:\\victim\\..\"", dots},
      {"Deltree \"D:\\victim\\..\\\"", dots},
      {"Deltree \"D:.\"", dots},
      {"Deltree \"d:\\.\\\"", dots},
      {"Deltree \"D:\\victim\" \"..\"", dots},
      {"Deltree \"..\"", dots},
      {"Deltree \".\"", dots},
      {"Deltree \"D:\\\\\"", root},
      {"Deltree \"D:/\"", root},
      {"Deltree \"d:\"", root},
      {"Deltree \"\\\\?\\D:\\\"", form},
      {"Deltree \"\\\\.\\D:\\\"", form},
      {"Deltree \"//?/D:/victim\"", form},
      {"Deltree \"D:\\victim \"", blank},
      {"Deltree \"D:\\victim...\"", blank},
      {"Deltree \"D:\\victim\\nul\"", device},
      {"Deltree \"D:\\victim\\COM1.txt\"", device},
      {"Deltree \"D:\\victim:stream\"", "a \":\" after the drive"},
      {"Deltree \"\\\\server\\share\"", "a share root"},
      {"Deltree \"C:\\windows\"", holding("the Windows folder")},
      {"Deltree \"C:\\WINDOWS\\system32\"", holding("the system folder")},
      {"Deltree \"C:\\windows\\temp\"", holding("the temporary folder")},
      {"Deltree \"C:\\Program Files\"", holding("the program-files folder")},
      {"Deltree \"C:\\users\"", holding("the user's profile")},
      {"Deltree \"c:/users/test\"", holding("the user's profile")},
      {"Deltree \"C:\\users\\test\\Desktop\"", holding("the Desktop folder")},
      {"Deltree \"C:\\users\\test\" \"Start Menu\\Programs\"", holding("the Programs folder")},
      {"Deltree \"C:\\users\\test\\Start Menu\\Programs\\StartUp\"", holding("the Startup folder")},
      {"DeleteAllFiles \"D:\\.\"", dots},
      {"DeleteAllFiles \"D:\\victim\\..\"", dots},
      {"DeleteAllFiles \"..\"", dots},
      {"DeleteAllFiles \"D:\\\"", root},
      {"DeleteAllFiles \"C:\\users\\test\\Desktop\"", holding("the Desktop folder")},
      {"Delete \"..\\sibling\\s.txt\"", dots},
      {"Delete \"keep.txt \" \"C:\\setup\"", blank},
      {"Delete \"a.txt\" \"D:\\victim\\.\"", dots},
      {"DestroyDesktopLink \"..\\..\\..\\ckeep\\victim\"", inName},
      {"DestroyDesktopLink \"C:victim\"", inName},
      {"DestroyStartLink \"..\"", dots},
      {"DestroyStartLink \"s \"", blank},
      {"DelPgmGroup \"Vorn\\.. \"", blank},
      {"DelPgmGroup \"..\"", dots},
      {"DelPgmGroup \"Other\\..\\..\"", dots},
      {"DelPgmGroup \".\"", dots},
      {"DelPgmGroup \"C:\\keep\"", outside},
      {"DelPgmGroup \"\\Other\"", outside},
      {"DelPgmGroup \"StartUp\"", holding("the Startup folder")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Statement(c.line);
    EXPECT_EQ(Everything(), before);
    EXPECT_EQ(machine_.Tree("D:\\"), beforeD);
    EXPECT_EQ(SetFlags(), "failure failedThisRun");
    EXPECT_NE(Failures().find(": refused, " + c.reason), std::string::npos) << Failures();
  }
  // What a sound script deletes is still deleted.
  Statement(
      "Deltree \"D:\\victim\"\nDelPgmGroup \"Other\"\n"
      "DestroyDesktopLink \"Other\"\nDestroyStartLink \"s\"\n"
      "Delete \"keep.txt\" \"C:\\setup\"\nDeltree \"..\\sibling\"");
  EXPECT_FALSE(machine_.Exists("D:\\victim"));
  EXPECT_FALSE(machine_.Exists("C:\\users\\test\\Start Menu\\Programs\\Other"));
  EXPECT_FALSE(machine_.Exists("C:\\users\\test\\Desktop\\Other.lnk"));
  EXPECT_FALSE(
      machine_.Exists("C:\\users\\test\\Start Menu\\Programs\\StartUp\\s.lnk"));
  EXPECT_FALSE(machine_.Exists("C:\\setup\\keep.txt"));
  EXPECT_TRUE(
      machine_.Exists("C:\\sibling\\s.txt"));  // ".." is refused even here
  EXPECT_EQ(Failures(),
            "Deltree ..\\sibling: refused, a \".\" or \"..\" element|");
}

// A delete that leaves anything behind says what and counts; a missing
// target is no error and no failure line.
TEST_F(FileCommands, WhatADeleteLeavesBehindCounts) {
  machine_.WriteFile("C:\\old\\ro.txt", "r", kAttrReadOnly);
  machine_.WriteFile("C:\\old\\gone.txt", "g");
  Statement("Deltree \"C:\\old\"");
  EXPECT_EQ(machine_.Tree("C:\\old"), (std::vector<std::string>{"ro.txt"}));
  EXPECT_TRUE(Flags().failedThisRun);
  EXPECT_EQ(Failures(), "Deltree C:\\old: 2 entries left behind|");
  EXPECT_EQ(host_.Matching("log").size(), 2u);  // the file, then its folder
  Statement("DeleteAllFiles \"C:\\old\"\nDelete \"ro.txt\" \"C:\\old\"");
  EXPECT_EQ(Failures(), "DeleteAllFiles C:\\old: 1 entries left behind|");
  EXPECT_TRUE(Flags().failedThisRun);
  Statement(
      "Deltree \"C:\\none\"\nDeleteAllFiles \"C:\\none\"\n"
      "Delete \"x.tmp\" \"C:\\none\"");
  EXPECT_EQ(Failures(), "");
  EXPECT_EQ(Events("log"), "");
  EXPECT_FALSE(Flags().failure);
  // A folder that goes after the walk has listed it (Wine takes a link's
  // target with the link; another program may take it) is not left behind.
  const std::string group = "C:\\users\\test\\Start Menu\\Programs\\Vorn";
  machine_.WriteFile(group + "\\App.lnk", "a");
  machine_.WriteFile(group + "\\Sub\\b.lnk", "b");
  machine_.InjectRemoval(EffectCall::kDeleteFile, "App.lnk", group + "\\Sub");
  Statement("DelPgmGroup \"Vorn\"");
  EXPECT_FALSE(machine_.Exists(group));
  EXPECT_EQ(Failures() + Events("log"), "");
  EXPECT_FALSE(Flags().failure);
  // A path longer than a Windows path is reported, never cut.
  std::string deep = "C:\\deep";
  while (deep.size() < 250) deep += "\\nested";
  machine_.WriteFile(deep + "\\ok.txt", "o");
  machine_.WriteFile(deep + "\\a-name-that-takes-the-path-past-its-limit.txt",
                     "x");
  Statement("Deltree \"C:\\deep\"");
  EXPECT_NE(Failures().find(
                "a-name-that-takes-the-path-past-its-limit.txt: left behind, "
                "its path is longer than 259 characters"),
            std::string::npos);
  EXPECT_FALSE(machine_.Exists(deep + "\\ok.txt"));
  EXPECT_TRUE(Flags().failedThisRun);
  // A tree that is itself a link goes as a link.
  machine_.WriteFile("C:\\target\\t.txt", "t");
  machine_.CreateDirectory("C:\\old\\linked");
  machine_.MakeReparsePoint("C:\\old\\linked");
  machine_.WriteFile("C:\\old\\linked\\through.txt", "t");
  machine_.InjectFailure(EffectCall::kRemoveDirectory, "linked", kErrDirNotEmpty, 1);
  Statement("Deltree \"C:\\old\\linked\"");
  EXPECT_TRUE(machine_.Exists("C:\\old\\linked\\through.txt"));
  EXPECT_EQ(Failures(), "Deltree C:\\old\\linked: 1 entries left behind|");
  EXPECT_EQ(Events("log"), "log RemoveDirectory C:\\old\\linked 145|");
}

// The replace sequence of a copy or move onto an existing file, failing at
// each step in turn: the old file is intact and nothing new is left.
TEST_F(FileCommands, AFailedReplaceAtAnyStepKeepsTheOldFile) {
  machine_.driveTypes = {{'C', kDriveFixed}, {'E', kDriveFixed}};
  struct Case {
    const char* line;
    std::vector<EffectCall> steps;
    const char* pathPart;
    const char* target;
  };
  const std::vector<EffectCall> copyThenRename = {EffectCall::kCopyFile, EffectCall::kMoveFileEx};
  const Case cases[] = {
      {"Copy \"a.dll\"", copyThenRename, "a.dll", "C:\\dst\\a.dll"},
      {"CopyA \"C:\\src\\a.dll\" \"E:\\k.bin\"", copyThenRename, "k.bin", "E:\\k.bin"},
      {"MoveA \"C:\\src\\a.dll\" \"E:\\k.bin\"", copyThenRename, "k.bin", "E:\\k.bin"},
      {"Move \"a.dll\"", {EffectCall::kMoveFileEx}, "a.dll", "C:\\dst\\a.dll"},
  };
  for (const Case& c : cases) {
    for (EffectCall step : c.steps) {
      for (unsigned long oldAttributes : {kAttrArchive, kAttrReadOnly}) {
        SCOPED_TRACE(std::string(c.line) + " failing at " + EffectCallName(step));
        machine_.WriteFile(c.target, "old", oldAttributes);
        machine_.ClearFailures();
        machine_.InjectFailure(step, c.pathPart, kErrDiskFull);
        Statement(c.line);
        EXPECT_EQ(machine_.ReadFile(c.target), "old");
        EXPECT_EQ(Attributes(c.target), oldAttributes);
        EXPECT_TRUE(machine_.Exists("C:\\src\\a.dll"));  // a failed move keeps it
        for (const char* directory : {"E:\\", "C:\\dst"}) {
          for (const std::string& name : machine_.Tree(directory)) {
            EXPECT_EQ(name.find("~vn"), std::string::npos) << name;
          }
        }
        EXPECT_TRUE(Ended());
      }
    }
  }
  // A folder is no file to move.
  machine_.ClearFailures();
  machine_.WriteFile("C:\\users\\test\\Desktop\\d.txt", "d");
  Statement("MoveA \"C:\\users\\test\\Desktop\" \"C:\\desk\"");
  EXPECT_TRUE(machine_.Exists("C:\\users\\test\\Desktop\\d.txt"));
  EXPECT_FALSE(machine_.Exists("C:\\desk"));
  EXPECT_TRUE(Ended());
  // Across drives the source goes only once its copy is in place.
  machine_.ClearFailures();
  machine_.WriteFile("C:\\src\\a.dll", "new a");
  Statement("MoveA \"C:\\src\\a.dll\" \"E:\\k.bin\"");
  EXPECT_EQ(machine_.ReadFile("E:\\k.bin"), "new a");
  EXPECT_FALSE(machine_.Exists("C:\\src\\a.dll"));
  EXPECT_FALSE(Flags().failure);
  // A source in use stays, and the move has failed; its copy is whole.
  machine_.WriteFile("C:\\src\\a.dll", "new a");
  machine_.WriteFile("E:\\k.bin", "old");
  machine_.InjectFailure(EffectCall::kDeleteFile, "C:\\src\\a.dll", kErrSharingViolation);
  Statement("MoveA \"C:\\src\\a.dll\" \"E:\\k.bin\"");
  EXPECT_EQ(machine_.ReadFile("E:\\k.bin"), "new a");
  EXPECT_EQ(machine_.ReadFile("C:\\src\\a.dll"), "new a");
  EXPECT_TRUE(Ended());
  machine_.ClearFailures();
  // A name for the new file that is taken is never overwritten.
  machine_.WriteFile("C:\\src\\a.dll", "new a");
  machine_.WriteFile("C:\\dst\\a.dll.~vn", "someone's");
  Statement("Copy \"a.dll\"");
  EXPECT_EQ(machine_.ReadFile("C:\\dst\\a.dll"), "new a");
  EXPECT_EQ(machine_.ReadFile("C:\\dst\\a.dll.~vn"), "someone's");
  EXPECT_FALSE(machine_.Exists("C:\\dst\\a.dll.~vn1"));
  // One that appears there between the choice and the copy is not ours.
  machine_.WriteFile("C:\\dst\\a.dll", "old");
  machine_.InjectFailure(EffectCall::kCopyFile, "a.dll.~vn", kErrFileExists, 1);
  machine_.WriteFile("C:\\dst\\a.dll.~vn1", "someone else's");
  machine_.InjectFailure(EffectCall::kGetFileAttributes, "a.dll.~vn1", kErrFileNotFound, 1);
  Statement("Copy \"a.dll\"");
  EXPECT_EQ(machine_.ReadFile("C:\\dst\\a.dll.~vn1"), "someone else's");
  EXPECT_EQ(machine_.ReadFile("C:\\dst\\a.dll"), "old");
  EXPECT_TRUE(Ended());
  machine_.ClearFailures();
}

// A path built from an empty or undefined SRCDIR or DSTDIR would land in
// a drive's root: nothing is written, and the run reports it, once, naming
// the file where it says so (the runtime's configuration files).
TEST_F(FileCommands, NoInstallDirectoryWritesNothing) {
  machine_.WriteFile("C:\\src\\data\\x.txt", "x");
  machine_.WriteFile("C:\\zek.ini", "vorn 1\r\nupdate no\r\n");
  machine_.WriteFile("C:\\src\\zek.ini", "vorn 0\r\n");
  const std::vector<std::string> before = Everything();
  struct Command {
    const char* line;
    const char* names;  // the file the failure line names, or ""
  };
  const Command destinationCommands[] = {
      {"Copy \"a.dll\"", ""}, {"Move \"a.dll\" \"b.dll\"", ""},
      {"CopyD \"C:\\src\\a.dll\" \"b.dll\"", ""}, {"CopyDir2Dest \"data\"", ""},
      {"GetTempFileName TMP", ""}, {"MkLink \"a.dll\" \"A\"", ""},
      {"ImportOldVorn \"1\" \"no\"", "DSTDIR\\zek.ini: "},
      {"AddPartition \"D:\\Data\"", "DSTDIR\\Zek.ini: "},
      {"GetVornSettings", "DSTDIR\\zekress.ini: "},
      {"IsVornUpdated \"1\"", "DSTDIR\\zek.ini: "}};
  const Command sourceCommands[] = {
      {"Copy \"a.dll\"", ""}, {"MoveS \"a.dll\" \"C:\\dst\"", ""},
      {"CopyDir2Dest \"data\"", ""}, {"CreateSourceLink \"a.dll\" \"A\"", ""},
      {"ImportOldVorn \"1\" \"no\"", "SRCDIR\\zek.ini: "}};
  // Each command after its directory is made empty, and undefined.
  struct Case {
    std::string lines;
    std::string journaled;
  };
  std::vector<Case> cases;
  auto add = [&](const std::string& directory, const Command& c) {
    cases.push_back({"set " + directory + " \"\"\n" + c.line, c.names + directory + " is empty"});
    cases.push_back({"Clr " + directory + "\n" + c.line, c.names + directory + " is undefined"});
  };
  for (const Command& c : destinationCommands) add("DSTDIR", c);
  for (const Command& c : sourceCommands) add("SRCDIR", c);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    Statement("set PROGRAMGROUP \"Vorn\"\n" + c.lines);
    VarSet(engine_->vars, "SRCDIR", "C:\\src");
    VarSet(engine_->vars, "DSTDIR", "C:\\dst");
    EXPECT_EQ(Everything(), before);
    EXPECT_EQ(SetFlags(), "failure failedThisRun");
    EXPECT_NE(Failures().find(c.journaled), std::string::npos) << Failures();
    EXPECT_EQ(Reported().size(), 1u);
    EXPECT_EQ(Boxes(), "");
  }
}

TEST_F(FileCommands, ApplyOnFilesSearchesFixedDrivesForTheExactName) {
  machine_.driveTypes = {{'C', kDriveFixed}, {'D', kDriveFixed}, {'E', kDriveCdrom}};
  machine_.WriteFile("C:\\prog\\zek.ini", "1");
  machine_.WriteFile("C:\\prog\\other\\ZEK.INI", "2");
  machine_.WriteFile("D:\\zek.ini", "3");
  machine_.WriteFile("E:\\zek.ini", "4");
  machine_.CreateDirectory("C:\\prog\\link");
  machine_.MakeReparsePoint("C:\\prog\\link");
  machine_.WriteFile("C:\\prog\\link\\zek.ini", "5");
  WriteFile("names.txt", "");
  Statement("set NAME \"zek.ini\"\nApplyOnFiles NAME \"Found\"\n"
            "[Found]\nAppendFile DSTDIR \"out.txt\"\nClr NAME\nset DSTDIR \"changed\"\n");
  EXPECT_EQ(Trace(), "c:\\prog|d:");  // drives are searched as "c:"
  EXPECT_STREQ(Var("DSTDIR"), "changed");
  EXPECT_EQ(Flags().condition, 0);
  EXPECT_EQ(host_.Matching("create wait").size(), 2u);
  EXPECT_EQ(host_.Matching("destroy").size(), 2u);
}

// KeepUninstaller: the program, its script and its language files in the
// folder (made with its parents), and the command lines that start them;
// each way it fails leaves the three variables undefined.
TEST_F(FileCommands, KeepUninstallerCopiesTheProgramAndSetsItsCommands) {
  WriteFiles({"C:\\setup\\setup.exe=program", "C:\\setup\\setup.English.txt=en",
              "C:\\setup\\SETUP.German.TXT=de", "C:\\setup\\setup.txt=marker",
              "C:\\setup\\notes.txt=n", "C:\\setup\\setup.Folder.txt\\x=folder",
              "C:\\starter\\setup.ini=starter's", "C:\\starter\\setup.French.txt=fr"});
  const std::string copied = "setup.English.txt|setup.exe|SETUP.German.TXT|setup.ini";
  struct Case {
    std::string lines;
    const char* folder;  // where the copies land
    std::string files;   // its files, '|'-joined
    std::string command; // UNINSTALL_CMD, or "(none)"
    std::string flags;
    std::string journaled;  // in an error or failure line or a box; "" for none
    const char* origin = "";  // the starter's directory of a moved uninstall
  };
  const std::string fits = "C:\\" + std::string(245, 'f');
  const Case cases[] = {
      {"KeepUninstaller DSTDIR\nKeepUninstaller DSTDIR", "C:\\dst", copied,
       "\"C:\\dst\\setup.exe\" /UNINSTALL /DIR=\"C:\\dst\"", "", ""},
      {"KeepUninstaller \"C:\\dst\\un\\bin\"", "C:\\dst\\un\\bin", copied,
       "\"C:\\dst\\un\\bin\\setup.exe\" /UNINSTALL /DIR=\"C:\\dst\"", "", ""},
      // Relative paths are made full; the program's own folder is left as it is.
      {"set DSTDIR \"..\\dst\\\"\nKeepUninstaller \".\"", "C:\\setup",
       "notes.txt|setup.English.txt|setup.exe|setup.Folder.txt\\|setup.Folder.txt\\x|"
       "SETUP.German.TXT|setup.ini|setup.txt",
       "\"C:\\setup\\setup.exe\" /UNINSTALL /DIR=\"C:\\dst\"", "", ""},
      // A moved uninstall keeps the script and language files of its starter.
      {"KeepUninstaller \"C:\\dst\\moved\"", "C:\\dst\\moved",
       "setup.exe|setup.French.txt|setup.ini", "\"C:\\dst\\moved\\setup.exe\" /UNINSTALL "
       "/DIR=\"C:\\dst\"", "", "", "C:\\starter"},
      {"KeepUninstaller UNDEFINED", "C:\\dst\\none", "", "(none)", "failure failedThisRun",
       "KeepUninstaller: no folder"},
      {"Clr DSTDIR\nKeepUninstaller \"C:\\un\"", "C:\\un", "", "(none)", "failure failedThisRun",
       "KeepUninstaller: DSTDIR is undefined"},
      {"MkStr \"C:\\dst\"\nset DSTDIR QTSTR\nKeepUninstaller \"C:\\un\"", "C:\\un", "", "(none)",
       "failure failedThisRun", "a path with a double quote"},
      // A copy or a folder that fails, and a path that does not fit, end the run.
      {"KeepUninstaller \"C:\\dst\\failing\"", "C:\\dst\\failing",
       "setup.English.txt|setup.exe|setup.ini", "(none)", "quit failure failedThisRun",
       "[Copy failed] Cannot copy C:\\setup\\SETUP.German.TXT"},
      {"KeepUninstaller \"C:\\dst\\refused\\deep\"", "C:\\dst\\refused", "", "(none)",
       "quit failure failedThisRun", "[Copy failed] Cannot create C:\\dst\\refused\\deep|"},
      {"KeepUninstaller \"" + fits + "\"", fits.c_str(), "setup.exe|setup.ini", "(none)",
       "quit failure failedThisRun", "Cannot copy setup.English.txt to " + fits + "|"},
  };
  machine_.InjectFailure(EffectCall::kCopyFile, "failing\\SETUP.German", kErrDiskFull, 1);
  machine_.InjectFailure(EffectCall::kCreateDirectory, "refused", kErrAccessDenied, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    CopyText(engine_->modes.programPath, "C:\\setup\\setup.exe");
    CopyText(engine_->modes.originDir, c.origin);
    VarSet(engine_->vars, "UNINSTALL_CMD", "stale");
    Statement(c.lines);
    VarSet(engine_->vars, "DSTDIR", "C:\\dst");
    std::string files;
    for (const std::string& file : machine_.Tree(c.folder)) files += (files.empty() ? "" : "|") + file;
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(Var("UNINSTALL_CMD") ? Var("UNINSTALL_CMD") : "(none)", c.command);
    EXPECT_EQ(SetFlags(), c.flags);
    std::string said = Boxes();
    for (const std::string& line : journal_) {
      if (line.find("error: ") != std::string::npos || line.find("failure: ") != std::string::npos) {
        said += line + "|";
      }
    }
    EXPECT_NE(said.find(c.journaled), std::string::npos) << said;
    if (c.journaled.empty() && c.flags.empty()) {
      EXPECT_EQ(said, "");
    }
  }
  EXPECT_STREQ(Var("UNINSTALL_QUIET"), nullptr);
  Statement("KeepUninstaller \"C:\\dst\\un\\bin\"");
  EXPECT_STREQ(Var("UNINSTALL_QUIET"),
               "\"C:\\dst\\un\\bin\\setup.exe\" /UNINSTALL /DIR=\"C:\\dst\" /SILENT");
  EXPECT_STREQ(Var("UNINSTALL_ICON"), "C:\\dst\\un\\bin\\setup.exe,0");
  EXPECT_EQ(File("C:\\dst\\un\\bin\\setup.English.txt"), "en");
  // The program's file is the one thing it cannot do without.
  engine_->modes.programPath[0] = 0;
  Statement("KeepUninstaller \"C:\\dst\\un\\bin\"");
  EXPECT_EQ(Var("UNINSTALL_CMD"), nullptr);
  EXPECT_EQ(SetFlags(), "failure failedThisRun");
}

// An uninstall moved out of the product folder: the starter's file and the
// folders that hold it cannot go while the starter runs; they wait, and go
// once it has ended, or at the next start of Windows. Anything else a
// delete leaves still counts. The copy itself goes at the next start.
TEST_F(FileCommands, AMovedUninstallDeletesWhatItsStarterHeldOnceItHasEnded) {
  const std::string copy = "C:\\windows\\temp\\VornUninstall.7\\setup.exe";
  const std::string copyFolder = "C:\\windows\\temp\\VornUninstall.7";
  const std::string held = "C:\\Quill\\uninst\\setup.exe";
  const std::string ownCopy = copy + " at the next start of Windows; " + copyFolder +
                              " at the next start of Windows";
  struct Case {
    std::string lines;
    bool starterEnds;   // before the deferred deletes
    const char* program;  // the moved copy's own file
    std::string flags;
    std::string ways;   // the journal's last line
    size_t leftForRestart;
    std::vector<std::string> left;  // C:\Quill's tree afterwards
  };
  const Case cases[] = {
      {"Deltree \"C:\\Quill\"", true, copy.c_str(), "",
       held + " deleted; C:\\Quill\\uninst deleted; C:\\Quill deleted; " + ownCopy, 2, {}},
      {"Deltree \"C:/Quill/\"", false, copy.c_str(), "",
       held + " at the next start of Windows; C:\\Quill\\uninst at the next start of Windows; "
              "C:\\Quill at the next start of Windows; " + ownCopy,
       5, {"uninst\\", "uninst\\setup.exe"}},
      // Only a temporary copy of the uninstall is ever left for the next start.
      {"Delete \"setup.exe\" \"C:\\Quill\\uninst\"\nDeltree \"C:\\Quill\\bin\"", true,
       "C:\\setup\\setup.exe", "", held + " deleted", 0, {"uninst\\", "uninst\\setup.ini"}},
      {"Deltree \"C:\\Quill\"", true, copy.c_str(), "failure failedThisRun",
       held + " deleted; C:\\Quill\\uninst deleted; C:\\Quill at the next start of Windows; " +
           ownCopy, 3, {"ro.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    WriteFiles({held + "=starter", "C:\\Quill\\uninst\\setup.ini=s", "C:\\Quill\\bin\\a.dll=a",
                copy + "=copy"});
    if (&c == &cases[3]) WriteFiles({"!C:\\Quill\\ro.txt=r"});
    machine_.deletesAtRestart.clear();
    machine_.InjectFailure(EffectCall::kDeleteFile, "uninst\\setup.exe", kErrAccessDenied);
    engine_->deferred = DeferredDeletes();
    CopyText(engine_->modes.originDir, "C:\\Quill\\uninst");
    CopyText(engine_->modes.programPath, c.program);
    HoldStarterFile(*engine_);
    Statement(c.lines);
    EXPECT_EQ(SetFlags(), c.flags);
    if (c.starterEnds) machine_.ClearFailures();
    FinishDeferredDeletes(*engine_);
    machine_.ClearFailures();
    ASSERT_FALSE(journal_.empty());
    EXPECT_EQ(journal_.back(), "deferred: " + c.ways);
    EXPECT_EQ(machine_.deletesAtRestart.size(), c.leftForRestart);
    EXPECT_EQ(machine_.Tree("C:\\Quill"), c.left);
    EXPECT_TRUE(machine_.Exists(copy));  // a running program stays until the restart
  }
  EXPECT_NE(Failures().find("Deltree C:\\Quill: 1 entries left behind"), std::string::npos);
  // The list is bounded: what it has no room for counts as left behind.
  std::string deep = "C:\\d";
  for (int i = 0; i < 19; ++i) deep += "\\d";
  machine_.ClearFailures();
  WriteFiles({deep + "\\setup.exe=starter"});
  machine_.InjectFailure(EffectCall::kDeleteFile, deep + "\\setup.exe", kErrAccessDenied);
  engine_->deferred = DeferredDeletes();
  CopyText(engine_->modes.originDir, deep.c_str());
  HoldStarterFile(*engine_);
  Statement("Deltree \"C:\\d\"");
  EXPECT_EQ(engine_->deferred.count, DeferredDeletes::kMax);
  EXPECT_EQ(Failures().substr(Failures().size() - 36), "Deltree C:\\d: 5 entries left behind|");
  machine_.ClearFailures();
}

// Which runs hand themselves to a copy outside the product folder, and the
// copy they make.
TEST_F(FileCommands, AnUninstallFromInsideItsFolderMovesToATemporaryCopy) {
  struct Case {
    bool uninstall;
    const char* command;  // the command line's words
    const char* program;
    const char* origin;
    bool moves;
  };
  const Case cases[] = {
      {true, "/DIR=C:\\Quill", "C:\\Quill\\uninst\\setup.exe", "", true},
      {true, "/DIR=c:\\quill\\", "C:\\QUILL\\setup.exe", "", true},
      {true, "/DIR=..\\Quill", "C:\\Quill\\setup.exe", "", true},
      {true, "/DIR=C:\\Quill", "C:\\Quill2\\setup.exe", "", false},
      {false, "/DIR=C:\\Quill", "C:\\Quill\\setup.exe", "", false},
      {true, "C:\\\\Quill", "C:\\Quill\\setup.exe", "", false},  // a directory word
      {true, "/DIR=C:\\Quill", "C:\\Quill\\setup.exe", "C:\\Quill", false},  // moved already
      {true, "/DIR=C:\\Quill", "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.program);
    RunModes modes;
    modes.uninstall = c.uninstall;
    std::string words = c.command;
    ParseCommandLine(&words[0], modes);
    CopyText(modes.programPath, c.program);
    CopyText(modes.originDir, c.origin);
    EXPECT_EQ(MustMoveOutOfProduct(machine_, modes), c.moves);
  }
  CopyText(engine_->modes.programPath, "C:\\Quill\\setup.exe");
  WriteFiles({"C:\\Quill\\setup.exe=program", "C:\\windows\\temp\\VornUninstall.41\\x=taken"});
  char copy[kPathMax];
  Reset();
  ASSERT_TRUE(MakeUninstallCopy(*engine_, 41, copy));
  EXPECT_STREQ(copy, "C:\\windows\\temp\\VornUninstall.42\\setup.exe");
  EXPECT_EQ(File(copy), "program");
  RemoveUninstallCopy(*engine_, copy);
  EXPECT_FALSE(machine_.Exists("C:\\windows\\temp\\VornUninstall.42"));
  // A copy that fails leaves no folder behind.
  machine_.InjectFailure(EffectCall::kCopyFile, "VornUninstall.42", kErrDiskFull, 1);
  EXPECT_FALSE(MakeUninstallCopy(*engine_, 41, copy));
  EXPECT_STREQ(copy, "");
  EXPECT_FALSE(machine_.Exists("C:\\windows\\temp\\VornUninstall.42"));
  EXPECT_EQ(Failures(), "no copy of the program in C:\\windows\\temp\\|");
}

TEST_F(FileCommands, TempFilesAndTheCurrentDirectory) {
  Statement("GetTempFileName TMP");
  ASSERT_NE(Var("TMP"), nullptr);
  EXPECT_EQ(std::string(Var("TMP")).substr(0, 10), "C:\\dst\\tem");
  EXPECT_TRUE(machine_.Exists(Var("TMP")));
  VarSet(engine_->vars, "DSTDIR", "C:\\none");
  Statement("GetTempFileName TMP");
  EXPECT_EQ(Var("TMP"), nullptr);
  EXPECT_TRUE(Flags().failure);
  machine_.CreateDirectory("C:\\setup\\DSTDIR");
  Statement("CD DSTDIR");
  EXPECT_EQ(machine_.currentDirectory, "C:\\setup\\DSTDIR");
  Statement("CD \"C:\\dst\"\nExist \"a*.dll\"");
  EXPECT_EQ(Flags().condition, 0);
  Statement("Exist \"C:\\src\\*.dll\"");
  EXPECT_EQ(Flags().condition, 1);
  Statement("Exist \"C:\\src\"");
  EXPECT_EQ(Flags().condition, 1);
}

}  // namespace

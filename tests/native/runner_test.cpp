// Section runner: section bounds, labels, unknown keywords, missing
// sections, bad lines, silent mode and the per-run progress dialog.
#include "script/runner.h"

#include <gtest/gtest.h>

#include "script/journal_effects.h"
#include "script/setup_run.h"
#include "script/unattended.h"
#include "tests/native/engine_fixture.h"

class Runner : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetVariables({});
  }
};

// Section bounds and labels, line ends, unknown keywords, bad bytes, and
// over-long lines: the tail of one is never a line of its own, not in a
// comment, not in a statement, not in a quoted text. A statement that long
// is not performed; it counts as an error of the run.
TEST_F(Runner, ScriptsAndWhatTheyLeave) {
  const std::string pad(1022, 'x');
  const std::string longSet = "set V \"" + std::string(1100, 'v') + "\"";
  const std::string longAppend = "AppendFile \"" + std::string(1011, 'x') + Mark("injected");
  // The box shows the first 64 bytes of an over-long statement.
  auto tooLong = [](const std::string& line) {
    return "box 0 [Error] Unknown: " + line.substr(0, 64) + "...|";
  };
  const ScriptCase cases[] = {
      {"from the label to the next label",
       "[Other]\n" + Mark("other") + "[setup] ; trailing text after the bracket\n" + Mark("one") +
           "\n   \n; AppendFile \"comment\" \"out.txt\"\n  " + Mark("two") + "[Next]\n" +
           Mark("next"),
       "one|two", "", "condition=1"},
      {"last line with a line feed", "[Setup]\n" + Mark("a"), "a", "", "condition=1"},
      {"last line without one", "[Setup]\r\nAppendFile \"b\" \"out.txt\"", "b", "",
       "condition=1"},
      {"a label on the last line", Mark("x") + "[Setup]", "", "", ""},
      // A CR without its LF ends no line: it is a blank inside the line, and
      // a quoted text keeps it.
      {"lone CR", "[Setup]\rAppendFile \"hidden\" \"out.txt\"\n"
                  "AppendFile \"a\" \"out.txt\"\rAppendFile \"b\" \"out.txt\"\n"
                  "AppendFile \"c\rd\" \"out.txt\"\r\r\n"
                  "\rAppendFile\r\"e\"\r\"out.txt\"\n[Setup]\n",
       "a|c\rd|e", "", "condition=1"},
      // Labels match only the text inside the brackets.
      {"[ Setup ] and [Setup without its bracket",
       "[ Setup ]\n" + Mark("blanks") + "[Setup\n" + Mark("open"), "",
       "box 0 [Error] No such section|", "failedThisRun"},
      // An indented label is found but does not end the section before.
      {"indented label", "[Setup]\n" + Mark("1") + "  [Inner]\n" + Mark("2"), "1|2",
       "box 0 [Error] Unknown:   [Inner]|", "condition=1 failedThisRun"},
      {"unknown keyword: the run goes on", "[Setup]\n  Frobnicate a b\n" + Mark("after"),
       "after", "box 0 [Error] Unknown:   Frobnicate|", "condition=1 failedThisRun"},
      // The line's end is not part of an open quote's value.
      {"bad bytes and open quotes",
       "[Setup]\n" + std::string("set A \"x\0y\"\n", 12) +
           "set B \"unterminated\n\xff\xfe\x80 set C \"high\"\n"
           "AppendFile B \"out.txt\"\nAppendFile A \"out.txt\"\nAppendFile C \"out.txt\"\n",
       "unterminated|x|high", "", "condition=1"},
      // 1,023 bytes (and the line feed) behave as before.
      {"1,023 bytes", "[Setup]\n" + Mark(std::string(1000, 'v')) + Mark("ok"),
       std::string(1000, 'v') + "|ok", "", "condition=1"},
      {"over-long comment", "[Setup]\n;" + pad + "quiterr\n" + Mark("ok"), "ok", "", "condition=1"},
      {"over-long comment before a label", "[Setup]\n;" + pad + "[End]\n" + Mark("ok"), "ok", "",
       "condition=1"},
      {"over-long statement", "[Setup]\n" + longSet + "\nAppendFile V \"out.txt\"\n", "",
       tooLong(longSet), "condition=1 failedThisRun"},
      // The tail of the quoted text, from byte 1,024 on, would read as a
      // statement.
      {"over-long quoted text", "[Setup]\n" + longAppend + Mark("ok"), "ok", tooLong(longAppend),
       "condition=1 failedThisRun"},
      // A NUL byte inside does not hide the line's length.
      {"NUL in an over-long comment",
       "[Setup]\n;" + std::string(1, '\0') + std::string(1021, 'x') + "quiterr\n" + Mark("ok"),
       "ok", "", "condition=1"},
      // An over-long line skipped by If and by the label search.
      {"over-long line in a skip", "[Setup]\nStrcmp \"a\" \"b\"\nIf\n;" + pad + "Else\n" +
           Mark("no") + "Else\n" + Mark("else") + "Endif\n", "else", "", "condition=1"},
      {"over-long line before the label", ";" + pad + "[Setup]\n" + Mark("tail") + "[Setup]\n" +
           Mark("found"), "found", "", "condition=1"},
  };
  for (const ScriptCase& c : cases) ExpectRun(c);
  // The indented label runs as a section of its own.
  ClearTrace();
  Run("[Setup]\n" + Mark("x") + "  [Inner]\n" + Mark("3"), "inner");
  EXPECT_EQ(Trace(), "3");
}

// The end-of-run steps of the record and the reboot, counted as an error
// of the run; the run ends, and neither flag ends the caller's run.
TEST_F(Runner, MissingSectionTakesTheEndOfRunSteps) {
  SetFailureMarker();
  Run("[Other]\n", "Setup");
  EXPECT_EQ(Boxes(), "box 0 [Error] No such section|");
  EXPECT_FALSE(FailureMarkerSet());
  EXPECT_TRUE(host_.Matching("reboot").empty());
  EXPECT_EQ(SetFlags(), "failedThisRun");
  Flags().failure = 1;
  Flags().reboot = 1;
  SetFailureMarker();
  RunSection(*engine_, nullptr, nullptr);  // a bare name without value
  EXPECT_TRUE(FailureMarkerSet());  // kept: the failure flag is set
  EXPECT_EQ(host_.Matching("reboot").size(), 1u);
  EXPECT_EQ(host_.Matching("box").size(), 2u);
}

TEST_F(Runner, SilentModeShowsNoBoxAndNoDialog) {
  engine_->modes.silent = true;
  ExpectRun({"silent", "[Setup]\nBogus\nMsgBoxOK \"hi\"\ngoto Nowhere\n" + Mark("done"), "done",
             "", "condition=1 failedThisRun"});
  EXPECT_TRUE(host_.Matching("show").empty());
  EXPECT_EQ(host_.dialogsCreated, 2);
}

TEST_F(Runner, EachRunHasItsOwnDialogAndPumpsAfterEveryStatement) {
  Run("[Setup]\nget\nget\n");
  EXPECT_EQ(host_.events[0], "create dialog d1 owner main");
  EXPECT_EQ(host_.events[1], "text d1 1001 Setup...");
  EXPECT_EQ(host_.events.back(), "close d1");
  EXPECT_EQ(host_.Matching("show d1").size(), 1u);
  EXPECT_EQ(host_.pumpedLimitTotal, 1 + 2 * kPumpLimit);
}

TEST_F(Runner, UnboundCommandIsAnInternalError) {
  ExpectRun({"unbound", "[Setup]\nGetSMTPServer\n" + Mark("after"), "after",
             "box 0 [Install Internal Error] Invalid File Operation|",
             "condition=1 failure failedThisRun"});
  EXPECT_EQ(host_.Matching("dismiss d1").size(), 1u);
}

// A whole run: no setup.ini arms nothing; a run arms the record, and its
// one end keeps the marker while the failure flag is set, whether this run
// or the one before set it.
TEST_F(Runner, AWholeRunArmsTheRecordAndTakesOneEnd) {
  ScriptFile script;
  EXPECT_EQ(StartSetupRun(*engine_, script), kSetupNoScript);
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyLocalMachine, kInstallStateKey));
  WriteFile("setup.ini", "[Setup]\nquiterr \"x\" \"y\"\n[Uninstall]\n");
  ASSERT_EQ(StartSetupRun(*engine_, script), kSetupStarted);
  EXPECT_EQ(engine_->script, &script);
  EXPECT_EQ(Flags().failure, 0);
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 1);
  EXPECT_TRUE(FailureMarkerSet());
  Flags() = RunFlags();
  engine_->modes.uninstall = true;
  ASSERT_EQ(StartSetupRun(*engine_, script), kSetupStarted);
  EXPECT_EQ(Flags().failure, 1);  // the marker of the run before
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 0);
  EXPECT_TRUE(FailureMarkerSet());
  Flags() = RunFlags();
  ClearFailureMarker(machine_);
  ASSERT_EQ(StartSetupRun(*engine_, script), kSetupStarted);
  EXPECT_TRUE(FailureMarkerSet());  // armed
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 0);
  EXPECT_FALSE(FailureMarkerSet());
}

// The exit code is the first that applies; /NORESTART leaves a reboot to
// whoever started the program and says so.
TEST_F(Runner, ExitCodesAndTheRebootLeftToTheCaller) {
  struct Case {
    const char* script;
    bool noRestart;
    int exitCode;
    bool rebooted;
  } cases[] = {
      {"", false, 0, false},
      {"quiterr \"x\" \"y\"", false, 1, false},
      {"CopyA \"C:\\none.dll\" \"C:\\x.dll\"", true, 1, false},  // Yes asks for a reboot
      {"CopyA \"C:\\none.dll\" \"C:\\x.dll\"", false, 1, true},
      {"set A \"1\"", true, 0, false},
      {"RebootNeeded", false, 0, true},
      {"RebootNeeded", true, 3010, false},
      {"RebootNeeded\nquiterr \"x\" \"y\"", true, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    engine_->modes.noRestart = c.noRestart;
    host_.boxAnswers.push_back(kIdYes);
    Statement(c.script);
    TakeEndOfRunSteps(*engine_);
    EXPECT_EQ(ExitCodeOfRun(*engine_), c.exitCode);
    EXPECT_EQ(host_.Matching("reboot").size(), c.rebooted ? 1u : 0u);
  }
  Flags() = RunFlags();
  Flags().reboot = 1;
  engine_->modes.noRestart = false;
  EXPECT_EQ(ExitCodeOfRun(*engine_), 0);
  engine_->modes.noRestart = true;
  EXPECT_EQ(ExitCodeOfRun(*engine_), 3010);
  Flags().failedThisRun = true;
  EXPECT_EQ(ExitCodeOfRun(*engine_), 1);
  Flags().abandoned = true;
  EXPECT_EQ(ExitCodeOfRun(*engine_), 2);
  Flags().unanswered = true;
  EXPECT_EQ(ExitCodeOfRun(*engine_), 3);
}

// An answers file is checked before anything is armed; a box it answers
// does not appear; every answer of the run, given or the user's, is
// recorded and written at the end; an unattended run that lacks an answer
// silent mode still asks for ends with exit code 3.
TEST_F(Runner, AnswersAreCheckedGivenRecordedAndLacked) {
  KeepJournal();
  ScriptFile script;
  WriteFile("setup.ini", "[Setup]\nset ASK \"Keep it?\"\nMsgBoxYESNO ASK \"Vorn\"\nIf\n" +
                             Mark("kept") + "Endif\nMsgBoxOKCancel \"Go on?\" \"Vorn\"\nIf\n" +
                             Mark("went on") + "Endif\n");
  RunModes& modes = engine_->modes;
  modes.answersRequested = modes.saveAnswersRequested = true;
  CopyText(modes.answersPath, "answers.txt");
  CopyText(modes.saveAnswersPath, "saved.txt");
  WriteFile("answers.txt", "MsgBoxYESNO ASK = maybe\n");
  EXPECT_EQ(StartSetupRun(*engine_, script), kSetupBadAnswers);
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyLocalMachine, kInstallStateKey));
  EXPECT_EQ(journal_.back().find("error: answers file answers.txt: line 1: "), 0u)
      << journal_.back();
  WriteFile("answers.txt", "; given\nMsgBoxYESNO ASK = yes\n");
  host_.boxAnswers.push_back(kIdCancel);
  ASSERT_EQ(StartSetupRun(*engine_, script), kSetupStarted);
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 0);
  EXPECT_EQ(Boxes(), "box 0 [Setup] The answers file cannot be used:\nanswers.txt\n"
                     "line 1: the answer is neither yes nor no|box 1 [Vorn] Go on?|");
  EXPECT_EQ(Trace(), "kept");
  std::string saved = ReadFile("saved.txt");
  EXPECT_NE(saved.find("\r\nMsgBoxYESNO ASK = yes\r\nMsgBoxOKCancel \"Go on?\" = cancel\r\n"),
            std::string::npos) << saved;
  modes.silent = true;
  EXPECT_TRUE(EndUnanswered(*engine_, "SETUPTYPE", nullptr));
  EXPECT_EQ(journal_.back(), "error: unattended run: no answer for SETUPTYPE");
  EXPECT_EQ(ExitCodeOfRun(*engine_), 3);
  engine_->answers = nullptr;  // silent mode alone asks as it always did
  Flags() = RunFlags();
  EXPECT_FALSE(EndUnanswered(*engine_, "SETUPTYPE", nullptr));
  EXPECT_EQ(ExitCodeOfRun(*engine_), 0);
}

// An armed install that fails is undone whole, across the runs it started
// (goto, Include), with the status line saying so; a program it ran is
// named as not undone; one that ends well keeps its changes and no kept
// file; an uninstall never rolls back.
TEST_F(Runner, RollbackUndoesTheWholeInstallAcrossItsRuns) {
  struct Case {
    const char* name;
    std::string script;  // setup.ini; "[Other]" in other.ini is Included
    bool uninstall;
    int exitCode;
    std::vector<std::string> files;  // File() of each path after the run
    std::string journal;             // a journal line holds this
    std::string status;              // the last status line ("Setup...": the run's own)
  } cases[] = {
      {"NestedRunsAreOneInstall",
       "[Setup]\nRollbackOnFailure\nMkDir \"C:\\a\"\ngoto \"More\"\n"
       "Include \"other.ini\" \"Other\"\nquiterr \"x\" \"y\"\n"
       "[More]\nAppendFile \"one\" \"C:\\a\\f.txt\"\nAppendFile \"two\" \"C:\\keep.txt\"\n",
       false, 1, {"C:\\a=(none)", "C:\\keep.txt=old\r\n", "C:\\b=(none)"},
       "rollback: done", "Rolling back the changes of this install..."},
      {"AProgramRunIsNamedAsNotUndone",
       "[Setup]\nset ROLLBACK_MSG \"Undoing\"\nRollbackOnFailure\nRunWait \"C:\\p.exe\"\n"
       "quiterr \"x\" \"y\"\n",
       false, 1, {}, "not undone: program run: C:\\p.exe", "Undoing"},
      {"AnInstallThatEndsWellKeepsItsChanges",
       "[Setup]\nRollbackOnFailure\nAppendFile \"two\" \"C:\\keep.txt\"\nDelete \"C:\\gone.txt\"\n",
       false, 0, {"C:\\keep.txt=old\r\ntwo\r\n", "C:\\gone.txt=(none)"},
       "kept: C:\\gone.txt -> C:\\windows\\temp\\.~vu", "Setup..."},
      // Each step is undone in the current directory it was made in: the
      // new rel.txt goes, not the user's one of the same name.
      {"RelativePathsAreUndoneWhereTheyWereMade",
       "[Setup]\nRollbackOnFailure\nAppendFile \"x\" \"rel.txt\"\nCD \"C:\\other\"\n"
       "AppendFile \"y\" \"rel.txt\"\nquiterr \"x\" \"y\"\n",
       false, 1, {"C:\\setup\\rel.txt=(none)", "C:\\other\\rel.txt=mine\r\n"},
       "rollback: done", "Undoing"},  // the message set by a row above
      // A delete keeps its file away from the folder, which can then go.
      {"ADeletedTreeGoesAndComesBack",
       "[Setup]\nRollbackOnFailure\nDeltree \"C:\\old\"\nExist \"C:\\old\"\nIf\n"
       "  quiterr \"x\" \"y\"\nEndif\nDeltree \"C:\\older\"\n",
       false, 0, {"C:\\old=(none)", "C:\\older=(none)"}, "file deleted: ", "Setup..."},
      {"AFailedInstallPutsADeletedTreeBack",
       "[Setup]\nRollbackOnFailure\nDeltree \"C:\\old\"\nquiterr \"x\" \"y\"\n",
       false, 1, {"C:\\old\\sub\\a.txt=a"}, "rollback: done", "Undoing"},
      {"AnUninstallNeverRollsBack",
       "[Uninstall]\nRollbackOnFailure\nDelete \"C:\\gone.txt\"\nquiterr \"x\" \"y\"\n", true, 1,
       {"C:\\gone.txt=(none)"}, "error: quiterr", "Setup..."},
  };
  JournalEffects journaled(machine_, *engine_);
  engine_->effects = &journaled;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine_.currentDirectory = "C:\\setup";
    WriteFiles({"C:\\keep.txt=old\r\n", "C:\\gone.txt=g", "C:\\p.exe=MZ",
                "C:\\other\\rel.txt=mine\r\n", "C:\\old\\sub\\a.txt=a", "C:\\older\\b.txt=b",
                "other.ini=[Other]\nMkDir \"C:\\b\"\n"});
    engine_->modes.uninstall = c.uninstall;
    Reset();
    KeepJournal();
    host_.statusLine.clear();
    Run(c.script, c.uninstall ? "Uninstall" : "Setup");
    TakeEndOfRunSteps(*engine_);
    EXPECT_EQ(ExitCodeOfRun(*engine_), c.exitCode);
    for (const std::string& file : c.files) {
      size_t equals = file.find('=');
      EXPECT_EQ(File(file.substr(0, equals)), file.substr(equals + 1)) << file;
    }
    bool journaledLine = false;
    for (const std::string& line : journal_) {
      journaledLine = journaledLine || line.find(c.journal) != std::string::npos;
    }
    EXPECT_TRUE(journaledLine) << c.journal;
    EXPECT_EQ(host_.statusLine, c.status);
    for (const auto& file : machine_.Files()) {
      EXPECT_EQ(file.first.find(".~VU"), std::string::npos) << file.first << " is left";
    }
  }
  // A read-only file is not kept, so not deleted, as Windows refuses it;
  // the refusal reaches the failure log as the refused call's would.
  WriteFiles({"!C:\\ro.txt=r"});
  engine_->modes.uninstall = false;
  Reset();
  Run("[Setup]\nRollbackOnFailure\nDelete \"C:\\ro.txt\"\n");
  TakeEndOfRunSteps(*engine_);
  EXPECT_EQ(File("C:\\ro.txt"), "!r");
  EXPECT_EQ(host_.Matching("log keep aside C:\\ro.txt").size(), 1u);
}

// Section runner: section bounds, labels, unknown keywords, missing
// sections, bad lines, silent mode and the per-run progress dialog.
#include "script/runner.h"

#include <gtest/gtest.h>

#include "script/setup_run.h"
#include "tests/native/engine_fixture.h"

using Runner = EngineTest;

TEST_F(Runner, RunsFromTheLabelToTheNextLabel) {
  Run("[Other]\nAppendFile \"other\" \"out.txt\"\n"
      "[setup] ; trailing text after the bracket\n"
      "AppendFile \"one\" \"out.txt\"\n"
      "\n   \n; AppendFile \"comment\" \"out.txt\"\n"
      "  AppendFile \"two\" \"out.txt\"\n"
      "[Next]\nAppendFile \"next\" \"out.txt\"\n");
  EXPECT_EQ(Trace(), "one|two");
}

TEST_F(Runner, LastLineWithAndWithoutLineFeed) {
  Run("[Setup]\nAppendFile \"a\" \"out.txt\"\n");
  EXPECT_EQ(Trace(), "a");
  Run("[Setup]\r\nAppendFile \"b\" \"out.txt\"");
  EXPECT_EQ(Trace(), "a|b");
  Run("AppendFile \"x\" \"out.txt\"\n[Setup]");
  EXPECT_EQ(Trace(), "a|b");
}

// A CR without its LF ends no line: it is a blank inside the line, and a
// quoted text keeps it.
TEST_F(Runner, LoneCrEndsNoLine) {
  Run("[Setup]\rAppendFile \"hidden\" \"out.txt\"\n"
      "AppendFile \"a\" \"out.txt\"\rAppendFile \"b\" \"out.txt\"\n"
      "AppendFile \"c\rd\" \"out.txt\"\r\r\n"
      "\rAppendFile\r\"e\"\r\"out.txt\"\n[Setup]\n");
  EXPECT_EQ(ReadFile("out.txt"), "a\r\nc\rd\r\ne\r\n");
}

TEST_F(Runner, LabelsMatchOnlyTheTextInsideTheBrackets) {
  SetFailureMarker();
  Run("[ Setup ]\nAppendFile \"blanks\" \"out.txt\"\n"
      "[Setup\nAppendFile \"open\" \"out.txt\"\n");
  EXPECT_FALSE(FailureMarkerSet());  // the missing-section path
  EXPECT_TRUE(Flags().failedThisRun);
  EXPECT_EQ(ReadFile("out.txt"), "");
}

TEST_F(Runner, IndentedLabelIsFoundButDoesNotEndTheSectionBefore) {
  VarSet(engine_->vars, "ERROR_INI_SYNTAX", "syntax: %s");
  Run("[Setup]\nAppendFile \"1\" \"out.txt\"\n  [Inner]\n"
      "AppendFile \"2\" \"out.txt\"\n");
  EXPECT_EQ(Trace(), "1|2");
  EXPECT_EQ(host_.Matching("box").size(), 1u);
  EXPECT_EQ(host_.Matching("box")[0], "box 0 [(default)] syntax:   [Inner]");
  Run("[Setup]\nAppendFile \"x\" \"out.txt\"\n  [Inner]\n"
      "AppendFile \"3\" \"out.txt\"\n", "inner");
  EXPECT_EQ(Trace(), "1|2|3");
}

TEST_F(Runner, UnknownKeywordShowsTheKeywordAndTheRunGoesOn) {
  VarSet(engine_->vars, "ERROR_TTL", "Error");
  VarSet(engine_->vars, "ERROR_INI_SYNTAX", "Unknown: %s");
  Run("[Setup]\n  Frobnicate a b\nAppendFile \"after\" \"out.txt\"\n");
  EXPECT_EQ(Trace(), "after");
  ASSERT_EQ(host_.Matching("box").size(), 1u);
  EXPECT_EQ(host_.Matching("box")[0], "box 0 [Error] Unknown:   Frobnicate");
  EXPECT_EQ(Flags().failure, 0);
  EXPECT_EQ(Flags().stop, 0);
}

// The end-of-run steps of the record and the reboot, counted as an error
// of the run; the run ends, and neither flag ends the caller's run.
TEST_F(Runner, MissingSectionTakesTheEndOfRunSteps) {
  VarSet(engine_->vars, "ERROR_TTL", "Error");
  VarSet(engine_->vars, "ERROR_INI_INC", "No such section");
  SetFailureMarker();
  Run("[Other]\n", "Setup");
  EXPECT_EQ(host_.Matching("box")[0], "box 0 [Error] No such section");
  EXPECT_FALSE(FailureMarkerSet());
  EXPECT_TRUE(host_.Matching("reboot").empty());
  EXPECT_TRUE(Flags().failedThisRun);
  EXPECT_EQ(Flags().stop, 0);
  EXPECT_EQ(Flags().quit, 0);
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
  VarSet(engine_->vars, "ERROR_INI_SYNTAX", "Unknown: %s");
  VarSet(engine_->vars, "ERROR_INI_INC", "missing");
  Run("[Setup]\nBogus\nMsgBoxOK \"hi\"\ngoto Nowhere\n"
      "AppendFile \"done\" \"out.txt\"\n");
  EXPECT_TRUE(host_.Matching("box").empty());
  EXPECT_TRUE(host_.Matching("show").empty());
  EXPECT_EQ(host_.dialogsCreated, 2);
  EXPECT_EQ(Trace(), "done");
}

TEST_F(Runner, EachRunHasItsOwnDialogAndPumpsAfterEveryStatement) {
  Run("[Setup]\nget\nget\n");
  EXPECT_EQ(host_.events[0], "create dialog d1 owner main");
  EXPECT_EQ(host_.events[1], "text d1 1001 Setup...");
  EXPECT_EQ(host_.events.back(), "close d1");
  EXPECT_EQ(host_.Matching("show d1").size(), 1u);
  EXPECT_EQ(host_.pumpedLimitTotal, 1 + 2 * kPumpLimit);
}

// The tail of an over-long line is never a line of its own: not in a
// comment, not in a statement, not in a quoted text. A statement that long
// is not performed; it counts as an error of the run.
TEST_F(Runner, OverLongLinesAreNeverCutIntoStatements) {
  VarSet(engine_->vars, "ERROR_INI_SYNTAX", "bad: %s");
  std::string pad(1022, 'x');
  struct Case { std::string script; std::string trace; size_t boxes; bool failed; };
  const Case cases[] = {
      // 1,023 bytes (and the line feed) behave as before.
      {"[Setup]\nAppendFile \"" + std::string(1000, 'v') + "\" \"out.txt\"\n" +
           "AppendFile \"ok\" \"out.txt\"\n",
       std::string(1000, 'v') + "|ok", 0, false},
      {"[Setup]\n;" + pad + "quiterr\nAppendFile \"ok\" \"out.txt\"\n", "ok", 0, false},
      {"[Setup]\n;" + pad + "[End]\nAppendFile \"ok\" \"out.txt\"\n", "ok", 0, false},
      {"[Setup]\nset V \"" + std::string(1100, 'v') + "\"\nAppendFile V \"out.txt\"\n", "", 1, true},
      // The tail of the quoted text, from byte 1,024 on, reads as a statement.
      {"[Setup]\nAppendFile \"" + std::string(1011, 'x') +
           "AppendFile \"injected\" \"out.txt\"\nAppendFile \"ok\" \"out.txt\"\n",
       "ok", 1, true},
      // A NUL byte inside does not hide the line's length.
      {"[Setup]\n;" + std::string(1, '\0') + std::string(1021, 'x') + "quiterr\n" +
           "AppendFile \"ok\" \"out.txt\"\n",
       "ok", 0, false},
      // An over-long line skipped by If and by the label search.
      {"[Setup]\nStrcmp \"a\" \"b\"\nIf\n;" + pad + "Else\nAppendFile \"no\" \"out.txt\"\n"
           "Else\nAppendFile \"else\" \"out.txt\"\nEndif\n",
       "else", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script.substr(0, 40));
    host_.events.clear();
    ClearTrace();
    Flags().failedThisRun = false;
    Run(c.script);
    EXPECT_EQ(Trace(), c.trace);
    EXPECT_EQ(host_.Matching("box").size(), c.boxes);
    EXPECT_EQ(Flags().failedThisRun, c.failed);
  }
  // The label search passes over the tail of an over-long line too.
  ClearTrace();
  Run(";" + pad + "[Setup]\nAppendFile \"tail\" \"out.txt\"\n"
      "[Setup]\nAppendFile \"found\" \"out.txt\"\n");
  EXPECT_EQ(Trace(), "found");
}

TEST_F(Runner, BadBytesAndOpenQuotesDoNotCrash) {
  VarSet(engine_->vars, "ERROR_INI_SYNTAX", "bad: %s");
  std::string script = "[Setup]\n";
  script += std::string("set A \"x\0y\"\n", 12);
  script += "set B \"unterminated\n\xff\xfe\x80 set C \"high\"\n";
  script += "AppendFile B \"out.txt\"\n";
  Run(script);
  // The line's end is not part of the open quote's value.
  EXPECT_EQ(Trace(), "unterminated");
  EXPECT_STREQ(Var("A"), "x");
  EXPECT_STREQ(Var("C"), "high");
  EXPECT_TRUE(host_.Matching("box").empty());
}

TEST_F(Runner, UnboundCommandIsAnInternalError) {
  Run("[Setup]\nGetSMTPServer\nAppendFile \"after\" \"out.txt\"\n");
  EXPECT_EQ(host_.Matching("box")[0],
            "box 0 [Install Internal Error] Invalid File Operation");
  EXPECT_EQ(host_.Matching("dismiss d1").size(), 1u);
  EXPECT_EQ(Flags().failure, 1);
  EXPECT_TRUE(Flags().failedThisRun);
  EXPECT_EQ(Trace(), "after");
}

// A whole run: no setup.ini arms nothing; a run arms the record, and its
// one end keeps the marker while the failure flag is set, whether this run
// or the one before set it.
TEST_F(Runner, AWholeRunArmsTheRecordAndTakesOneEnd) {
  ScriptFile script;
  EXPECT_FALSE(StartSetupRun(*engine_, script));
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyLocalMachine, kInstallStateKey));
  WriteFile("setup.ini", "[Setup]\nquiterr \"x\" \"y\"\n[Uninstall]\n");
  ASSERT_TRUE(StartSetupRun(*engine_, script));
  EXPECT_EQ(engine_->script, &script);
  EXPECT_EQ(Flags().failure, 0);
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 1);
  EXPECT_TRUE(FailureMarkerSet());
  Flags() = RunFlags();
  engine_->modes.uninstall = true;
  ASSERT_TRUE(StartSetupRun(*engine_, script));
  EXPECT_EQ(Flags().failure, 1);  // the marker of the run before
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 0);
  EXPECT_TRUE(FailureMarkerSet());
  Flags() = RunFlags();
  ClearFailureMarker(machine_);
  ASSERT_TRUE(StartSetupRun(*engine_, script));
  EXPECT_TRUE(FailureMarkerSet());  // armed
  EXPECT_EQ(RunSetupScript(*engine_, nullptr), 0);
  EXPECT_FALSE(FailureMarkerSet());
}

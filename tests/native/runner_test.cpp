// Section runner: section bounds, labels, unknown keywords, missing
// sections, bad lines, silent mode and the per-run progress dialog.
#include "script/runner.h"

#include <gtest/gtest.h>

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
  Run("[ Setup ]\nAppendFile \"blanks\" \"out.txt\"\n"
      "[Setup\nAppendFile \"open\" \"out.txt\"\n");
  EXPECT_EQ(host_.Matching("quit -1").size(), 1u);
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

TEST_F(Runner, MissingSectionTakesTheQuitPath) {
  VarSet(engine_->vars, "ERROR_TTL", "Error");
  VarSet(engine_->vars, "ERROR_INI_INC", "No such section");
  Run("[Other]\n", "Setup");
  EXPECT_EQ(host_.Matching("box")[0], "box 0 [Error] No such section");
  EXPECT_EQ(host_.Matching("clear marker").size(), 1u);
  EXPECT_EQ(host_.Matching("quit -1").size(), 1u);
  EXPECT_TRUE(host_.Matching("reboot").empty());
  Flags().failure = 1;
  Flags().reboot = 1;
  RunSection(*engine_, nullptr, nullptr);  // a bare name without value
  EXPECT_EQ(host_.Matching("clear marker").size(), 1u);
  EXPECT_EQ(host_.Matching("reboot").size(), 1u);
  EXPECT_EQ(host_.Matching("quit -1").size(), 2u);
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

TEST_F(Runner, LongLinesComeInPiecesAndBadBytesDoNotCrash) {
  VarSet(engine_->vars, "ERROR_INI_SYNTAX", "bad: %s");
  std::string longValue(1500, 'v');
  std::string script = "[Setup]\nAppendFile \"" + longValue +
                       "\" \"out.txt\"\nAppendFile \"ok\" \"out.txt\"\n";
  script += std::string("set A \"x\0y\"\n", 12);
  script += "set B \"unterminated\n\xff\xfe\x80 set C \"high\"\n";
  script += "AppendFile B \"out.txt\"\n";
  Run(script);
  std::string trace = Trace();
  // The first 1023 bytes are a statement whose quote never closes; the rest
  // of the line is a statement of its own, with an unknown keyword.
  // The line feed inside the value goes to disk as CR LF.
  EXPECT_EQ(trace.substr(trace.size() - 16), "ok|unterminated|");
  EXPECT_STREQ(Var("A"), "x");
  EXPECT_STREQ(Var("C"), "high");
  EXPECT_EQ(host_.Matching("box").size(), 1u);
}

TEST_F(Runner, UnboundCommandIsAnInternalError) {
  Run("[Setup]\nMkDir \"x\"\nAppendFile \"after\" \"out.txt\"\n");
  EXPECT_EQ(host_.Matching("box")[0],
            "box 0 [Install Internal Error] Invalid File Operation");
  EXPECT_EQ(host_.Matching("dismiss d1").size(), 1u);
  EXPECT_EQ(Flags().failure, 1);
  EXPECT_TRUE(Flags().failedThisRun);
  EXPECT_EQ(Trace(), "after");
}

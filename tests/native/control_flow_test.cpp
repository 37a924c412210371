// Conditions and section calls, observed through what the script appends.
#include "script/control_flow.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/native/engine_fixture.h"

using ControlFlow = EngineTest;

// A script line that records `tag` in out.txt.
static std::string Mark(const std::string& tag) {
  return "AppendFile \"" + tag + "\" \"out.txt\"\n";
}
// Sets the condition flag to 1 (true) or 0 (false).
static std::string Condition(bool value) {
  return value ? "Strcmp \"a\" \"a\"\n" : "Strcmp \"a\" \"b\"\n";
}

TEST_F(ControlFlow, IfElseEndifAndTheFlagValuesTheyLeave) {
  struct Case { bool condition; bool withElse; bool thenRan; bool elseRan; int flag; };
  const Case cases[] = {
      {true, false, true, false, 1},
      {false, false, false, false, 2},
      {true, true, true, false, 1},
      {false, true, false, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.condition << c.withElse);
    VarClearAll(engine_->vars);
    std::string body = Condition(c.condition) + "If\nset THEN \"1\"\n";
    if (c.withElse) body += "Else\nset ELSE \"1\"\n";
    Run("[Setup]\n" + body + "Endif\n");
    EXPECT_EQ(Var("THEN") != nullptr, c.thenRan);
    EXPECT_EQ(Var("ELSE") != nullptr, c.elseRan);
    EXPECT_EQ(Flags().condition, c.flag);
  }
}

TEST_F(ControlFlow, SkipsDoNotNestAndMatchInAnyCase) {
  Run("[Setup]\n" + Condition(false) + "If\n" + Condition(true) + "If\n" +
      Mark("X") + "endif\n" + Mark("Y") + "ENDIF\n" + Mark("Z"));
  EXPECT_EQ(Trace(), "Y|Z");
  ClearTrace();
  Run("[Setup]\n" + Condition(false) + "If\n;Else\n" + Mark("hidden") +
      "  eLsE  \n" + Mark("else") + "Endif\n");
  EXPECT_EQ(Trace(), "else");
}

TEST_F(ControlFlow, SkipRunsOnIntoALaterSection) {
  Run("[Setup]\n" + Condition(false) + "If\n" + Mark("skipped") +
      "[Later]\n" + Mark("skipped too") + "Endif\n" + Mark("after") +
      "[Last]\n" + Mark("never"));
  EXPECT_EQ(Trace(), "after");
}

TEST_F(ControlFlow, UnclosedBlockEndsOnlyTheCurrentRun) {
  VarSet(engine_->vars, "ERROR_SYNTAX", "missing %s");
  Run("[Setup]\ngoto \"Inner\"\n" + Mark("outer goes on") + "[Inner]\n" +
      Condition(false) + "If\n" + Mark("never"));
  EXPECT_EQ(Trace(), "outer goes on");
  EXPECT_EQ(host_.Matching("box")[0], "box 0 [(default)] missing else/endif");
  EXPECT_EQ(Flags().failure, 1);
  ClearTrace();
  Run("[Setup]\ngoto \"Inner\"\n" + Mark("outer") + "[Inner]\n" +
      Condition(true) + "If\nElse\n" + Mark("never"));
  EXPECT_EQ(host_.Matching("box")[1], "box 0 [(default)] missing endif");
  EXPECT_EQ(Trace(), "outer");
}

TEST_F(ControlFlow, GotoIsACallAndReturnEndsOnlyTheInnerRun) {
  Run("[Setup]\n" + Mark("1") + "goto \"A\"\n" + Mark("4") + "[A]\n" + Mark("2") +
      "goto \"B\"\n" + Mark("3") + "Return\n" + Mark("never") + "[B]\n" +
      Mark("b") + "Return\n");
  EXPECT_EQ(Trace(), "1|2|b|3|4");
  EXPECT_EQ(Flags().stop, 0);
  EXPECT_EQ(engine_->runDepth, 0);
}

TEST_F(ControlFlow, IncludeRunsAnotherFileAndComesBack) {
  WriteFile("lang.txt", "[Messages]\nset GREETING \"hello\"\n" + Mark("in") +
                            "Return\n" + Mark("never"));
  Run("[Setup]\nset FILE \"lang.txt\"\nInclude FILE \"messages\"\n" +
      Mark("back") + "AppendFile GREETING \"out.txt\"\n" + Condition(true) +
      "Include \"nofile.txt\" \"x\"\nIf\n" + Mark("never") + "Endif\n" +
      "Include NOVAR \"x\"\n" + Mark("end"));
  EXPECT_EQ(Trace(), "in|back|hello|end");
  EXPECT_TRUE(host_.Matching("box").empty());
  EXPECT_EQ(engine_->script, &script_);
}

TEST_F(ControlFlow, IncludeOfAMissingSectionTakesTheMissingSectionPath) {
  WriteFile("lang.txt", "[A]\n");
  SetFailureMarker();
  Run("[Setup]\nInclude \"lang.txt\" \"B\"\n" + Mark("after"));
  EXPECT_FALSE(FailureMarkerSet());
  EXPECT_TRUE(Flags().failedThisRun);
  EXPECT_EQ(Trace(), "after");
}

TEST_F(ControlFlow, QuitEndsEveryRunAndQuiterrSetsTheFailureFlag) {
  Run("[Setup]\ngoto \"A\"\n" + Mark("never") + "[A]\ngoto \"B\"\n" + Mark("never") +
      "[B]\nquit \"Bye\" \"Title\"\n" + Mark("never"));
  EXPECT_EQ(ReadFile("out.txt"), "");
  EXPECT_EQ(host_.Matching("box")[0], "box 0 [Title] Bye");
  EXPECT_EQ(host_.Matching("dismiss d3").size(), 1u);
  EXPECT_EQ(Flags().quit, 1);
  EXPECT_EQ(Flags().failure, 0);
  EXPECT_TRUE(host_.Matching("reboot").empty());
}

TEST_F(ControlFlow, QuiterrInSilentModeStillRebootsWhenAsked) {
  engine_->modes.silent = true;
  Flags().reboot = 1;
  Run("[Setup]\nquiterr UNDEFINED UNDEFINED\n" + Mark("never"));
  EXPECT_TRUE(host_.Matching("box").empty());
  EXPECT_EQ(host_.Matching("reboot").size(), 1u);
  EXPECT_EQ(Flags().failure, 1);
  EXPECT_TRUE(Flags().failedThisRun);
}

TEST_F(ControlFlow, EndlessRecursionStopsAtTheDepthLimit) {
  Run("[Setup]\ngoto \"Loop\"\n" + Mark("top never") + "[Loop]\n" + Mark("x") +
      "goto \"Loop\"\ngoto \"Loop\"\n" + Mark("never"));
  EXPECT_EQ(host_.Matching("box").size(), 1u);
  EXPECT_NE(host_.Matching("box")[0].find("nested too deeply"),
            std::string::npos);
  EXPECT_EQ(Flags().quit, 1);
  EXPECT_EQ(Flags().failure, 1);
  EXPECT_EQ(engine_->runDepth, 0);
  std::string trace = Trace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), 'x'), kMaxRunDepth - 1);
  // Self-inclusion is refused the same way.
  Flags() = RunFlags();
  WriteFile("self.ini", "[S]\nInclude \"self.ini\" \"S\"\n");
  Run("[Setup]\nInclude \"self.ini\" \"S\"\n" + Mark("after"));
  EXPECT_EQ(Flags().quit, 1);
}

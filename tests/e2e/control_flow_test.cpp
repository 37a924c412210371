// Conditions and section calls end to end: what ran is recorded in out.txt.
#include "tests/e2e/setup_run.h"

using robot::MessageBoxInfo;

using ControlFlowRun = SetupRun;

// Sets the condition flag to 1 or 0 without showing anything.
static std::string Condition(bool value) {
  return value ? "Strcmp \"a\" \"a\"\n" : "Strcmp \"a\" \"b\"\n";
}

TEST_F(ControlFlowRun, BlocksDoNotNestAndMatchInAnyCase) {
  WriteScript("[Setup]\n" + Condition(false) + "If\n" + Condition(true) + "If\n" +
              Mark("X") + "ENDIF\n" + Mark("Y") + "endif\n" + Condition(false) +
              "If\n;Else\n" + Mark("hidden") + "  else\n" + Mark("else") +
              "Endif\n" + Condition(false) + "If\n" + Mark("skipped") +
              "[Later]\n" + Mark("skipped too") + "Endif\n" + Mark("after label"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "Y|else|after label");
}

TEST_F(ControlFlowRun, CallsComeBackAfterReturnAndAfterASyntaxError) {
  WriteFile("lang.txt", "[Messages]\n" + Mark("included") + "goto \"Nested\"\n" +
                            Mark("back in include") + "Return\n" + Mark("never") +
                            "[Nested]\n" + Mark("nested in include") +
                            Condition(false) + "If\n" + Mark("never"));
  WriteScript("[Setup]\n" + BasicMessages() + "goto \"A\"\n" + Mark("back in setup") +
              "Include \"lang.txt\" \"messages\"\n" + Mark("after include") +
              "[A]\n" + Mark("A") + "goto \"B\"\n" + Mark("back in A") +
              "Return\n" + Mark("never") + "[B]\n" + Mark("B") + Condition(false) +
              "If\n" + Mark("never"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);  // the syntax errors set the failure flag
  EXPECT_EQ(Trace(), "A|B|back in A|back in setup|included|nested in include|"
                     "back in include|after include");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Setup error");
  EXPECT_EQ(boxes[0].text, "Missing else/endif");
  EXPECT_EQ(StateValue("InstallFailled"), "1");
}

TEST_F(ControlFlowRun, IncludeOfAFileThatCannotBeOpenedIsSilent) {
  WriteScript("[Setup]\n" + Condition(true) + "Include \"missing.txt\" \"x\"\nIf\n" +
              Mark("never") + "Endif\n" + Mark("after"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Trace(), "after");
}

TEST_F(ControlFlowRun, QuitEndsEveryRunAndTheRecordIsCleared) {
  WriteScript("[Setup]\ngoto \"A\"\n" + Mark("never") + "[A]\ngoto \"B\"\n" +
              Mark("never") + "[B]\nquit \"Done early\" \"Bye\"\n" + Mark("never"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Bye");
  EXPECT_EQ(boxes[0].text, "Done early");
  EXPECT_FALSE(FileExists("out.txt"));
  EXPECT_EQ(StateValue("InstallFailled"), "");
}

TEST_F(ControlFlowRun, QuiterrInsideACallEndsEveryRunAndKeepsTheMarker) {
  WriteScript("[Setup]\ngoto \"A\"\n" + Mark("never") + "[A]\n" + Mark("A") +
              "quiterr UNDEFINED UNDEFINED\n" + Mark("never"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "*** invalid message ***");
  EXPECT_EQ(Trace(), "A");
  EXPECT_EQ(StateValue("InstallFailled"), "1");
  WriteScript("[Setup]\nquiterr \"x\" \"y\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 1);
  WriteScript("[Setup]\n" + Mark("next"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(StateValue("InstallFailled"), "1");  // this run started failed
}

TEST_F(ControlFlowRun, EndlessRecursionStopsWithAnErrorBox) {
  WriteScript("[Setup]\n" + BasicMessages() + "goto \"Loop\"\n" + Mark("never") +
              "[Loop]\ngoto \"Loop\"\ngoto \"Loop\"\n");
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Setup error");
  EXPECT_NE(boxes[0].text.find("nested too deeply"), std::string::npos);
  EXPECT_FALSE(FileExists("out.txt"));
}

TEST_F(ControlFlowRun, EndlessSelfIncludeStopsToo) {
  WriteFile("self.txt", "[S]\nInclude \"self.txt\" \"S\"\n");
  WriteScript("[Setup]\nInclude \"self.txt\" \"S\"\n" + Mark("never"));
  EXPECT_EQ(RunToEnd("/SILENT"), 1);
  EXPECT_FALSE(FileExists("out.txt"));
}

TEST_F(ControlFlowRun, UnclosedBlockEndsOnlyTheCurrentRun) {
  WriteScript("[Setup]\n" + BasicMessages() + "goto \"A\"\n" + Mark("outer") +
              "[A]\n" + Condition(true) + "If\nElse\n" + Mark("never"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Missing endif");
  EXPECT_EQ(Trace(), "outer");
}

// Conditions and section calls, observed through what the script appends.
#include "script/control_flow.h"

#include <gtest/gtest.h>

#include "tests/native/engine_fixture.h"

namespace {

class ControlFlow : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetVariables({});
  }
};

// Sets the condition flag to 1 (true) or 0 (false).
std::string Condition(bool value) {
  return value ? "Strcmp \"a\" \"a\"\n" : "Strcmp \"a\" \"b\"\n";
}

std::string Repeated(const std::string& tag, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += (i ? "|" : "") + tag;
  return all;
}

TEST_F(ControlFlow, ScriptsAndWhatTheyLeave) {
  WriteFile("lang.txt", "[Messages]\nset GREETING \"hello\"\n" + Mark("in") + "Return\n" +
                            Mark("never") + "[A]\n");
  WriteFile("self.ini", "[S]\nInclude \"self.ini\" \"S\"\n");
  WriteFile("locked.ini", "[S]\n" + Mark("never"));
  machine_.CreateDirectory("C:\\setup\\folder.ini");
  machine_.InjectFailure(EffectCall::kReadWholeFile, "locked.ini", kErrSharingViolation, 1);
  const std::string deeply = "box 0 [Error] Section calls nested too deeply (more than 64 levels) ";
  const ScriptCase cases[] = {
      // If and Else, and the flag values they leave.
      {"If, true", "[Setup]\n" + Condition(true) + "If\n" + Mark("then") + "Endif\n", "then", "",
       "condition=1"},
      {"If, false", "[Setup]\n" + Condition(false) + "If\n" + Mark("then") + "Endif\n", "", "",
       "condition=2"},
      {"If Else, true",
       "[Setup]\n" + Condition(true) + "If\n" + Mark("then") + "Else\n" + Mark("else") + "Endif\n",
       "then", "", "condition=1"},
      {"If Else, false",
       "[Setup]\n" + Condition(false) + "If\n" + Mark("then") + "Else\n" + Mark("else") + "Endif\n",
       "else", "", "condition=1"},
      // Skips do not nest and match in any case.
      {"nested If", "[Setup]\n" + Condition(false) + "If\n" + Condition(true) + "If\n" + Mark("X") +
           "endif\n" + Mark("Y") + "ENDIF\n" + Mark("Z"),
       "Y|Z", "", "condition=1"},
      {"Else in a comment, blanks around eLsE",
       "[Setup]\n" + Condition(false) + "If\n;Else\n" + Mark("hidden") + "  eLsE  \n" +
           Mark("else") + "Endif\n",
       "else", "", "condition=1"},
      {"a skip runs on into a later section",
       "[Setup]\n" + Condition(false) + "If\n" + Mark("skipped") + "[Later]\n" +
           Mark("skipped too") + "Endif\n" + Mark("after") + "[Last]\n" + Mark("never"),
       "after", "", "condition=1"},
      // An unclosed block ends only the current run.
      {"If without Endif", "[Setup]\ngoto \"Inner\"\n" + Mark("outer goes on") + "[Inner]\n" +
           Condition(false) + "If\n" + Mark("never"),
       "outer goes on", "box 0 [Error] missing else/endif|", "condition=1 failure failedThisRun"},
      {"Else without Endif", "[Setup]\ngoto \"Inner\"\n" + Mark("outer") + "[Inner]\n" +
           Condition(true) + "If\nElse\n" + Mark("never"),
       "outer", "box 0 [Error] missing endif|", "condition=1 failure failedThisRun"},
      // goto is a call; Return ends only the inner run.
      {"goto and Return", "[Setup]\n" + Mark("1") + "goto \"A\"\n" + Mark("4") + "[A]\n" +
           Mark("2") + "goto \"B\"\n" + Mark("3") + "Return\n" + Mark("never") + "[B]\n" +
           Mark("b") + "Return\n",
       "1|2|b|3|4", "", "condition=1"},
      // Include runs another file and comes back; one it cannot open is a
      // test that fails, as is one with no name.
      {"Include", "[Setup]\nset FILE \"lang.txt\"\nInclude FILE \"messages\"\n" + Mark("back") +
           "AppendFile GREETING \"out.txt\"\n" + Condition(true) +
           "Include \"nofile.txt\" \"x\"\nIf\n" + Mark("never") + "Endif\n" +
           "Include NOVAR \"x\"\n" + Mark("end"),
       "in|back|hello|end", "", "condition=1"},
      {"Include of a missing section takes the missing-section path",
       "[Setup]\nInclude \"lang.txt\" \"B\"\n" + Mark("after"), "after",
       "box 0 [Error] No such section|", "condition=1 failedThisRun"},
      // Endless recursion stops at the depth limit, self-inclusion too.
      {"endless recursion", "[Setup]\ngoto \"Loop\"\n" + Mark("top never") + "[Loop]\n" +
           Mark("x") + "goto \"Loop\"\ngoto \"Loop\"\n" + Mark("never"),
       Repeated("x", kMaxRunDepth - 1), deeply + "at section [Loop]; setup stops.|",
       "condition=1 quit failure failedThisRun"},
      {"self-inclusion", "[Setup]\nInclude \"self.ini\" \"S\"\n" + Mark("after"), "",
       deeply + "at section [S]; setup stops.|", "quit failure failedThisRun"},
      // A folder, or a file that is there but cannot be read, is no script.
      {"Include of a folder or an unreadable file",
       "[Setup]\n" + Condition(true) + "Include \"folder.ini\" \"S\"\nIf\n" + Mark("never") +
           "Endif\n" + Condition(true) + "Include \"locked.ini\" \"S\"\nIf\n" +
           Mark("never") + "Endif\n" + Mark("end"),
       "end", "", "condition=1"},
  };
  for (const ScriptCase& c : cases) ExpectRun(c);
}

// quit ends every run, closing each one's dialog, and asks for no reboot.
TEST_F(ControlFlow, QuitEndsEveryRunAndKeepsTheFailureFlagClear) {
  ExpectRun({"quit", "[Setup]\ngoto \"A\"\n" + Mark("never") + "[A]\ngoto \"B\"\n" +
                         Mark("never") + "[B]\nquit \"Bye\" \"Title\"\n" + Mark("never"),
             "", "box 0 [Title] Bye|", "quit"});
  EXPECT_EQ(host_.Matching("dismiss d3").size(), 1u);
  EXPECT_TRUE(host_.Matching("reboot").empty());
}

TEST_F(ControlFlow, QuiterrInSilentModeStillRebootsWhenAsked) {
  engine_->modes.silent = true;
  Flags().reboot = 1;
  Run("[Setup]\nquiterr UNDEFINED UNDEFINED\n" + Mark("never"));
  EXPECT_TRUE(host_.Matching("box").empty());
  EXPECT_EQ(host_.Matching("reboot").size(), 1u);
  EXPECT_EQ(SetFlags(), "quit failure reboot failedThisRun");
  EXPECT_EQ(Trace(), "");
}

}  // namespace

// Conditions and section calls end to end: what ran is recorded in out.txt.
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

// Sets the condition flag to 1 or 0 without showing anything.
std::string Condition(bool value) {
  return value ? "Strcmp \"a\" \"a\"\n" : "Strcmp \"a\" \"b\"\n";
}

const std::vector<E2eCase> kCases = {
    {"BlocksDoNotNestAndMatchInAnyCase", {},
     "[Setup]\n" + Condition(false) + "If\n" + Condition(true) + "If\n" + Mark("X") + "ENDIF\n" +
         Mark("Y") + "endif\n" + Condition(false) + "If\n;Else\n" + Mark("hidden") + "  else\n" +
         Mark("else") + "Endif\n" + Condition(false) + "If\n" + Mark("skipped") + "[Later]\n" +
         Mark("skipped too") + "Endif\n" + Mark("after label"), "", {}, 0, "Y|else|after label"},
    // The syntax errors set the failure flag.
    {"CallsComeBackAfterReturnAndAfterASyntaxError",
     {"lang.txt=[Messages]\n" + Mark("included") + "goto \"Nested\"\n" + Mark("back in include") +
          "Return\n" + Mark("never") + "[Nested]\n" + Mark("nested in include") + Condition(false) +
          "If\n" + Mark("never")},
     "[Setup]\n" + std::string(kMessages) + "goto \"A\"\n" + Mark("back in setup") +
         "Include \"lang.txt\" \"messages\"\n" + Mark("after include") + "[A]\n" + Mark("A") +
         "goto \"B\"\n" + Mark("back in A") + "Return\n" + Mark("never") + "[B]\n" + Mark("B") +
         Condition(false) + "If\n" + Mark("never"), "",
     {"box Setup error: Missing else/endif", "box", "end"}, 1,
     "A|B|back in A|back in setup|included|nested in include|back in include|after include",
     {"state InstallFailled=1"}},
    {"IncludeOfAFileThatCannotBeOpenedIsSilent", {},
     "[Setup]\n" + Condition(true) + "Include \"missing.txt\" \"x\"\nIf\n" + Mark("never") +
         "Endif\n" + Mark("after"), "", {"end"}, 0, "after"},
    {"QuitEndsEveryRunAndTheRecordIsCleared", {},
     "[Setup]\ngoto \"A\"\n" + Mark("never") + "[A]\ngoto \"B\"\n" + Mark("never") +
         "[B]\nquit \"Done early\" \"Bye\"\n" + Mark("never"), "", {"box Bye: Done early", "end"},
     0, "", {"-out.txt", "state InstallFailled="}},
    {"EndlessRecursionStopsWithAnErrorBox", {},
     "[Setup]\n" + std::string(kMessages) + "goto \"Loop\"\n" + Mark("never") +
         "[Loop]\ngoto \"Loop\"\ngoto \"Loop\"\n", "",
     {"box Setup error: ~nested too deeply", "end"}, 1, "", {"-out.txt"}},
    {"EndlessSelfIncludeStopsToo", {"self.txt=[S]\nInclude \"self.txt\" \"S\"\n"},
     "[Setup]\nInclude \"self.txt\" \"S\"\n" + Mark("never"), "/SILENT", {}, 1, "", {"-out.txt"}},
    {"UnclosedBlockEndsOnlyTheCurrentRun", {},
     "[Setup]\n" + std::string(kMessages) + "goto \"A\"\n" + Mark("outer") + "[A]\n" +
         Condition(true) + "If\nElse\n" + Mark("never"), "",
     {"box Setup error: Missing endif", "end"}, 1, "outer"},
};

INSTANTIATE_TEST_SUITE_P(ControlFlow, Cases, ::testing::ValuesIn(kCases), CaseName);

using ControlFlowRun = SetupRun;

TEST_F(ControlFlowRun, QuiterrInsideACallEndsEveryRunAndKeepsTheMarker) {
  WriteScript("[Setup]\ngoto \"A\"\n" + Mark("never") + "[A]\n" + Mark("A") +
              "quiterr UNDEFINED UNDEFINED\n" + Mark("never"));
  std::vector<robot::MessageBoxInfo> boxes;
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

}  // namespace

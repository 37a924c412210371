// End-to-end cases as data: a small script, the command line, and what a
// user or an administrator sees afterwards (exit code, the lines the script
// wrote, the boxes, the install-state record's failure marker).
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

struct ScriptCase {
  const char* name;
  std::string script;  // setup.ini; the messages of BasicMessages() follow
  const char* args;
  int exitCode;
  std::string trace;   // the lines of out.txt, joined by '|'
  std::string boxes;   // "caption: text" of each box, joined by '|'
  const char* marker;  // "InstallFailled" afterwards: "1", or "" when gone
};

// The language file's messages, as a section every case may call.
std::string WithMessages(const std::string& script) {
  return "[Messages]\n" + BasicMessages() + script;
}

const std::string kPad(1022, 'x');

const ScriptCase kCases[] = {
    // Over-long lines: the tail is never a line of its own.
    {"OverLongCommentIsSkippedWhole",
     "[Setup]\n;" + kPad + "quiterr\n" + Mark("ok"), "", 0, "ok", "", ""},
    {"OverLongCommentDoesNotEndTheSection",
     "[Setup]\n" + Mark("a") + ";" + kPad + "[End]\n" + Mark("b"), "", 0, "a|b", "", ""},
    {"TailOfALongQuotedTextIsNotPerformed",
     "[Setup]\ngoto \"Messages\"\nAppendFile \"" + std::string(1011, 'x') +
         "AppendFile \"injected\" \"out.txt\"\n" + Mark("ok"),
     "", 1, "ok", "Setup error: Unknown keyword: AppendFile \"" + std::string(52, 'x') + "...", ""},
    {"OverLongSetStoresNothing",
     "[Setup]\n" + Mark("before") + "set V \"" + std::string(1100, 'v') +
         "\"\nAppendFile V \"out.txt\"\n" + Mark("after"),
     "/SILENT", 1, "before||after", "", ""},
    {"LineOf1023BytesRunsAsBefore",
     "[Setup]\nAppendFile \"" + std::string(1000, 'v') + "\" \"out.txt\"\n" + Mark("ok"), "", 0,
     std::string(1000, 'v') + "|ok", "", ""},
    // Failures that run nothing or skip work exit with 1.
    {"MissingSetupSectionExitsWithOne",
     "[Other]\n" + Mark("never"), "/SILENT", 1, "", "", ""},
    {"MissingUninstallSectionExitsWithOne",
     "[Setup]\n" + Mark("setup"), "/SILENT /UNINSTALL", 1, "", "", ""},
    {"MissingGotoSectionExitsWithOneAndGoesOn",
     "[Setup]\ngoto \"Messages\"\ngoto \"Nowhere\"\n" + Mark("after"), "", 1, "after",
     "Setup error: Missing section", ""},
    {"MissingIncludeSectionExitsWithOne",
     "[Setup]\nInclude \"setup.ini\" \"Nowhere\"\n" + Mark("after"), "/SILENT", 1, "after", "", ""},
    {"IncludeOfAMissingFileIsOnlyATest",
     "[Setup]\nInclude \"none.txt\" \"Messages\"\nIf\n" + Mark("never") + "Else\n" +
         Mark("not opened") + "Endif\n",
     "", 0, "not opened", "", ""},
    {"MisspeltKeywordExitsWithOne",
     "[Setup]\ngoto \"Messages\"\nAppendFiel \"x\" \"out.txt\"\n" + Mark("after"), "", 1, "after",
     "Setup error: Unknown keyword: AppendFiel", ""},
    {"MisspeltKeywordInSilentModeExitsWithOne",
     "[Setup]\nAppendFiel \"x\" \"out.txt\"\n" + Mark("after"), "/SILENT", 1, "after", "", ""},
    // A line's end is never part of an argument.
    {"OpenQuoteStopsAtTheLineEnd",
     "[Setup]\nset A \"abc\nAppendFile A \"out.txt\"\n" + Mark("next"), "", 0, "abc|next", "", ""},
    {"OpenQuoteStopsAtTheLineEndWithCrLf",
     "[Setup]\r\nset A \"abc\r\nAppendFile A \"out.txt\"\r\n", "", 0, "abc", "", ""},
};

class ScriptCases : public SetupRun,
                    public ::testing::WithParamInterface<ScriptCase> {};

std::string BoxesSeen(const std::vector<robot::MessageBoxInfo>& boxes) {
  std::string seen;
  for (const robot::MessageBoxInfo& box : boxes) {
    if (!seen.empty()) seen += "|";
    seen += box.caption + ": " + box.text;
  }
  return seen;
}

TEST_P(ScriptCases, Run) {
  const ScriptCase& c = GetParam();
  WriteScript(c.script + WithMessages(""));
  std::vector<robot::MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd(c.args, &boxes), c.exitCode);
  EXPECT_EQ(Trace(), c.trace);
  EXPECT_EQ(BoxesSeen(boxes), c.boxes);
  EXPECT_EQ(StateValue("InstallFailled"), c.marker);
}

std::string CaseName(const ::testing::TestParamInfo<ScriptCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptCases, ::testing::ValuesIn(kCases),
                         CaseName);

}  // namespace

// End-to-end cases as data: a small script, the command line, and what a
// user or an administrator sees afterwards (exit code, the lines the script
// wrote, the boxes, the install-state record's failure marker).
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

const std::string kPad(1022, 'x');

const std::vector<E2eCase> kCases = {
    // Over-long lines: the tail is never a line of its own.
    {"OverLongCommentIsSkippedWhole", {}, "[Setup]\n;" + kPad + "quiterr\n" + Mark("ok"), "",
     {"end"}, 0, "ok", {"state InstallFailled="}},
    {"OverLongCommentDoesNotEndTheSection", {},
     "[Setup]\n" + Mark("a") + ";" + kPad + "[End]\n" + Mark("b"), "", {"end"}, 0, "a|b",
     {"state InstallFailled="}},
    {"TailOfALongQuotedTextIsNotPerformed", {},
     "[Setup]\ngoto \"Messages\"\nAppendFile \"" + std::string(1011, 'x') +
         "AppendFile \"injected\" \"out.txt\"\n" + Mark("ok"), "",
     {"box Setup error: Unknown keyword: AppendFile \"" + std::string(52, 'x') + "...", "end"}, 1,
     "ok", {"state InstallFailled="}},
    {"OverLongSetStoresNothing", {},
     "[Setup]\n" + Mark("before") + "set V \"" + std::string(1100, 'v') +
         "\"\nAppendFile V \"out.txt\"\n" + Mark("after"), "/SILENT", {"end"}, 1, "before||after",
     {"state InstallFailled="}},
    {"LineOf1023BytesRunsAsBefore", {},
     "[Setup]\nAppendFile \"" + std::string(1000, 'v') + "\" \"out.txt\"\n" + Mark("ok"), "",
     {"end"}, 0, std::string(1000, 'v') + "|ok", {"state InstallFailled="}},
    // Failures that run nothing or skip work exit with 1.
    {"MissingSetupSectionExitsWithOne", {}, "[Other]\n" + Mark("never"), "/SILENT", {"end"}, 1, "",
     {"state InstallFailled="}},
    {"MissingUninstallSectionExitsWithOne", {}, "[Setup]\n" + Mark("setup"), "/SILENT /UNINSTALL",
     {"end"}, 1, "", {"state InstallFailled="}},
    {"MissingGotoSectionExitsWithOneAndGoesOn", {},
     "[Setup]\ngoto \"Messages\"\ngoto \"Nowhere\"\n" + Mark("after"), "",
     {"box Setup error: Missing section", "end"}, 1, "after", {"state InstallFailled="}},
    {"MissingIncludeSectionExitsWithOne", {},
     "[Setup]\nInclude \"setup.ini\" \"Nowhere\"\n" + Mark("after"), "/SILENT", {"end"}, 1,
     "after", {"state InstallFailled="}},
    {"IncludeOfAMissingFileIsOnlyATest", {},
     "[Setup]\nInclude \"none.txt\" \"Messages\"\nIf\n" + Mark("never") + "Else\n" +
         Mark("not opened") + "Endif\n", "", {"end"}, 0, "not opened", {"state InstallFailled="}},
    {"MisspeltKeywordExitsWithOne", {},
     "[Setup]\ngoto \"Messages\"\nAppendFiel \"x\" \"out.txt\"\n" + Mark("after"), "",
     {"box Setup error: Unknown keyword: AppendFiel", "end"}, 1, "after",
     {"state InstallFailled="}},
    {"MisspeltKeywordInSilentModeExitsWithOne", {},
     "[Setup]\nAppendFiel \"x\" \"out.txt\"\n" + Mark("after"), "/SILENT", {"end"}, 1, "after",
     {"state InstallFailled="}},
    // A line's end is never part of an argument.
    {"OpenQuoteStopsAtTheLineEnd", {},
     "[Setup]\nset A \"abc\nAppendFile A \"out.txt\"\n" + Mark("next"), "", {"end"}, 0, "abc|next",
     {"state InstallFailled="}},
    {"OpenQuoteStopsAtTheLineEndWithCrLf", {},
     "[Setup]\r\nset A \"abc\r\nAppendFile A \"out.txt\"\r\n", "", {"end"}, 0, "abc",
     {"state InstallFailled="}},
};

// The language file's messages are a section every case may call.
INSTANTIATE_TEST_SUITE_P(Scripts, Cases,
                         ::testing::ValuesIn(Framed("", kCases,
                                                    "[Messages]\n" + std::string(kMessages))),
                         CaseName);

}  // namespace

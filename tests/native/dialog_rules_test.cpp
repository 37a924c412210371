// The setup dialogs' text rules: new folder names, item paths near the
// length limit, which paths can be confirmed, the licence text (whole, or
// its first part when very long) and the setup-type rows with gaps.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/dialog_rules.h"
#include "script/var_store.h"
#include "sim/memory_effects.h"

namespace {

TEST(DialogRules, FolderNames) {
  for (const char* name : {"Tools", "a b", "...", ".", " lead", "\x01"}) {
    EXPECT_TRUE(IsValidDirName(name)) << name;
  }
  for (const char* name : {"", "a:b", "a\\b", "a/b", "x*", "x?", "<x>", "a|b", "\"q\""}) {
    EXPECT_FALSE(IsValidDirName(name)) << name;
  }
  EXPECT_FALSE(IsValidDirName(nullptr));
}

TEST(DialogRules, ItemPathsAndWhatCanBeConfirmed) {
  char path[kPathMax];
  const char* chain[] = {"c:", "Program Files", "50% off"};
  ASSERT_TRUE(JoinItemPath(chain, 3, path));
  EXPECT_STREQ(path, "c:\\Program Files\\50% off");
  ASSERT_TRUE(JoinItemPath(chain, 1, path));
  EXPECT_STREQ(path, "c:");
  EXPECT_FALSE(IsConfirmablePath(path));
  EXPECT_TRUE(IsConfirmablePath("c:\\a"));
  // 259 characters fit; one more does not, and nothing is cut.
  std::string longest(256, 'x');
  const char* nearLimit[] = {"c:", longest.c_str()};
  ASSERT_TRUE(JoinItemPath(nearLimit, 2, path));
  EXPECT_EQ(strlen(path), 259u);
  std::string tooLong(257, 'x');
  const char* overLimit[] = {"c:", tooLong.c_str()};
  EXPECT_FALSE(JoinItemPath(overLimit, 2, path));
  EXPECT_STREQ(path, "");
  EXPECT_EQ(NewFolderNameLimit("c:\\a"), 254u);  // "c:\a\" + 254 = 259
  EXPECT_EQ(NewFolderNameLimit(std::string(257, 'x').c_str()), 1u);
  EXPECT_EQ(NewFolderNameLimit(std::string(258, 'x').c_str()), 0u);
}

TEST(DialogRules, LicenceTextIsTheWholeFileOrNothing) {
  MemoryEffects machine;
  std::string text = "line 1\r\nline 2\nend";
  machine.WriteFile("C:\\licence.txt", text);
  ByteBuffer read;
  EXPECT_TRUE(ReadLicenceText(machine, "C:\\licence.txt", &read));
  EXPECT_STREQ(read.data(), text.c_str());
  EXPECT_EQ(read.size(), text.size() + 1);
  EXPECT_FALSE(ReadLicenceText(machine, "C:\\missing.txt", &read));
  EXPECT_STREQ(read.data(), "");
  EXPECT_FALSE(ReadLicenceText(machine, nullptr, &read));
  machine.InjectFailure(EffectCall::kReadWholeFile, "licence", kErrSharingViolation, 1);
  EXPECT_FALSE(ReadLicenceText(machine, "C:\\licence.txt", &read));
}

// A text too long for the dialog keeps its whole lines up to the limit,
// or is cut at the limit when one line is longer, and says what it shows.
TEST(DialogRules, AVeryLongLicenceShowsItsFirstPartWithANote) {
  const std::string line = std::string(99, 'x') + "\n";
  struct Case {
    std::string text;
    size_t shown;  // bytes of the file shown; 0 when the whole text is
  } cases[] = {
      {std::string(kLicenceShownMax, 'a'), 0},
      {std::string(kLicenceShownMax - 1, 'a') + "\n" + std::string(50, 'b'),
       kLicenceShownMax},
      {std::string(kLicenceShownMax + 10, 'a'), kLicenceShownMax},
      {[&] {
         std::string many;
         while (many.size() < 3 * kLicenceShownMax) many += line;
         return many;
       }(),
       kLicenceShownMax / line.size() * line.size()},
      // A zero byte ends the text before the limit: nothing to cut.
      {"short" + std::string(1, '\0') + std::string(kLicenceShownMax, 'z'), 0},
  };
  for (const Case& c : cases) {
    MemoryEffects machine;
    machine.WriteFile("C:\\licence.txt", c.text);
    ByteBuffer read;
    ASSERT_TRUE(ReadLicenceText(machine, "C:\\licence.txt", &read));
    std::string shown = read.data();
    if (c.shown == 0) {
      EXPECT_EQ(shown, c.text.c_str());
      continue;
    }
    EXPECT_EQ(read.size(), shown.size() + 1);  // the note ends the text
    EXPECT_EQ(shown.substr(0, c.shown), c.text.substr(0, c.shown));
    EXPECT_EQ(shown.substr(c.shown), "\r\n\r\n(Only the first " + std::to_string(c.shown) +
                                         " of " + std::to_string(c.text.size()) +
                                         " bytes of this file are shown.)");
  }
}

TEST(DialogRules, SetupTypeRowsKeepTheirNumbers) {
  VarStore vars;
  VarSet(vars, "SETUPTYPE1", "Typical");
  VarSet(vars, "SETUPTYPE3", "Minimal");
  VarSet(vars, "SETUPTYPE9", "Custom");
  SetupTypeRow rows[kSetupTypeRowsMax];
  ASSERT_EQ(CollectSetupTypeRows(vars, rows), 3);
  EXPECT_EQ(rows[0].number, 1);
  EXPECT_STREQ(rows[1].text, "Minimal");
  EXPECT_EQ(rows[1].number, 3);
  EXPECT_EQ(rows[2].number, 9);
  VarStore empty;
  EXPECT_EQ(CollectSetupTypeRows(empty, rows), 0);
  VarClearAll(vars);
}

}  // namespace

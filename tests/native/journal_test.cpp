// The install journal's platform-free parts: the /LOG switch, script line
// numbers across section calls, and the lines a journaled run writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/command_line.h"
#include "script/journal.h"
#include "script/journal_effects.h"
#include "tests/native/engine_fixture.h"

namespace {

TEST(JournalSwitch, TakesThePathAsWrittenAndLeavesTheRest) {
  struct Case {
    const char* arguments;
    bool found;
    const char* path;
    const char* directory;  // what the rest gives
  } cases[] = {
      {"/SILENT /log=C:\\logs\\setup.log", true, "C:\\logs\\setup.log", ""},
      {"/LOG=\"C:\\my logs\\a.log\" D:\\dest", true, "C:\\my logs\\a.log", "D:dest"},
      {"C:\\x/LOG=no", false, "", "C:x/LOG=no"},
      {"/LOG=", true, "", ""},
  };
  for (const Case& c : cases) {
    RunModes modes;
    std::string arguments = c.arguments;
    ParseCommandLine(&arguments[0], modes);
    EXPECT_EQ(modes.journalRequested, c.found) << c.arguments;
    EXPECT_STREQ(modes.journalPath, c.path) << c.arguments;
    EXPECT_STREQ(modes.commandLineDir, c.directory) << c.arguments;
  }
  RunModes modes;
  std::string tooLong = "/LOG=" + std::string(300, 'x');
  ParseCommandLine(&tooLong[0], modes);
  EXPECT_TRUE(modes.journalRequested);
  EXPECT_STREQ(modes.journalPath, "");
}

class Journaled : public EngineTest, public JournalSink {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    engine_->journal = this;
  }
  void WriteLine(const char* text) override { lines_.push_back(text); }
  std::vector<std::string> lines_;
};

TEST_F(Journaled, StatementsCarryTheirFileAndLineAcrossCalls) {
  WriteFile("other.ini", "[Other]\n; comment\nset B \"2\"\n");
  Run("[Setup]\nset A \"1\"\n\ngoto \"Sub\"\nInclude \"other.ini\" \"Other\"\nset C A\n"
      "[Sub]\nClr A\nset A \"3\"\n");
  EXPECT_EQ(lines_, (std::vector<std::string>{
                        "setup.ini:2: statement: set A \"1\"  [(none)] [1]",
                        "setup.ini:4: statement: goto \"Sub\"  [Sub] [(none)]",
                        "setup.ini:8: statement: Clr A  [1] [(none)]",
                        "setup.ini:9: statement: set A \"3\"  [(none)] [3]",
                        "setup.ini:5: statement: Include \"other.ini\" \"Other\"  "
                        "[other.ini] [Other]",
                        "other.ini:3: statement: set B \"2\"  [(none)] [2]",
                        "setup.ini:6: statement: set C A  [(none)] [3]",
                    }));
}

TEST_F(Journaled, ChangesToTheMachineAreJournaledWhenTheySucceed) {
  JournalEffects effects(machine_, *engine_);
  machine_.WriteFile("C:\\a.txt", "a");
  effects.CopyFile("C:\\a.txt", "C:\\b.txt", false);
  effects.CopyFile("C:\\missing.txt", "C:\\c.txt", false);  // a failure: not here
  effects.RegCreateKeyEx(kHkeyLocalMachine, "Software\\Vorn");
  effects.RegSetValueEx(kHkeyLocalMachine, "Software\\Vorn", "Path", "C:\\v", 5);
  effects.DeleteFile("C:\\b.txt");
  EXPECT_EQ(lines_, (std::vector<std::string>{
                        "file copied: C:\\a.txt -> C:\\b.txt",
                        "registry key created or opened: HKEY_LOCAL_MACHINE\\Software\\Vorn",
                        "registry value written: HKEY_LOCAL_MACHINE\\Software\\Vorn "
                        "\"Path\" = \"C:\\v\"",
                        "file deleted: C:\\b.txt",
                    }));
}

}  // namespace

// The install journal's platform-free parts: script line numbers across
// section calls, the lines a journaled run writes, one line for every error
// of the script with its file and line, and the system's error texts
// without their inserts. The /LOG switch is in the command line's table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/journal.h"
#include "script/journal_effects.h"
#include "script/messages.h"
#include "tests/native/engine_fixture.h"

namespace {

class Journaled : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    KeepJournal();
  }
  // The lines other than statements and changes: errors and failures.
  std::vector<std::string> Complaints() const {
    std::vector<std::string> found;
    for (const std::string& line : journal_) {
      if (line.find("error: ") != std::string::npos ||
          line.find("failure: ") != std::string::npos) {
        found.push_back(line);
      }
    }
    return found;
  }
};

TEST_F(Journaled, StatementsCarryTheirFileAndLineAcrossCalls) {
  WriteFile("other.ini", "[Other]\n; comment\nset B \"2\"\n");
  // The values of slots a command does not read are recorded too.
  Run("[Setup]\nset A \"1\"\n\ngoto \"Sub\" A\nInclude \"other.ini\" \"Other\"\nset C A\n"
      "[Sub]\nClr A\nset A \"3\"\n");
  EXPECT_EQ(journal_, (std::vector<std::string>{
                        "setup.ini:2: statement: set A \"1\"  [(none)] [1]",
                        "setup.ini:4: statement: goto \"Sub\" A  [Sub] [(none)]",
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
  EXPECT_EQ(journal_, (std::vector<std::string>{
                        "file copied: C:\\a.txt -> C:\\b.txt",
                        "registry key created or opened: HKEY_LOCAL_MACHINE\\Software\\Vorn",
                        "registry value written: HKEY_LOCAL_MACHINE\\Software\\Vorn "
                        "\"Path\" = \"C:\\v\"",
                        "file deleted: C:\\b.txt",
                    }));
}

// Every error a script can make gets one line, at the line that made it,
// whether or not a box shows it and whatever the language file says.
TEST_F(Journaled, EveryScriptErrorHasOneLineWithItsFileAndLine) {
  WriteFile("other.ini", "[Other]\nset B \"2\"\n");
  std::string longStatement = "set A \"" + std::string(1100, 'x') + "\"";
  struct Case {
    std::string script;
    std::string line;
    bool failureFlag;
  } cases[] = {
      {"[Setup]\nset A \"1\"\nFrobnicate \"x\" A\n",
       "setup.ini:3: error: unknown keyword: Frobnicate \"x\" A", false},
      {"[Setup]\n\ngoto \"Nowhere\"\nset A \"1\"\n",
       "setup.ini:3: error: no section [Nowhere]", false},
      {"[Other]\nset A \"1\"\n", "setup.ini: error: no section [Setup]", false},
      {"[Setup]\nInclude \"other.ini\" \"Gone\"\n",
       "other.ini: error: no section [Gone]", false},
      {"[Setup]\n" + longStatement + "\nset A \"1\"\n",
       "setup.ini:2: error: statement longer than 1023 bytes, not performed: set A \"" +
           std::string(57, 'x') + "...",
       false},
      {"[Setup]\nset A \"1\"\nIf\nset B \"1\"\n\n[Next]\nset C \"1\"\n",
       "setup.ini:3: error: If without else/endif after it", true},
      {"[Setup]\nElse\nset B \"1\"\n", "setup.ini:2: error: Else without endif after it",
       true},
      {"[Setup]\ngoto \"Loop\"\n[Loop]\nset A \"1\"\ngoto \"Loop\"\n",
       "setup.ini:5: error: section calls nested deeper than 64 levels at section "
       "[Loop]; setup stops",
       true},
      {"[Setup]\n\nquiterr \"Giving up\" \"Setup\"\n",
       "setup.ini:3: error: quiterr: Giving up", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script.substr(0, 60));
    Reset();
    Run(c.script);
    EXPECT_EQ(Complaints(), (std::vector<std::string>{c.line}));
    EXPECT_TRUE(Flags().failedThisRun);
    EXPECT_EQ(Flags().failure != 0, c.failureFlag);
  }
}

// Commands in this table build a path from DSTDIR or report what the
// system said: the journal tells the failure as it was.
TEST_F(Journaled, FailedRegistrationsAndRefusedEntriesAreFailureLines) {
  machine_.libraries["C:\\PROG\\BAD.DLL"] = {{"DllRegisterServer", -2147467259L}};
  machine_.libraries["C:\\PROG\\OK.DLL"] = {{"DllRegisterServer", 0},
                                            {"DllUnregisterServer", -2147024894L}};
  std::string longName(208, 'n');
  struct Case {
    std::string script;
    std::vector<std::string> lines;
  } cases[] = {
      {"Register \"ok.dll\"",
       {"setup.ini:2: error: no DLL path for ok.dll: DSTDIR is undefined or empty"}},
      {"set DSTDIR \"\"\nRegister \"ok.dll\"",
       {"setup.ini:3: error: no DLL path for ok.dll: DSTDIR is undefined or empty"}},
      {"Unregister \"ok.dll\" NOWHERE",
       {"setup.ini:2: error: no DLL path for ok.dll: its directory is undefined or empty"}},
      {"set DSTDIR \"C:\\prog\"\nRegister \"bad.dll\"",
       {"setup.ini:3: failure: DllRegisterServer C:\\prog\\bad.dll: result 0x80004005",
        "setup.ini:3: error: DllRegisterServer failed for C:\\prog\\bad.dll"}},
      // An unregistration's result does not count, but it is no success.
      {"Unregister \"C:\\prog\\ok.dll\"",
       {"setup.ini:2: failure: DllUnregisterServer C:\\prog\\ok.dll: result 0x80070002"}},
      {"SetUninstall \"" + longName + "\" \"u.exe\"",
       {"setup.ini:2: error: SetUninstall: the entry name is longer than 207 characters: " +
        longName}},
      {"DelUninstall \"\"", {"setup.ini:2: error: DelUninstall: no entry name"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    journal_.clear();
    Run("[Setup]\n" + c.script + "\n");
    EXPECT_EQ(Complaints(), c.lines);
  }
  journal_.clear();
  Run("[Setup]\nset DSTDIR \"C:\\prog\"\nRegister \"ok.dll\"\n");
  EXPECT_EQ(Complaints(), std::vector<std::string>{});
  EXPECT_EQ(journal_.back(), "setup.ini:3: DLL registered: C:\\prog\\ok.dll, result 0");
}

// Appends go through the effects: the journal's decorator records the
// write, and the failed call reaches the failure log.
TEST_F(Journaled, AppendFileRecordsItsWriteOrItsFailedCall) {
  JournalEffects effects(machine_, *engine_);
  engine_->effects = &effects;
  Run("[Setup]\nAppendFile \"one\" \"out.txt\"\n"
      "AppendFile \"x\" \"no-such-dir/out.txt\"\n");
  EXPECT_EQ(ReadFile("out.txt"), "one\r\n");
  EXPECT_EQ(journal_[1], "setup.ini:2: file appended to: out.txt");
  EXPECT_EQ(Events("log "), "log AppendToFile no-such-dir/out.txt 3|");
  EXPECT_EQ(Flags().condition, 0);
}

TEST(SystemTexts, InsertsReadAsTheFileAndLineEndsGo) {
  struct Case {
    const char* raw;
    const char* shown;
  } cases[] = {
      {"Bad EXE format for %1.\r\n", "Bad EXE format for the file."},
      {"%1 is not a valid Win32 application.\r\n",
       "The file is not a valid Win32 application."},
      {"Cannot copy %1!s! to %2 (%3!lu!).", "Cannot copy the file to the file (the file)."},
      {"100% done, %0 and %x stay", "100% done, %0 and %x stay"},
      {"Open %1!s", "Open the file!s"},  // a format without its end
      {"", ""},
  };
  for (const Case& c : cases) {
    char shown[64];
    ReadableSystemText(shown, sizeof shown, c.raw);
    EXPECT_STREQ(shown, c.shown) << c.raw;
  }
  char small[12];
  ReadableSystemText(small, sizeof small, "%1%1%1%1%1");
  EXPECT_STREQ(small, "The filethe");
}

}  // namespace

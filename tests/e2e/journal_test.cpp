// The install journal end to end: what a run writes with /LOG=<path>, a
// line for every error and failure of a run, a run killed in the middle, a
// journal that cannot be written, and no journal without the switch.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

class JournalRun : public SetupRun {
 protected:
  std::string JournalPath() { return Dir() + "\\journal.log"; }
  std::string Switch() { return "/LOG=\"" + JournalPath() + "\""; }
  std::string Journal() { return ReadFile("journal.log"); }
  void ExpectLine(const std::string& journal, const std::string& part) {
    EXPECT_NE(journal.find(part), std::string::npos) << "no line with: " << part;
  }
};

TEST_F(JournalRun, RecordsEachKindOfStepWithItsScriptLine) {
  CreateDirectoryA((Dir() + "\\src").c_str(), nullptr);
  WriteFile("a.txt", "a");
  WriteFile("job.bat", "@exit /b 4\r\n");
  WriteScript("[Setup]\nGetSystemVars\nset DSTDIR \"" + Dir() + "\\dst\"\n"
              "MkDir DSTDIR\nCopy \"a.txt\"\ngoto \"More\"\n"
              "[More]\nDelete \"a.txt\" DSTDIR\nRunWait \"job\"\n"
              "SetUninstall \"Vorn Journal\" \"u.exe\"\nDelUninstall \"Vorn Journal\"\n"
              "set ERROR_COPY_TTL \"Copy failed\"\nCopy \"missing.txt\"\n");
  EXPECT_EQ(RunToEnd("/SILENT " + Switch()), 1);
  std::string journal = Journal();
  ExpectLine(journal, "start: setup 4.12, command line: ");
  ExpectLine(journal, "modes: mini silent");
  ExpectLine(journal, "setup.ini:2: language file: setup.English.txt");
  ExpectLine(journal, "setup.ini:4: statement: MkDir DSTDIR  [" + Dir() + "\\dst]");
  ExpectLine(journal, "setup.ini:4: directory created: " + Dir() + "\\dst");
  ExpectLine(journal, "setup.ini:5: file copied: ");
  ExpectLine(journal, "setup.ini:8: file deleted: " + Dir() + "\\dst\\a.txt");
  ExpectLine(journal, "setup.ini:9: program run: " + Dir() + "\\job.bat: ");
  ExpectLine(journal, ", exit code 4");
  ExpectLine(journal, "setup.ini:10: registry value written: HKEY_LOCAL_MACHINE\\SOFTWARE\\"
                      "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn Journal "
                      "\"UninstallString\" = \"u.exe\"");
  ExpectLine(journal, "setup.ini:11: registry key deleted: ");
  ExpectLine(journal, "setup.ini:13: failure: CopyFile ");
  ExpectLine(journal, ": error 2 (");
  ExpectLine(journal, "end: exit code 1, failure flag 1, reboot requested no");
  // Each line starts with the date and time.
  EXPECT_EQ(journal.substr(4, 1) + journal.substr(7, 1) + journal.substr(13, 1), "--:");
}

TEST_F(JournalRun, RecordsBoxesDialogsAndRegistrationsWithTheirAnswers) {
  CopyFileA((std::string(VORN_HELPERS_DIR) + "\\reg_ok.dll").c_str(),
            (Dir() + "\\reg_ok.dll").c_str(), FALSE);
  WriteScript("[Setup]\nset DSTDIR \"" + Dir() + "\"\nRegister \"reg_ok.dll\"\n"
              "MsgBoxYESNO \"Go on?\" \"Vorn\"\nSetupType\n");
  Start(Switch());
  Press(NextBox(), IDNO);
  HWND dialog = nullptr;
  ASSERT_TRUE(Session().WaitForDialog(1019, 30000, &dialog));
  robot::ClickButton(dialog, IDCANCEL, 10000);
  Press(NextBox(), IDOK);  // the abort box
  EXPECT_EQ(Finish(0), 0);
  std::string journal = Journal();
  ExpectLine(journal, "setup.ini:3: DLL registered: " + Dir() + "\\reg_ok.dll, result 0");
  ExpectLine(journal, "setup.ini:4: message box: Vorn: Go on? -> button 7");
  ExpectLine(journal, "setup.ini:5: dialog: setup type -> 0");
}

// Each row: a silent run's script, the lines its journal must hold ("$DIR"
// is the run's directory), a text it must not hold, and the exit code.
struct JournalCase {
  const char* name;
  std::string script;
  std::vector<std::string> lines;
  const char* absent;
  int exitCode;
};

const JournalCase kJournalCases[] = {
    {"UnknownKeyword", "[Setup]\nFrobnicate \"x\"\n",
     {"setup.ini:2: error: unknown keyword: Frobnicate \"x\""}, "statement: Frob", 1},
    {"GotoAMissingSection", "[Setup]\nset A \"1\"\ngoto \"Nowhere\"\n",
     {"setup.ini:3: error: no section [Nowhere]"}, nullptr, 1},
    {"OverLongStatement", "[Setup]\nset A \"" + std::string(1100, 'x') + "\"\n",
     {"setup.ini:2: error: statement longer than 1023 bytes, not performed: set A"},
     nullptr, 1},
    {"IfWithoutEndif", "[Setup]\nset A \"1\"\nIf\nset B \"1\"\n",
     {"setup.ini:3: error: If without else/endif after it"}, nullptr, 1},
    {"NestingLimit", "[Setup]\ngoto \"Loop\"\n[Loop]\ngoto \"Loop\"\n",
     {"setup.ini:4: error: section calls nested deeper than 64 levels at section [Loop]"},
     nullptr, 1},
    {"RunWaitOfAMissingProgram", "[Setup]\nRunWait \"missing.exe\"\n",
     {"setup.ini:2: failure: RunWait missing.exe: error 2 ("}, nullptr, 0},
    {"SystemTextsWithoutInserts",
     "[Setup]\nAppendFile \"not a program\" \"bad.exe\"\nRunWait \"bad.exe\"\n",
     {"setup.ini:3: failure: CreateProcess $DIR\\bad.exe: error 193 ("}, "%1", 0},
    {"AppendFile", "[Setup]\nAppendFile \"line\" \"out.txt\"\n",
     {"setup.ini:2: file appended to: out.txt"}, nullptr, 0},
    {"RegisterWithAnEmptyDestination", "[Setup]\nset DSTDIR \"\"\nRegister \"x.dll\"\n",
     {"setup.ini:3: error: no DLL path for x.dll: DSTDIR is undefined or empty"}, nullptr, 1},
    {"SetUninstallWithALongName",
     "[Setup]\nSetUninstall \"" + std::string(208, 'n') + "\" \"u.exe\"\n",
     {"setup.ini:2: error: SetUninstall: the entry name is longer than 207 characters"},
     "DisplayName", 1},
};

class JournalCases : public JournalRun,
                     public ::testing::WithParamInterface<JournalCase> {};

TEST_P(JournalCases, Run) {
  const JournalCase& c = GetParam();
  WriteScript(c.script);
  EXPECT_EQ(RunToEnd("/SILENT " + Switch()), c.exitCode);
  std::string journal = Journal();
  for (std::string line : c.lines) {
    size_t at = line.find("$DIR");
    if (at != std::string::npos) line.replace(at, 4, Dir());
    ExpectLine(journal, line);
  }
  if (c.absent) {
    EXPECT_EQ(journal.find(c.absent), std::string::npos) << journal;
  }
}

std::string JournalCaseName(const ::testing::TestParamInfo<JournalCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Errors, JournalCases, ::testing::ValuesIn(kJournalCases),
                         JournalCaseName);

TEST_F(JournalRun, AFailedRegistrationIsAFailureLine) {
  CopyFileA((std::string(VORN_HELPERS_DIR) + "\\reg_fails.dll").c_str(),
            (Dir() + "\\reg_fails.dll").c_str(), FALSE);
  WriteScript("[Setup]\nset DSTDIR \"" + Dir() + "\"\nRegister \"reg_fails.dll\"\n");
  EXPECT_EQ(RunToEnd("/SILENT " + Switch()), 1);
  std::string journal = Journal();
  ExpectLine(journal, "setup.ini:3: failure: DllRegisterServer " + Dir() +
                          "\\reg_fails.dll: result 0x80004005");
  ExpectLine(journal, "setup.ini:3: error: DllRegisterServer failed for ");
  EXPECT_EQ(journal.find("DLL registered"), std::string::npos) << journal;
}

// A run without a script says why it ends with -1.
TEST_F(JournalRun, ARunWithoutSetupIniSaysWhy) {
  EXPECT_EQ(RunToEnd("/SILENT " + Switch()), -1);
  std::string journal = Journal();
  ExpectLine(journal, "error: setup.ini cannot be opened in " + Dir());
  ExpectLine(journal, "end: exit code -1, failure flag 0");
}

TEST_F(JournalRun, AKilledRunKeepsItsLinesUpToItsLastStatement) {
  WriteScript("[Setup]\nset A \"1\"\nMsgBoxOK \"Waiting\" \"Vorn\"\nset B \"2\"\n");
  Start(Switch());
  NextBox();
  Session().Terminate(9);
  std::string journal = Journal();
  ExpectLine(journal, "setup.ini:2: statement: set A \"1\"");
  ExpectLine(journal, "setup.ini:3: statement: MsgBoxOK \"Waiting\" \"Vorn\"");
  EXPECT_EQ(journal.find("set B"), std::string::npos);
  EXPECT_EQ(journal.find("end:"), std::string::npos);
}

TEST_F(JournalRun, AJournalThatCannotBeWrittenLetsTheInstallFinish) {
  WriteScript("[Setup]\n" + Mark("installed"));
  Start("/LOG=C:\\no-such-folder\\journal.log");
  std::vector<robot::MessageBoxInfo> boxes;
  EXPECT_EQ(Finish(0, &boxes), 0);
  ASSERT_EQ(boxes.size(), 1u);  // reported once
  EXPECT_NE(boxes[0].text.find("C:\\no-such-folder\\journal.log"), std::string::npos);
  EXPECT_EQ(Trace(), "installed");
  WriteScript("[Setup]\n" + Mark("silently"));
  EXPECT_EQ(RunToEnd("/SILENT /LOG=C:\\no-such-folder\\journal.log"), 0);
}

TEST_F(JournalRun, NoSwitchNoJournal) {
  WriteScript("[Setup]\nset A \"1\"\n" + Mark("done"));
  EXPECT_EQ(RunToEnd("/SILENT"), 0);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((Dir() + "\\*.log").c_str(), &entry);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "a journal was written: " << entry.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

}  // namespace

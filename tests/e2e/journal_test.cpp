// The install journal end to end: what a run writes with /LOG=<path>, a run
// killed in the middle, a journal that cannot be written, and no journal
// without the switch.
#include <windows.h>

#include <string>

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

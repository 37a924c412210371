// The install journal end to end: what a run writes with /LOG=<path>, a
// line for every error and failure of a run, a run killed in the middle, a
// journal that cannot be written, and no journal without the switch.
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/resource.h"
#include "tests/e2e/setup_run.h"

namespace {

const char kJournal[] = "/LOG=\"$DIR\\journal.log\"";
const char kSilentJournal[] = "/SILENT /LOG=\"$DIR\\journal.log\"";

using JournalRun = SetupRun;

TEST_F(JournalRun, RecordsEachKindOfStepWithItsScriptLine) {
  for (const char* before : {"src\\", "a.txt=a", "job.bat=@exit /b 4\r\n"}) Prepare(before);
  WriteScript(
      Here("[Setup]\nGetSystemVars\nset DSTDIR \"$DIR\\dst\"\n"
           "MkDir DSTDIR\nCopy \"a.txt\"\ngoto \"More\"\n"
           "[More]\nDelete \"a.txt\" DSTDIR\nRunWait \"job\"\n"
           "SetUninstall \"Vorn Journal\" \"u.exe\"\nDelUninstall \"Vorn Journal\"\n"
           "set ERROR_COPY_TTL \"Copy failed\"\nCopy \"missing.txt\"\n"));
  EXPECT_EQ(RunToEnd(Here(kSilentJournal)), 1);
  CheckAfter({"journal.log~start: setup 4.12, command line: ", "journal.log~modes: mini silent",
              "journal.log~setup.ini:2: language file: setup.English.txt",
              "journal.log~setup.ini:4: statement: MkDir DSTDIR  [$DIR\\dst]",
              "journal.log~setup.ini:4: directory created: $DIR\\dst",
              "journal.log~setup.ini:5: file copied: ",
              "journal.log~setup.ini:8: file deleted: $DIR\\dst\\a.txt",
              "journal.log~setup.ini:9: program run: $DIR\\job.bat: ", "journal.log~, exit code 4",
              "journal.log~setup.ini:10: registry value written: HKEY_LOCAL_MACHINE\\SOFTWARE\\"
              "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn Journal "
              "\"UninstallString\" = \"u.exe\"",
              "journal.log~setup.ini:11: registry key deleted: ",
              "journal.log~setup.ini:13: failure: CopyFile ", "journal.log~: error 2 (",
              "journal.log~end: exit code 1, failure flag 1, reboot requested no"});
  // Each line starts with the date and time.
  std::string journal = ReadFile("journal.log");
  EXPECT_EQ(journal.substr(4, 1) + journal.substr(7, 1) + journal.substr(13, 1), "--:");
}

TEST_F(JournalRun, RecordsBoxesDialogsAndRegistrationsWithTheirAnswers) {
  Prepare("helper reg_ok.dll=reg_ok.dll");
  WriteScript(
      Here("[Setup]\nset DSTDIR \"$DIR\"\nRegister \"reg_ok.dll\"\n"
           "MsgBoxYESNO \"Go on?\" \"Vorn\"\nSetupType\n"));
  Start(Here(kJournal));
  Press(NextBox(), IDNO);
  HWND dialog = nullptr;
  ASSERT_TRUE(Session().WaitForDialog(IDC_SETUP_TYPES, 30000, &dialog));
  robot::ClickButton(dialog, IDCANCEL, 10000);
  Press(NextBox(), IDOK);  // the abort box
  EXPECT_EQ(Finish(0), 2);  // abandoned
  CheckAfter({"journal.log~setup.ini:3: DLL registered: $DIR\\reg_ok.dll, result 0",
              "journal.log~setup.ini:4: message box: Vorn: Go on? -> button 7",
              "journal.log~setup.ini:5: dialog: setup type -> 0"});
}

// Each row: a silent run's script and what its journal holds or lacks.
const std::vector<E2eCase> kJournalCases = {
    {"UnknownKeyword", {}, "[Setup]\nFrobnicate \"x\"\n", kSilentJournal, {}, 1, "",
     {"journal.log~setup.ini:2: error: unknown keyword: Frobnicate \"x\"",
      "-journal.log~statement: Frob"}},
    {"GotoAMissingSection", {}, "[Setup]\nset A \"1\"\ngoto \"Nowhere\"\n", kSilentJournal, {}, 1,
     "", {"journal.log~setup.ini:3: error: no section [Nowhere]"}},
    {"OverLongStatement", {}, "[Setup]\nset A \"" + std::string(1100, 'x') + "\"\n",
     kSilentJournal, {}, 1, "",
     {"journal.log~setup.ini:2: error: statement longer than 1023 bytes, not performed: set A"}},
    {"IfWithoutEndif", {}, "[Setup]\nset A \"1\"\nIf\nset B \"1\"\n", kSilentJournal, {}, 1, "",
     {"journal.log~setup.ini:3: error: If without else/endif after it"}},
    {"NestingLimit", {}, "[Setup]\ngoto \"Loop\"\n[Loop]\ngoto \"Loop\"\n", kSilentJournal, {}, 1,
     "",
     {"journal.log~setup.ini:4: error: section calls nested deeper than 64 levels at section "
          "[Loop]"}},
    {"RunWaitOfAMissingProgram", {}, "[Setup]\nRunWait \"missing.exe\"\n", kSilentJournal, {}, 0,
     "", {"journal.log~setup.ini:2: failure: RunWait missing.exe: error 2 ("}},
    {"SystemTextsWithoutInserts", {},
     "[Setup]\nAppendFile \"not a program\" \"bad.exe\"\nRunWait \"bad.exe\"\n", kSilentJournal,
     {}, 0, "",
     {"journal.log~setup.ini:3: failure: CreateProcess $DIR\\bad.exe: error 193 (",
      "-journal.log~%1"}},
    {"AppendFile", {}, "[Setup]\nAppendFile \"line\" \"out.txt\"\n", kSilentJournal, {}, 0, "line",
     {"journal.log~setup.ini:2: file appended to: out.txt"}},
    {"RegisterWithAnEmptyDestination", {}, "[Setup]\nset DSTDIR \"\"\nRegister \"x.dll\"\n",
     kSilentJournal, {}, 1, "",
     {"journal.log~setup.ini:3: error: no DLL path for x.dll: DSTDIR is undefined or empty"}},
    {"SetUninstallWithALongName", {},
     "[Setup]\nSetUninstall \"" + std::string(208, 'n') + "\" \"u.exe\"\n", kSilentJournal, {}, 1,
     "",
     {"journal.log~setup.ini:2: error: SetUninstall: the entry name is longer than 207 characters",
      "-journal.log~DisplayName"}},
    {"AFailedRegistrationIsAFailureLine", {"helper reg_fails.dll=reg_fails.dll"},
     "[Setup]\nset DSTDIR \"$DIR\"\nRegister \"reg_fails.dll\"\n", kSilentJournal, {}, 1, "",
     {"journal.log~setup.ini:3: failure: DllRegisterServer $DIR\\reg_fails.dll: result 0x80004005",
      "journal.log~setup.ini:3: error: DllRegisterServer failed for ",
      "-journal.log~DLL registered"}},
    // A setup.exe that a running one starts keeps the same journal: the
    // second run's lines are there, between the first's.
    {"ASecondSetupKeepsTheSameJournal", {},
     "[Setup]\nGetSystemVars\nStrcmp CMDLINEDIR \"second\"\nIf\n" + Mark("second") +
         "Else\nRunWait \"setup.exe\" \"/SILENT /LOG=$DIR\\journal.log second\"\n" +
         Mark("first") + "Endif\n",
     kSilentJournal, {}, 0, "second|first",
     {"journal.log~start: setup 4.12, command line: x.exe /SILENT /LOG=$DIR\\journal.log second",
      "journal.log~setup.ini:5: file appended to: out.txt",
      "journal.log~setup.ini:7: program run: $DIR\\setup.exe: x.exe /SILENT /LOG=$DIR\\journal.log "
      "second, exit code 0"}},
};

INSTANTIATE_TEST_SUITE_P(Errors, Cases, ::testing::ValuesIn(kJournalCases), CaseName);

// A run without a script says why it ends with -1.
TEST_F(JournalRun, ARunWithoutSetupIniSaysWhy) {
  EXPECT_EQ(RunToEnd(Here(kSilentJournal)), -1);
  CheckAfter({"journal.log~error: setup.ini cannot be opened in $DIR",
              "journal.log~end: exit code -1, failure flag 0"});
}

TEST_F(JournalRun, AKilledRunKeepsItsLinesUpToItsLastStatement) {
  WriteScript("[Setup]\nset A \"1\"\nMsgBoxOK \"Waiting\" \"Vorn\"\nset B \"2\"\n");
  Start(Here(kJournal));
  NextBox();
  Session().Terminate(9);
  CheckAfter({"journal.log~setup.ini:2: statement: set A \"1\"",
              "journal.log~setup.ini:3: statement: MsgBoxOK \"Waiting\" \"Vorn\"",
              "-journal.log~set B", "-journal.log~end:"});
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

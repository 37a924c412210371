// Rollback end to end under Wine: an install armed with RollbackOnFailure
// (or /ROLLBACK) that fails or is abandoned leaves real files, shortcuts
// and fonts as it found them; one that ends well keeps its changes and no
// kept file; an uninstall never rolls back.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

const std::string kHead =
    "[Setup]\n" + std::string(kMessages) + "set SRCDIR \"$DIR\"\nRollbackOnFailure\n";
const char kJournal[] = "/LOG=\"$DIR\\journal.log\"";

std::string ProgramsFolder() {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
  return path;
}

std::string FiveCopies() {
  std::string script = "set DSTDIR \"dst\"\n";
  for (int i = 1; i <= 5; ++i) script += "Copy \"" + std::to_string(i) + ".txt\"\n";
  return script + Mark("never");
}

std::vector<std::string> FiveOldAndNewFiles() {
  std::vector<std::string> files;
  for (int i = 1; i <= 5; ++i) {
    std::string n = std::to_string(i);
    files.push_back(n + ".txt=new " + n);
    files.push_back("dst\\" + n + ".txt=old " + n + "\r\n\x01\xff");
  }
  files.push_back("held dst\\5.txt");
  return files;
}

std::vector<std::string> FourOldFilesPutBack() {
  std::vector<std::string> after = {"journal.log~rollback: undoing the changes of this install",
                                    "journal.log~rollback: done", "state InstallFailled=1"};
  for (int i = 1; i <= 5; ++i) {
    std::string n = std::to_string(i);
    after.push_back("dst\\" + n + ".txt=old " + n + "\r\n\x01\xff");
    after.push_back("-dst\\" + n + ".txt.~vu" + n);
  }
  return after;
}

const std::vector<E2eCase> kCases = {
    // The fifth old file is held open: it cannot be kept, so it is not
    // replaced, the copy fails and the four replaced files come back.
    {"AnUpgradeWhoseFifthCopyFailsPutsBackTheFourFilesItReplaced", FiveOldAndNewFiles(),
     FiveCopies(), kJournal, {"box Copy failed: Cannot copy $DIR\\5.txt to dst\\5.txt", "end"}, 1,
     "", FourOldFilesPutBack()},
    {"AnAbortedSetupTypeAfterTheShortcutsRemovesThem", {"app.exe=a"},
     "set DSTDIR \"$DIR\"\nMkPgmGroup \"Vorn E2E Rollback\"\n"
     "set PROGRAMGROUP \"Vorn E2E Rollback\"\nMkLink \"app.exe\" \"App\"\n"
     "set SETUPTYPE0 \"Typical\"\nSetupType\n" + Mark("never"),
     "", {"dialog IDC_SETUP_TYPES", "click IDCANCEL", "box Vorn: Stopped", "end"}, 2, "",
     {"-" + ProgramsFolder() + "\\Vorn E2E Rollback"}},
    // The DLL registered before is unregistered; the one that failed is not.
    {"AFailedRegisterAfterAFontWasAddedRemovesTheFont",
     {"font vorn.ttf", "helper reg_ok.dll=reg_ok.dll", "helper reg_fails.dll=reg_fails.dll"},
     "RegisterFont \"$DIR\\vorn.ttf\"\nset DSTDIR \"$DIR\"\nRegister \"reg_ok.dll\"\n"
     "Register \"reg_fails.dll\"\n", kJournal,
     {"box Setup error: Cannot register $DIR\\reg_fails.dll", "end"}, 1, "",
     {"journal.log~font added: $DIR\\vorn.ttf", "journal.log~font removed: $DIR\\vorn.ttf",
      "reg_ok.dll.log=register\r\nunregister\r\n", "reg_fails.dll.log=register\r\n"}},
    // The copy of b.txt is held open when the run fails: its delete fails,
    // is journaled, and the rest is undone all the same.
    {"AFailingUndoStepIsJournaledAndTheRestIsUndone", {"a.txt=A", "b.txt=B", "dst\\old.txt=O"},
     "set DSTDIR \"dst\"\nMkDir \"dst\" \"new\"\nCopy \"a.txt\"\nCopy \"b.txt\"\n"
     "Delete \"dst\\old.txt\"\nMsgBoxOK \"Hold on\" \"Vorn\"\nquiterr \"Giving up\" \"Setup\"\n",
     kJournal, {"hold dst\\b.txt", "box Vorn: Hold on", "box Setup: Giving up", "end"}, 1, "",
     {"-dst\\a.txt", "dst\\b.txt=B", "-dst\\new", "dst\\old.txt=O",
      "journal.log~failure: DeleteFile dst\\b.txt: error 32",
      "journal.log~file deleted: dst\\a.txt", "journal.log~rollback: done"}},
    {"AnInstallThatEndsWellKeepsItsChangesAndNoKeptFile", {"a.txt=new", "dst\\a.txt=old"},
     "set DSTDIR \"dst\"\nCopy \"a.txt\"\n", kJournal, {"end"}, 0, "",
     {"dst\\a.txt=new", "-dst\\a.txt.~vu1", "journal.log~kept: ", "-journal.log~rollback"}},
};

// /ROLLBACK arms it without the statement; an uninstall never rolls back.
const std::vector<E2eCase> kSwitchCases = {
    {"TheRollbackSwitchArmsItFromTheStart", {"a.txt=A"},
     "[Setup]\nset SRCDIR \"$DIR\"\nset DSTDIR \"dst\"\nMkDir DSTDIR\nCopy \"a.txt\"\nquiterr \"Giving up\" \"Setup\"\n",
     "/ROLLBACK /SILENT", {"end"}, 1, "", {"-dst"}},
    {"AnUninstallNeverRollsBack", {"a.txt=A"},
     "[Uninstall]\nRollbackOnFailure\nDelete \"a.txt\"\nquiterr \"Giving up\" \"Setup\"\n",
     "/UNINSTALL /ROLLBACK /SILENT", {"end"}, 1, "", {"-a.txt"}},
};

INSTANTIATE_TEST_SUITE_P(Rollback, Cases, ::testing::ValuesIn(Framed(kHead, kCases)), CaseName);
INSTANTIATE_TEST_SUITE_P(RollbackSwitch, Cases, ::testing::ValuesIn(kSwitchCases), CaseName);

}  // namespace

// Programs, DLLs and shortcuts end to end under Wine: the project's own
// stand-ins record how they were started or registered, and shortcuts are
// read back through the shell's link object.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"
#include "tests/win/shortcut_reader.h"

namespace {

// What every script here starts with; DSTDIR is the run's directory.
const std::string kHead = "[Setup]\n" + std::string(kMessages) + "set DSTDIR \"$DIR\"\n";

const std::vector<E2eCase> kCases = {
    {"RunWaitSearchesExtensionsAndPassesXExe",
     {"helper record_args.exe=conv.com", "helper record_args.exe=conv.exe"},
     MarkIf("RunWait \"conv\" \"-q exit=5\"", "five") +
         MarkIf("RunWait \"conv.exe\" \"exit=0\"", "never"), "", {"end"}, 0, "five",
     {"record.txt=conv.com|x.exe -q exit=5|$DIR\r\nconv.exe|x.exe exit=0|$DIR\r\n"}},
    {"RunWaitRunsABatchFile", {"job.bat=@echo %1> batch.txt\r\n@exit /b 3\r\n"},
     MarkIf("RunWait \"job\" \"hello\"", "three"), "", {"end"}, 0, "three", {"batch.txt~hello"}},
    {"RunWaitOfAMissingProgramGivesMinusOne", {}, MarkIf("RunWait \"missing.exe\"", "minus one"),
     "", {"end"}, 0, "minus one", {}},
    {"RunWaitTakesMessagesWhileTheChildRuns", {"helper record_args.exe=conv.exe"},
     MarkIf("RunWait \"conv\" \"send exit=2\"", "after"), "", {"end"}, 0, "after",
     {"record.txt~x.exe send exit=2|$DIR|answered"}},
    {"RegisterAndUnregister", {"helper reg_ok.dll=reg_ok.dll"},
     "Register \"reg_ok.dll\"\nUnregister \"reg_ok.dll\" DSTDIR\n", "", {"end"}, 0, "",
     {"reg_ok.dll.log=register\r\nunregister\r\n"}},
    {"RegisterWithoutTheEntries", {"helper reg_none.dll=reg_none.dll"},
     "Register \"reg_none.dll\"\n" + Mark("went on"), "",
     {"box Setup error: Cannot register $DIR\\reg_none.dll"}, 1, "went on", {}},
    {"RegistrationThatReportsFailure", {"helper reg_fails.dll=reg_fails.dll"},
     "Register \"reg_fails.dll\"\nUnregister \"$DIR\\reg_fails.dll\"\n", "",
     {"box Setup error: Cannot register $DIR\\reg_fails.dll"}, 1, "",
     {"reg_fails.dll.log=register\r\nunregister\r\n"}},
    {"RegisterFindsASiblingInTheDllsDirectory",
     {"helper reg_needs_sibling.dll=lib\\reg_needs_sibling.dll",
      "helper reg_sibling.dll=lib\\reg_sibling.dll"}, "Register \"lib\\reg_needs_sibling.dll\"\n",
     "", {"end"}, 0, "", {"lib\\reg_needs_sibling.dll.log=register\r\n"}},
    {"RegisterAMissingDll", {}, "Register \"gone.dll\"\n", "/SILENT", {"end"}, 1, "",
     {"-gone.dll.log"}},
    {"UnregisterWithAnUndefinedDirectory", {"helper reg_ok.dll=reg_ok.dll"},
     "Unregister \"reg_ok.dll\" UNDEFINED\n", "", {"box Setup error: Cannot load reg_ok.dll"}, 1,
     "", {"-reg_ok.dll.log"}},
    // The group goes with its folder and shortcut, and no line claims a
    // failure: not even a listing of the folder that has just gone.
    {"DelPgmGroupJournalsNoFailureThatDidNotHappen", {"app.exe=a"},
     "MkPgmGroup \"Vorn E2E Row\"\nMkPgmGroup \"Vorn E2E Row\\Sub\"\n"
     "set PROGRAMGROUP \"Vorn E2E Row\"\nMkLink \"app.exe\" \"App\"\n"
     "DelPgmGroup \"Vorn E2E Row\"\nGetPgmGroup G\nStrcat G \"\\Vorn E2E Row\"\n" +
         MarkIf("Exist G", "group stays") + "Strcat G \"\\Sub\\*.lnk\"\n" + MarkIf("Exist G", "never"),
     "/SILENT /LOG=\"$DIR\\journal.log\"", {}, 0, "",
     {"journal.log~directory removed: ", "-journal.log~failure:"}},
};

INSTANTIATE_TEST_SUITE_P(Programs, Cases, ::testing::ValuesIn(Framed(kHead, kCases)), CaseName);

using ProgramRun = SetupRun;

// Run hands a document to the program of its class's open action, with
// DSTDIR as the working directory, and the script goes on at once.
TEST_F(ProgramRun, RunOpensADocumentWithItsOpenAction) {
  for (const char* before : {"helper record_args.exe=viewer.exe", "doc.vorntest=text",
                             "HKCR\\.vorntest|=VornTestDocument",
                             "HKCR\\VornTestDocument\\shell\\open\\command|="
                             "\"$DIR\\viewer.exe\" \"%1\""}) {
    Prepare(Here(before));
  }
  WriteScript(Here(kHead + "Run \"doc.vorntest\"\n" + Mark("went on")));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "went on");
  // Run does not wait for the program: give it time to write its record.
  robot::PollUntil(10000, [&] { return !ReadFile("record.txt").empty(); });
  CheckAfter({"record.txt~doc.vorntest", "record.txt~|$DIR\r\n"});
}

// Shortcuts in the three folders, read back through the shell's link
// object; the group is then emptied and removed with the others.
class Shortcuts : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    programs_ = SpecialFolder(CSIDL_PROGRAMS);
    startup_ = SpecialFolder(CSIDL_STARTUP);
    desktop_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(programs_.empty() || startup_.empty() || desktop_.empty());
    CleanUp();
  }
  void TearDown() override {
    CleanUp();
    SetupRun::TearDown();
  }
  void CleanUp() {
    DeleteFileA((programs_ + "\\Vorn E2E\\App.lnk").c_str());
    DeleteFileA((programs_ + "\\Vorn E2E\\Src.lnk").c_str());
    RemoveDirectoryA((programs_ + "\\Vorn E2E").c_str());
    DeleteFileA((startup_ + "\\Vorn E2E Start.lnk").c_str());
    DeleteFileA((desktop_ + "\\Vorn E2E Desk.lnk").c_str());
  }
  void ExpectShortcut(const std::string& path, const std::string& target,
                      const std::string& arguments, const std::string& icon = "") {
    SCOPED_TRACE(path);
    ShortcutContents link = ReadShortcut(path);
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.workingDirectory, Dir());
    EXPECT_EQ(link.arguments, arguments);
    if (!icon.empty()) {
      EXPECT_EQ(link.iconPath, icon);
      EXPECT_EQ(link.iconIndex, 0);
    }
  }
  std::string programs_, startup_, desktop_;
};

TEST_F(Shortcuts, MadeInEachFolderReadBackAndRemoved) {
  Prepare("app.exe=a");
  Prepare("src\\src.exe=s");
  WriteScript(Here(kHead + "set SRCDIR \"$DIR\\src\"\nMkPgmGroup \"Vorn E2E\"\n"
                           "set PROGRAMGROUP \"Vorn E2E\"\nset LINKARG \"-a 1\"\n"
                           "MkLink \"app.exe\" \"App\"\nCreateSourceLink \"src.exe\" \"Src\"\n"
                           "CreateStartLink \"app.exe\" \"Vorn E2E Start\"\n"
                           "set LINKICO \"$DIR\\app.exe\"\nset LINKARG \"-d\"\n"
                           "CreateDesktopLink \"app.exe\" \"Vorn E2E Desk\"\n"
                           "set T \"[\"\nStrcat T LINKARG\nStrcat T LINKICO\nStrcat T \"]\"\n"
                           "AppendFile T \"out.txt\"\n"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "[]");  // both used up
  ExpectShortcut(programs_ + "\\Vorn E2E\\App.lnk", Dir() + "\\app.exe", "-a 1");
  ExpectShortcut(programs_ + "\\Vorn E2E\\Src.lnk", Dir() + "\\src\\src.exe", "");
  ExpectShortcut(startup_ + "\\Vorn E2E Start.lnk", Dir() + "\\app.exe", "");
  ExpectShortcut(desktop_ + "\\Vorn E2E Desk.lnk", Dir() + "\\app.exe", "-d", Dir() + "\\app.exe");
  WriteScript(
      "[Setup]\nDelPgmGroup \"Vorn E2E\"\nDestroyStartLink \"Vorn E2E Start\"\n"
      "DestroyDesktopLink \"Vorn E2E Desk\"\nDestroyDesktopLink \"Vorn E2E None\"\n");
  EXPECT_EQ(RunToEnd(), 0);
  CheckAfter({"-" + programs_ + "\\Vorn E2E", "-" + startup_ + "\\Vorn E2E Start.lnk",
              "-" + desktop_ + "\\Vorn E2E Desk.lnk"});
}

// Names that would reach outside the group are refused; a group holding a
// link to another tree loses its files, never what the link points to. The
// test prefix has the group "Vorn E2E Linked" with such a link. (Wine cannot
// remove a Linux directory link through RemoveDirectory, which follows it,
// so the link and its group stay here; Windows removes a junction.)
TEST_F(Shortcuts, DelPgmGroupStaysInsideItsGroup) {
  std::string kept = programs_ + "\\Vorn E2E Kept";
  std::string linked = programs_ + "\\Vorn E2E Linked";
  ASSERT_TRUE(FileExists(linked + "\\outside-link"));
  Prepare(kept + "\\keep.txt=");
  Prepare(linked + "\\App.lnk=");
  WriteScript(
      "[Setup]\nDelPgmGroup \"\"\nDelPgmGroup \"..\"\n"
      "DelPgmGroup \"Vorn E2E Kept\\..\"\nDelPgmGroup UNDEFINED\n"
      "DelPgmGroup \"Vorn E2E Linked\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 1);
  CheckAfter(
      {kept + "\\keep.txt=", "-" + linked + "\\App.lnk", "C:\\vorn-links\\outside\\keep.txt~kept"});
  RemoveDirectoryA(kept.c_str());
}

TEST_F(Shortcuts, GetPgmGroupGivesTheProgramsFolder) {
  WriteScript("[Setup]\nGetPgmGroup PG\nAppendFile PG \"out.txt\"\n");
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), programs_);
}

}  // namespace

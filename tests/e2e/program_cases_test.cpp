// Programs, DLLs and shortcuts end to end under Wine: the project's own
// stand-ins record how they were started or registered, and shortcuts are
// read back through the shell's link object. Each program case is a row: the
// helpers copied into the run's directory, the files written, the script,
// and what the run leaves. "$DIR" stands for the run's directory.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"
#include "tests/win/shortcut_reader.h"

namespace {

struct ProgramCase {
  const char* name;
  std::vector<std::string> copies;  // "helper file=destination"
  std::vector<std::string> files;   // "path=content"
  std::string script;               // after the messages; DSTDIR is $DIR
  const char* args;
  int exitCode;
  std::string trace;                // lines of out.txt joined by '|'
  std::string boxText;              // the first box's text, or ""
  std::vector<std::string> after;   // "path=content", "path~part", "-path"
};

const char kMessages[] =
    "set ERROR_TTL \"Error\"\n"
    "set ERROR_LOAD_DLL \"Cannot load %s\"\n"
    "set ERROR_REG_DLL \"Cannot register %s\"\n"
    "set ERROR_UREG_DLL \"Cannot unregister %s\"\n"
    "set REGISTERING_MSG \"Registering %s\"\n"
    "set DSTDIR \"$DIR\"\n";

std::string MarkIf(const std::string& test, const std::string& name) {
  return test + "\nIf\n" + Mark(name) + "Endif\n";
}

const ProgramCase kCases[] = {
    {"RunWaitSearchesExtensionsAndPassesXExe",
     {"record_args.exe=conv.com", "record_args.exe=conv.exe"}, {},
     MarkIf("RunWait \"conv\" \"-q exit=5\"", "five") +
         MarkIf("RunWait \"conv.exe\" \"exit=0\"", "never"),
     "", 0, "five", "",
     {"record.txt=conv.com|x.exe -q exit=5|$DIR\r\nconv.exe|x.exe exit=0|$DIR\r\n"}},
    {"RunWaitRunsABatchFile", {}, {"job.bat=@echo %1> batch.txt\r\n@exit /b 3\r\n"},
     MarkIf("RunWait \"job\" \"hello\"", "three"), "", 0, "three", "",
     {"batch.txt~hello"}},
    {"RunWaitOfAMissingProgramGivesMinusOne", {}, {},
     MarkIf("RunWait \"missing.exe\"", "minus one"), "", 0, "minus one", "", {}},
    {"RunWaitTakesMessagesWhileTheChildRuns", {"record_args.exe=conv.exe"}, {},
     MarkIf("RunWait \"conv\" \"send exit=2\"", "after"), "", 0, "after", "",
     {"record.txt~x.exe send exit=2|$DIR|answered"}},
    {"RegisterAndUnregister", {"reg_ok.dll=reg_ok.dll"}, {},
     "Register \"reg_ok.dll\"\nUnregister \"reg_ok.dll\" DSTDIR\n", "", 0, "", "",
     {"reg_ok.dll.log=register\r\nunregister\r\n"}},
    {"RegisterWithoutTheEntries", {"reg_none.dll=reg_none.dll"}, {},
     "Register \"reg_none.dll\"\n" + Mark("went on"), "", 1, "went on",
     "Cannot register $DIR\\reg_none.dll", {}},
    {"RegistrationThatReportsFailure", {"reg_fails.dll=reg_fails.dll"}, {},
     "Register \"reg_fails.dll\"\nUnregister \"$DIR\\reg_fails.dll\"\n", "", 1, "",
     "Cannot register $DIR\\reg_fails.dll",
     {"reg_fails.dll.log=register\r\nunregister\r\n"}},
    {"RegisterFindsASiblingInTheDllsDirectory",
     {"reg_needs_sibling.dll=lib\\reg_needs_sibling.dll", "reg_sibling.dll=lib\\reg_sibling.dll"},
     {}, "Register \"lib\\reg_needs_sibling.dll\"\n", "", 0, "", "",
     {"lib\\reg_needs_sibling.dll.log=register\r\n"}},
    {"RegisterAMissingDll", {}, {}, "Register \"gone.dll\"\n", "/SILENT", 1, "", "",
     {"-gone.dll.log"}},
    {"UnregisterWithAnUndefinedDirectory", {"reg_ok.dll=reg_ok.dll"}, {},
     "Unregister \"reg_ok.dll\" UNDEFINED\n", "", 1, "", "Cannot load reg_ok.dll",
     {"-reg_ok.dll.log"}},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class ProgramRun : public SetupRun {
 protected:
  std::string Here(const std::string& text) { return Replace(text, "$DIR", Dir()); }
  void CopyHelper(const std::string& copy) {
    size_t eq = copy.find('=');
    std::string destination = copy.substr(eq + 1);
    size_t slash = destination.rfind('\\');
    if (slash != std::string::npos) {
      CreateDirectoryA((Dir() + "\\" + destination.substr(0, slash)).c_str(), nullptr);
    }
    ASSERT_TRUE(CopyFileA((std::string(VORN_HELPERS_DIR) + "\\" + copy.substr(0, eq)).c_str(),
                          (Dir() + "\\" + destination).c_str(), FALSE))
        << copy;
  }
  void CheckAfter(const std::string& expectation) {
    SCOPED_TRACE(expectation);
    if (expectation[0] == '-') {
      EXPECT_FALSE(FileExists(expectation.substr(1)));
      return;
    }
    size_t cut = expectation.find_first_of("=~");
    std::string content = ReadFile(expectation.substr(0, cut));
    std::string wanted = Here(expectation.substr(cut + 1));
    if (expectation[cut] == '=') {
      EXPECT_EQ(content, wanted);
    } else {
      EXPECT_NE(content.find(wanted), std::string::npos) << content;
    }
  }
};

class ProgramCases : public ProgramRun,
                     public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramCases, Run) {
  const ProgramCase& c = GetParam();
  for (const std::string& copy : c.copies) CopyHelper(copy);
  WriteStartingFiles(c.files);
  WriteScript(Here("[Setup]\n" + std::string(kMessages) + c.script));
  Start(c.args);
  std::vector<robot::MessageBoxInfo> boxes;
  EXPECT_EQ(Finish(0, &boxes), c.exitCode);
  EXPECT_EQ(boxes.empty() ? "" : boxes[0].text, Here(c.boxText));
  EXPECT_EQ(Trace(), c.trace);
  for (const std::string& expectation : c.after) CheckAfter(expectation);
}

std::string CaseName(const ::testing::TestParamInfo<ProgramCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramCases, ::testing::ValuesIn(kCases), CaseName);

// Run hands a document to the program of its class's open action, with
// DSTDIR as the working directory, and the script goes on at once.
TEST_F(ProgramRun, RunOpensADocumentWithItsOpenAction) {
  CopyHelper("record_args.exe=viewer.exe");
  WriteFile("doc.vorntest", "text");
  WriteRegistryString(HKEY_CLASSES_ROOT, ".vorntest", "", "VornTestDocument");
  WriteRegistryString(HKEY_CLASSES_ROOT, "VornTestDocument\\shell\\open\\command", "",
                      "\"" + Dir() + "\\viewer.exe\" \"%1\"");
  WriteScript(Here("[Setup]\n" + std::string(kMessages) + "Run \"doc.vorntest\"\n" +
                   Mark("went on")));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "went on");
  std::string record;
  for (int i = 0; i < 100 && record.empty(); ++i) {
    Sleep(100);
    record = ReadFile("record.txt");
  }
  EXPECT_NE(record.find("doc.vorntest"), std::string::npos) << record;
  EXPECT_NE(record.find("|" + Dir() + "\r\n"), std::string::npos) << record;
  DeleteRegistryTree(HKEY_CLASSES_ROOT, ".vorntest");
  DeleteRegistryTree(HKEY_CLASSES_ROOT, "VornTestDocument");
}

// Shortcuts in the three folders, read back through the shell's link
// object; the group is then emptied and removed with the others.
class Shortcuts : public ProgramRun {
 protected:
  void SetUp() override {
    ProgramRun::SetUp();
    programs_ = SpecialFolder(CSIDL_PROGRAMS);
    startup_ = SpecialFolder(CSIDL_STARTUP);
    desktop_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(programs_.empty() || startup_.empty() || desktop_.empty());
    CleanUp();
  }
  void TearDown() override {
    CleanUp();
    ProgramRun::TearDown();
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
  CreateDirectoryA((Dir() + "\\src").c_str(), nullptr);
  WriteFile("app.exe", "a");
  WriteFile("src\\src.exe", "s");
  WriteScript(Here("[Setup]\n" + std::string(kMessages) +
                   "set SRCDIR \"$DIR\\src\"\nMkPgmGroup \"Vorn E2E\"\n"
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
  ExpectShortcut(desktop_ + "\\Vorn E2E Desk.lnk", Dir() + "\\app.exe", "-d",
                 Dir() + "\\app.exe");
  WriteScript("[Setup]\nDelPgmGroup \"Vorn E2E\"\nDestroyStartLink \"Vorn E2E Start\"\n"
              "DestroyDesktopLink \"Vorn E2E Desk\"\nDestroyDesktopLink \"Vorn E2E None\"\n");
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(GetFileAttributesA((programs_ + "\\Vorn E2E").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((startup_ + "\\Vorn E2E Start.lnk").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((desktop_ + "\\Vorn E2E Desk.lnk").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

// Names that would reach outside the group are refused; a group holding a
// link to another tree loses its files, never what the link points to. The
// test prefix has the group "Vorn E2E Linked" with such a link. (Wine cannot
// remove a Linux directory link through RemoveDirectory, which follows it,
// so the link and its group stay here; Windows removes a junction.)
TEST_F(Shortcuts, DelPgmGroupStaysInsideItsGroup) {
  std::string kept = programs_ + "\\Vorn E2E Kept";
  CreateDirectoryA(kept.c_str(), nullptr);
  std::string marker = kept + "\\keep.txt";
  HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  std::string linked = programs_ + "\\Vorn E2E Linked";
  ASSERT_NE(GetFileAttributesA((linked + "\\outside-link").c_str()), INVALID_FILE_ATTRIBUTES);
  file = CreateFileA((linked + "\\App.lnk").c_str(), GENERIC_WRITE, 0, nullptr,
                     CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  WriteScript("[Setup]\nDelPgmGroup \"\"\nDelPgmGroup \"..\"\n"
              "DelPgmGroup \"Vorn E2E Kept\\..\"\nDelPgmGroup UNDEFINED\n"
              "DelPgmGroup \"Vorn E2E Linked\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 1);
  EXPECT_NE(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((linked + "\\App.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA("C:\\vorn-links\\outside\\keep.txt"), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(marker.c_str());
  RemoveDirectoryA(kept.c_str());
}

TEST_F(Shortcuts, GetPgmGroupGivesTheProgramsFolder) {
  WriteScript("[Setup]\nGetPgmGroup PG\nAppendFile PG \"out.txt\"\n");
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), programs_);
}

}  // namespace

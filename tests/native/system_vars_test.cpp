// GetSystemVars against machine states set up in the in-memory machine:
// the directories, the program files directory and the default
// destination, Netscape's program directory and whether it opens .htm files.
#include "actions/system_vars.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/native/engine_fixture.h"

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kUserMain[] = "Software\\Netscape\\Netscape Navigator\\Main";
const char kMachineNetscape[] = "Software\\Netscape\\Netscape Navigator";

class SystemVars : public EngineTest {
 protected:
  // GetSystemVars, then the value of `name`, "(none)" when it has none.
  std::string After(const char* name) {
    GetSystemVars(*engine_);
    return Value(name);
  }
  std::string Value(const char* name) {
    const char* value = Var(name);
    return value ? value : "(none)";
  }
  void SetProgramFiles(const char* dir, const char* path) {
    machine_.RegCreateKeyEx(kHkeyLocalMachine, kCurrentVersion);
    machine_.RegDeleteValue(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesDir");
    machine_.RegDeleteValue(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesPath");
    if (dir) machine_.SetRegString(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesDir", dir);
    if (path) machine_.SetRegString(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesPath", path);
  }
  // A Netscape installation: netscape.exe gets `exeBytes` bytes (none: no
  // file). Returns the directory the registry names.
  std::string MakeNetscape(const std::string& base, int exeBytes) {
    machine_.CreateDirectory(base.c_str());
    machine_.CreateDirectory((base + "\\Program").c_str());
    if (exeBytes >= 0) {
      machine_.WriteFile(base + "\\Program\\netscape.exe", std::string(exeBytes, 'M'));
    }
    return base;
  }
};

TEST_F(SystemVars, DirectoriesAsWindowsReportsThem) {
  EXPECT_EQ(After("SYSDIR"), "C:\\windows\\system32");
  EXPECT_EQ(Value("WINDIR"), "C:\\windows");
  EXPECT_EQ(Value("SRCDIR"), "C:\\setup");
  EXPECT_EQ(Value("WINDOWSTEMP"), "C:\\windows\\temp\\");
  EXPECT_EQ(Value("NETSCAPEPATH"), "");
  EXPECT_EQ(Value("NETSCAPEDEFAULT"), "");
}

// A directory that does not fit its buffer is left empty, never cut.
TEST_F(SystemVars, OverLongDirectoriesAreEmptyNotCut) {
  machine_.systemDirectory = "C:\\" + std::string(300, 's');
  machine_.tempPath = "C:\\" + std::string(257, 't');
  EXPECT_EQ(After("SYSDIR"), "");
  EXPECT_EQ(Value("WINDOWSTEMP"), "");
  EXPECT_EQ(Value("WINDIR"), "C:\\windows");
}

TEST_F(SystemVars, ProgramFilesAndTheDefaultDestination) {
  struct Case { const char* dir; const char* path; const char* programFiles; const char* destination; };
  std::string tooLong = "C:\\" + std::string(300, 'p');
  std::string justFits = "C:\\" + std::string(255, 'p');  // 258 with the backslash
  const Case cases[] = {
      {"C:\\Program Files", nullptr, "C:\\Program Files\\", "C:\\Program Files\\vorn"},
      {"C:\\Program Files", "D:\\Other", "C:\\Program Files\\", "C:\\Program Files\\vorn"},
      {nullptr, "D:\\Apps", "D:\\Apps\\", "D:\\Apps\\vorn"},
      {nullptr, nullptr, "", "c:\\vorn"},
      {tooLong.c_str(), nullptr, "", "c:\\vorn"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.programFiles);
    SetProgramFiles(c.dir, c.path);
    EXPECT_EQ(After("PROGRAMFILES"), c.programFiles);
    EXPECT_EQ(Value("DSTDIR"), c.destination);
  }
  SetProgramFiles(justFits.c_str(), nullptr);
  EXPECT_EQ(After("PROGRAMFILES"), justFits + "\\");
}

TEST_F(SystemVars, AFailedRegistryOpenGivesTheFallbackAndIsLogged) {
  SetProgramFiles("C:\\Program Files", nullptr);
  machine_.InjectFailure(EffectCall::kRegOpenKeyEx, "CurrentVersion", kErrAccessDenied);
  EXPECT_EQ(After("PROGRAMFILES"), "");
  EXPECT_EQ(Value("DSTDIR"), "c:\\vorn");
  ASSERT_FALSE(host_.Matching("log RegOpenKeyEx").empty());
  EXPECT_EQ(host_.Matching("log RegOpenKeyEx")[0],
            "log RegOpenKeyEx HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion 5");
}

TEST_F(SystemVars, CommandLineDirectoryWinsAndARootLosesItsBackslash) {
  SetProgramFiles("C:\\Program Files", nullptr);
  EXPECT_EQ(After("CMDLINEDIR"), "");  // the script tells the default apart
  CopyText(engine_->modes.commandLineDir, "E:\\Target");
  EXPECT_EQ(After("DSTDIR"), "E:\\Target");
  EXPECT_EQ(Value("CMDLINEDIR"), "E:\\Target");
  machine_.currentDirectory = "C:\\";
  EXPECT_EQ(After("SRCDIR"), "C:");
}

TEST_F(SystemVars, NetscapePathFromTheUserKey) {
  std::string base = MakeNetscape("C:\\Communicator", 10);
  machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", base + "\\");
  EXPECT_EQ(After("NETSCAPEPATH"), base + "\\Program");
  // A directory that already ends in Program gets nothing appended.
  machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", base + "\\pROGRAM");
  EXPECT_EQ(After("NETSCAPEPATH"), base + "\\pROGRAM");
  // The user's key must open with full access, else the machine's counts.
  machine_.InjectFailure(EffectCall::kRegOpenKeyEx, "HKCU", kErrAccessDenied);
  EXPECT_EQ(After("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, NetscapePathFromTheMachineKeyOfTheCurrentVersion) {
  std::string base = MakeNetscape("C:\\Machine", 3);
  machine_.SetRegString(kHkeyLocalMachine, kMachineNetscape, "CurrentVersion", "4.7 (en)");
  machine_.SetRegString(kHkeyLocalMachine, std::string(kMachineNetscape) + "\\4.7 (en)\\Main",
                        "Install Directory", base);
  EXPECT_EQ(After("NETSCAPEPATH"), base + "\\Program");
  machine_.SetRegString(kHkeyLocalMachine, kMachineNetscape, "CurrentVersion", "9.9");
  EXPECT_EQ(After("NETSCAPEPATH"), "");
}

// Values of the user's key that name no usable program directory: no
// program file or an empty one, a pattern (it names no one file), a value
// too long, and binary data naming a directory that would do.
TEST_F(SystemVars, UnusableNetscapeValuesGiveNoPath) {
  MakeNetscape("C:\\NoExe", -1);
  MakeNetscape("C:\\EmptyExe", 0);
  for (const std::string& value : {std::string("C:\\NoExe"), std::string("C:\\EmptyExe"),
                                   std::string("C:\\W*"), "C:\\" + std::string(600, 'n')}) {
    SCOPED_TRACE(value.substr(0, 20));
    machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", value);
    EXPECT_EQ(After("NETSCAPEPATH"), "");
  }
  MakeNetscape("C:\\Machine", 3);
  machine_.SetRegBinary(kHkeyCurrentUser, kUserMain, "Install Directory", "C:\\Machine");
  EXPECT_EQ(After("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, NetscapeDefaultFromTheHtmOpenCommand) {
  machine_.SetRegString(kHkeyClassesRoot, ".htm", "", "VornTestHtml");
  machine_.SetRegString(kHkeyClassesRoot, "VornTestHtml\\shell\\open\\command", "",
                        "C:\\PROGRA~1\\NETSCAPE.EXE -h \"%1\"");
  EXPECT_EQ(After("NETSCAPEDEFAULT"), "YES");
  machine_.SetRegString(kHkeyClassesRoot, "VornTestHtml\\shell\\open\\command", "",
                        "C:\\browser\\other.exe \"%1\"");
  EXPECT_EQ(DetectNetscapeDefault(*engine_), 0);
  EXPECT_EQ(Value("NETSCAPEDEFAULT"), "");
}

}  // namespace

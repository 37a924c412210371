// GetSystemVars against machine states set up in the in-memory machine:
// the directories, the program files directory and the default
// destination, Netscape's program directory and whether it opens .htm files.
#include "actions/system_vars.h"

#include <gtest/gtest.h>

#include <string>

#include "script/engine.h"
#include "tests/native/fake_host.h"
#include "tests/native/memory_effects.h"

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kUserMain[] = "Software\\Netscape\\Netscape Navigator\\Main";
const char kMachineNetscape[] = "Software\\Netscape\\Netscape Navigator";

class SystemVars : public ::testing::Test {
 protected:
  SystemVars() {
    engine_.host = &host_;
    engine_.effects = &machine_;
    machine_.SetFailureLog(&host_);
  }
  std::string Var(const char* name) {
    const char* value = VarGet(engine_.vars, name);
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

  FakeHost host_;
  MemoryEffects machine_;
  Engine engine_;
};

TEST_F(SystemVars, DirectoriesAsWindowsReportsThem) {
  GetSystemVars(engine_);
  EXPECT_EQ(Var("SYSDIR"), "C:\\windows\\system32");
  EXPECT_EQ(Var("WINDIR"), "C:\\windows");
  EXPECT_EQ(Var("SRCDIR"), "C:\\setup");
  EXPECT_EQ(Var("WINDOWSTEMP"), "C:\\windows\\temp\\");
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
  EXPECT_EQ(Var("NETSCAPEDEFAULT"), "");
}

// A directory that does not fit its buffer is left empty, never cut.
TEST_F(SystemVars, OverLongDirectoriesAreEmptyNotCut) {
  machine_.systemDirectory = "C:\\" + std::string(300, 's');
  machine_.tempPath = "C:\\" + std::string(257, 't');
  GetSystemVars(engine_);
  EXPECT_EQ(Var("SYSDIR"), "");
  EXPECT_EQ(Var("WINDOWSTEMP"), "");
  EXPECT_EQ(Var("WINDIR"), "C:\\windows");
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
    GetSystemVars(engine_);
    EXPECT_EQ(Var("PROGRAMFILES"), c.programFiles);
    EXPECT_EQ(Var("DSTDIR"), c.destination);
  }
  SetProgramFiles(justFits.c_str(), nullptr);
  GetSystemVars(engine_);
  EXPECT_EQ(Var("PROGRAMFILES"), justFits + "\\");
}

TEST_F(SystemVars, AFailedRegistryOpenGivesTheFallbackAndIsLogged) {
  SetProgramFiles("C:\\Program Files", nullptr);
  machine_.InjectFailure(EffectCall::kRegOpenKeyEx, "CurrentVersion", kErrAccessDenied);
  GetSystemVars(engine_);
  EXPECT_EQ(Var("PROGRAMFILES"), "");
  EXPECT_EQ(Var("DSTDIR"), "c:\\vorn");
  ASSERT_FALSE(host_.Matching("log RegOpenKeyEx").empty());
  EXPECT_EQ(host_.Matching("log RegOpenKeyEx")[0],
            "log RegOpenKeyEx HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion 5");
}

TEST_F(SystemVars, CommandLineDirectoryWinsAndARootLosesItsBackslash) {
  SetProgramFiles("C:\\Program Files", nullptr);
  CopyText(engine_.modes.commandLineDir, "E:\\Target");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("DSTDIR"), "E:\\Target");
  machine_.currentDirectory = "C:\\";
  GetSystemVars(engine_);
  EXPECT_EQ(Var("SRCDIR"), "C:");
}

TEST_F(SystemVars, NetscapePathFromTheUserKey) {
  std::string base = MakeNetscape("C:\\Communicator", 10);
  machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", base + "\\");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), base + "\\Program");
  // A directory that already ends in Program gets nothing appended.
  machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", base + "\\pROGRAM");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), base + "\\pROGRAM");
  // The user's key must open with full access, else the machine's counts.
  machine_.InjectFailure(EffectCall::kRegOpenKeyEx, "HKCU", kErrAccessDenied);
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, NetscapePathNeedsANonEmptyProgramFile) {
  for (int bytes : {-1, 0}) {
    SCOPED_TRACE(bytes);
    std::string base = MakeNetscape(bytes < 0 ? "C:\\NoExe" : "C:\\EmptyExe", bytes);
    machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", base);
    GetSystemVars(engine_);
    EXPECT_EQ(Var("NETSCAPEPATH"), "");
  }
  machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory", "C:\\W*");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");  // a pattern names no one file
}

TEST_F(SystemVars, NetscapePathFromTheMachineKeyOfTheCurrentVersion) {
  std::string base = MakeNetscape("C:\\Machine", 3);
  machine_.SetRegString(kHkeyLocalMachine, kMachineNetscape, "CurrentVersion", "4.7 (en)");
  machine_.SetRegString(kHkeyLocalMachine, std::string(kMachineNetscape) + "\\4.7 (en)\\Main",
                        "Install Directory", base);
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), base + "\\Program");
  machine_.SetRegString(kHkeyLocalMachine, kMachineNetscape, "CurrentVersion", "9.9");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, OverLongOrOddNetscapeValuesAreSkipped) {
  machine_.SetRegString(kHkeyCurrentUser, kUserMain, "Install Directory",
                        "C:\\" + std::string(600, 'n'));
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
  machine_.SetRegBinary(kHkeyCurrentUser, kUserMain, "Install Directory", "C:\\Machine");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, NetscapeDefaultFromTheHtmOpenCommand) {
  machine_.SetRegString(kHkeyClassesRoot, ".htm", "", "VornTestHtml");
  machine_.SetRegString(kHkeyClassesRoot, "VornTestHtml\\shell\\open\\command", "",
                        "C:\\PROGRA~1\\NETSCAPE.EXE -h \"%1\"");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEDEFAULT"), "YES");
  machine_.SetRegString(kHkeyClassesRoot, "VornTestHtml\\shell\\open\\command", "",
                        "C:\\browser\\other.exe \"%1\"");
  EXPECT_EQ(DetectNetscapeDefault(engine_), 0);
  EXPECT_EQ(Var("NETSCAPEDEFAULT"), "");
}

}  // namespace

// GetSystemVars against registry states that the tests set up in the test
// prefix, and the directories Windows reports.
#include "actions/system_vars.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "script/engine.h"
#include "tests/native/fake_host.h"
#include "tests/win/registry_fixture.h"

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kUserNetscape[] = "Software\\Netscape\\Netscape Navigator";
const char kMachineNetscape[] = "Software\\Netscape\\Netscape Navigator";

// Saves a registry string value and puts it back (or removes it) later.
class SavedValue {
 public:
  SavedValue(HKEY root, const char* path, const char* name)
      : root_(root), path_(path), name_(name) {
    present_ = ReadRegistryValue(root, path, name, &bytes_);
  }
  ~SavedValue() {
    HKEY key;
    if (RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    if (present_) {
      RegSetValueExA(key, name_.empty() ? nullptr : name_.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(bytes_.data()),
                     static_cast<DWORD>(bytes_.size()));
    } else {
      RegDeleteValueA(key, name_.empty() ? nullptr : name_.c_str());
    }
    RegCloseKey(key);
  }
  void Remove() {
    HKEY key;
    if (RegOpenKeyExA(root_, path_.c_str(), 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
      RegDeleteValueA(key, name_.empty() ? nullptr : name_.c_str());
      RegCloseKey(key);
    }
  }

 private:
  HKEY root_;
  std::string path_, name_, bytes_;
  bool present_;
};

class SystemVars : public ::testing::Test {
 protected:
  SystemVars()
      : programFilesDir_(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir"),
        programFilesPath_(HKEY_LOCAL_MACHINE, kCurrentVersion,
                          "ProgramFilesPath"),
        htmClass_(HKEY_CLASSES_ROOT, ".htm", "") {
    engine_.host = &host_;
  }
  void SetUp() override {
    DeleteRegistryTree(HKEY_CURRENT_USER, kUserNetscape);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kMachineNetscape);
  }
  void TearDown() override {
    DeleteRegistryTree(HKEY_CURRENT_USER, kUserNetscape);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kMachineNetscape);
    DeleteRegistryTree(HKEY_CLASSES_ROOT, "VornTestHtml");
  }
  std::string Var(const char* name) {
    const char* value = VarGet(engine_.vars, name);
    return value ? value : "(none)";
  }
  void SetProgramFiles(const char* dir, const char* path) {
    programFilesDir_.Remove();
    programFilesPath_.Remove();
    if (dir) WriteRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", dir);
    if (path) WriteRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesPath", path);
  }
  // A Netscape installation in the scratch directory: `installDir` is what
  // the registry names; netscape.exe gets `exeBytes` bytes (none: no file).
  std::string MakeNetscape(const std::string& sub, int exeBytes) {
    std::string base = scratch_.Path() + "\\" + sub;
    CreateDirectoryA(base.c_str(), nullptr);
    std::string program = base + "\\Program";
    CreateDirectoryA(program.c_str(), nullptr);
    if (exeBytes >= 0) {
      scratch_.WriteFile(sub + "\\Program\\netscape.exe", std::string(exeBytes, 'M'));
    }
    return base;
  }

  FakeHost host_;
  Engine engine_;
  ScratchDirectory scratch_;
  SavedValue programFilesDir_, programFilesPath_, htmClass_;
};

TEST_F(SystemVars, DirectoriesAsWindowsReportsThem) {
  GetSystemVars(engine_);
  char expected[MAX_PATH];
  GetSystemDirectoryA(expected, MAX_PATH);
  EXPECT_EQ(Var("SYSDIR"), expected);
  GetWindowsDirectoryA(expected, MAX_PATH);
  EXPECT_EQ(Var("WINDIR"), expected);
  EXPECT_EQ(Var("SRCDIR"), scratch_.Path());
  GetTempPathA(MAX_PATH, expected);
  EXPECT_EQ(Var("WINDOWSTEMP"), expected);
  EXPECT_EQ(Var("WINDOWSTEMP").back(), '\\');
  EXPECT_EQ(Var("languagefile"), "setup.English.txt");
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
  EXPECT_EQ(Var("NETSCAPEDEFAULT"), "");
}

TEST_F(SystemVars, ProgramFilesAndTheDefaultDestination) {
  struct Case { const char* dir; const char* path; const char* programFiles; const char* destination; };
  std::string tooLong = "C:\\" + std::string(300, 'p');
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
}

TEST_F(SystemVars, CommandLineDirectoryWinsAndARootLosesItsBackslash) {
  SetProgramFiles("C:\\Program Files", nullptr);
  CopyText(engine_.modes.commandLineDir, "E:\\Target");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("DSTDIR"), "E:\\Target");
  SetCurrentDirectoryA("C:\\");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("SRCDIR"), "C:");
  SetCurrentDirectoryA(scratch_.Path().c_str());
}

TEST_F(SystemVars, NetscapePathFromTheUserKey) {
  std::string base = MakeNetscape("Communicator", 10);
  WriteRegistryString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                      "Install Directory", base + "\\");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), base + "\\Program");
  // A directory that already ends in Program gets nothing appended.
  WriteRegistryString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                      "Install Directory", base + "\\pROGRAM");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), base + "\\pROGRAM");
}

TEST_F(SystemVars, NetscapePathNeedsANonEmptyProgramFile) {
  for (int bytes : {-1, 0}) {
    SCOPED_TRACE(bytes);
    std::string sub = bytes < 0 ? "NoExe" : "EmptyExe";
    std::string base = MakeNetscape(sub, bytes);
    WriteRegistryString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                        "Install Directory", base);
    GetSystemVars(engine_);
    EXPECT_EQ(Var("NETSCAPEPATH"), "");
  }
}

TEST_F(SystemVars, NetscapePathFromTheMachineKeyOfTheCurrentVersion) {
  std::string base = MakeNetscape("Machine", 3);
  WriteRegistryString(HKEY_LOCAL_MACHINE, kMachineNetscape, "CurrentVersion", "4.7 (en)");
  WriteRegistryString(HKEY_LOCAL_MACHINE, "Software\\Netscape\\Netscape Navigator\\4.7 (en)\\Main",
                      "Install Directory", base);
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), base + "\\Program");
  WriteRegistryString(HKEY_LOCAL_MACHINE, kMachineNetscape, "CurrentVersion", "9.9");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, OverLongNetscapeDirectoryIsSkipped) {
  WriteRegistryString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                      "Install Directory", "C:\\" + std::string(600, 'n'));
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEPATH"), "");
}

TEST_F(SystemVars, NetscapeDefaultFromTheHtmOpenCommand) {
  WriteRegistryString(HKEY_CLASSES_ROOT, ".htm", "", "VornTestHtml");
  WriteRegistryString(HKEY_CLASSES_ROOT, "VornTestHtml\\shell\\open\\command", "",
                      "C:\\PROGRA~1\\NETSCAPE.EXE -h \"%1\"");
  GetSystemVars(engine_);
  EXPECT_EQ(Var("NETSCAPEDEFAULT"), "YES");
  WriteRegistryString(HKEY_CLASSES_ROOT, "VornTestHtml\\shell\\open\\command", "",
                      "C:\\browser\\other.exe \"%1\"");
  EXPECT_EQ(DetectNetscapeDefault(engine_), 0);
  EXPECT_EQ(Var("NETSCAPEDEFAULT"), "");
}

}  // namespace

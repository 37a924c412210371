// setup.exe reads the setup.ini beside itself and no other: from a drive's
// root, and not at all when its own directory cannot be entered. Drive D:
// is a folder of the test prefix's own (scripts/lib.sh).
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/setup_run.h"

namespace {

const DWORD kExitTimeoutMs = 60000;

// Deletes what a test left on drive D: (files and directories, wide names).
void EmptyDriveD() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(L"D:\\", error)) {
    std::filesystem::remove_all(entry.path(), error);
  }
}

void WriteFileW(const std::wstring& path, const std::string& content) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << content;
}

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

// A script that writes `tag` to D:\out.txt.
std::string TaggingScript(const char* tag) {
  return std::string("[Setup]\r\nAppendFile \"") + tag + "\" \"D:\\\\out.txt\"\r\n";
}

class ProgramDirectory : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    ASSERT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_FIXED))
        << "the test prefix maps drive D: to a folder";
    EmptyDriveD();
    ASSERT_TRUE(CreateDirectoryW(L"D:\\sub", nullptr));
    WriteFileW(L"D:\\sub\\setup.ini", TaggingScript("decoy in the caller's directory"));
  }
  void TearDown() override {
    EmptyDriveD();
    SetupRun::TearDown();
  }

  // Copies setup.exe into `dir` with a script that tags "own", and runs it
  // silently from D:\sub; returns its exit code.
  int RunFrom(const std::wstring& dir) {
    std::wstring program = dir + L"\\setup.exe";
    EXPECT_TRUE(CopyFileW(Widen(VORN_SETUP_EXE).c_str(), program.c_str(), FALSE));
    WriteFileW(dir + L"\\setup.ini", TaggingScript("own"));
    std::wstring commandLine = L"\"" + program + L"\" /SILENT";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, L"D:\\sub",
                        &startup, &process)) {
      ADD_FAILURE() << "cannot start setup.exe: " << GetLastError();
      return 12345;
    }
    DWORD code = 12345;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kExitTimeoutMs), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
  }
};

TEST_F(ProgramDirectory, FromADrivesRootTheRootsScriptRuns) {
  EXPECT_EQ(RunFrom(L"D:"), 0);
  EXPECT_EQ(ReadWholeFile("D:\\out.txt"), "own\r\n");
}

// A directory that the ANSI code page cannot name: the program cannot make
// it current, and takes the missing-script path instead of running the
// caller's setup.ini. It never armed the install-state record, so a
// previous run's failure stays recorded. (A directory over MAX_PATH takes
// the same path; Wine cannot start a program from one, so it is not tested
// here.)
TEST_F(ProgramDirectory, AnUnnameableDirectoryRunsNoScript) {
  std::wstring dir = L"D:\\\x0416\x0418\x041b";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  WriteRegistryString(HKEY_LOCAL_MACHINE, kStateKey, "InstallFailled", "1");
  EXPECT_EQ(RunFrom(dir), -1);
  EXPECT_EQ(ReadWholeFile("D:\\out.txt"), "");
  EXPECT_EQ(StateValue("InstallFailled"), "1");
}

}  // namespace

// setup.exe reads the setup.ini beside itself and no other: from a drive's
// root, and not at all when its own directory cannot be entered. Drive D:
// is a folder of the test prefix's own (scripts/lib.sh).
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/e2e/setup_run.h"

namespace {

const DWORD kExitTimeoutMs = 60000;

// Deletes what a test left on drive D: (files and directories, wide names).
void EmptyDirectoryW(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = dir + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyDirectoryW(path);
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

void WriteFileW(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
            nullptr);
  CloseHandle(file);
}

std::string ReadDriveFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring Widen(const char* text) {
  return std::wstring(text, text + strlen(text));
}

// A script that writes `tag` to D:\out.txt.
std::string TaggingScript(const char* tag) {
  return std::string("[Setup]\r\nAppendFile \"") + tag + "\" \"D:\\\\out.txt\"\r\n";
}

class ProgramDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_FIXED))
        << "the test prefix maps drive D: to a folder";
    EmptyDirectoryW(L"D:");
    ASSERT_TRUE(CreateDirectoryW(L"D:\\sub", nullptr));
    WriteFileW(L"D:\\sub\\setup.ini", TaggingScript("decoy in the caller's directory"));
  }
  void TearDown() override { EmptyDirectoryW(L"D:"); }

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
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                        0, nullptr, L"D:\\sub", &startup, &process)) {
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
  EXPECT_EQ(ReadDriveFile("D:\\out.txt"), "own\r\n");
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
  EXPECT_EQ(ReadDriveFile("D:\\out.txt"), "");
  std::string marker;
  EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kStateKey, "InstallFailled", &marker));
  EXPECT_EQ(marker.substr(0, 1), "1");
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kStateKey);
}

}  // namespace

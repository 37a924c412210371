// File commands where only the real system shows the behaviour: a file
// held open by another program, a link inside a tree, and the search of
// the fixed drives with its wait dialog. The test prefix maps a small D:
// and holds a tree with a Linux directory link (scripts/lib.sh).
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

using FileSystem = SetupRun;

const char kMessages[] =
    "set ERROR_COPY_TTL \"Copy failed\"\n"
    "set ERROR_COPY_MSG \"Cannot copy %s to %s\"\n"
    "set SEARCHING_FILES_MSG \"Searching %s\"\n";

TEST_F(FileSystem, ACopyOntoAFileInUseFailsAndKeepsIt) {
  CreateDirectoryA((Dir() + "\\dst").c_str(), nullptr);
  WriteFile("dst\\a.dll", "old");
  WriteFile("a.dll", "new");
  HANDLE held = CreateFileA((Dir() + "\\dst\\a.dll").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  WriteScript("[Setup]\nGetSystemVars\n" + std::string(kMessages) +
              "set DSTDIR \"dst\"\nCopy \"a.dll\"\n" + Mark("never"));
  std::vector<robot::MessageBoxInfo> boxes;
  int code = RunToEnd("", &boxes);
  CloseHandle(held);
  EXPECT_EQ(code, 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Copy failed");
  EXPECT_EQ(ReadFile("dst\\a.dll"), "old");
  EXPECT_EQ(StateValue("InstallFailled"), "1");
}

// C:\vorn-links\tree\link is a Linux link to C:\vorn-links\outside.
TEST_F(FileSystem, DeltreeRemovesALinkButNotWhatItPointsTo) {
  DWORD link = GetFileAttributesA("C:\\vorn-links\\tree\\link");
  ASSERT_NE(link, INVALID_FILE_ATTRIBUTES) << "the test prefix has the link tree";
  EXPECT_TRUE(link & FILE_ATTRIBUTE_REPARSE_POINT);
  WriteScript("[Setup]\nDeltree \"C:\\vorn-links\\tree\"\n");
  int exitCode = RunToEnd("/SILENT");
  EXPECT_NE(GetFileAttributesA("C:\\vorn-links\\outside\\keep.txt"),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA("C:\\vorn-links\\tree\\file.txt"),
            INVALID_FILE_ATTRIBUTES);
  // Windows removes the link itself; Wine refuses to (it follows a Linux
  // directory link and finds it not empty), and a delete that leaves
  // something behind is an error of the run.
  bool linkLeft = GetFileAttributesA("C:\\vorn-links\\tree\\link") != INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(exitCode, linkLeft ? 1 : 0);
}

class DriveSearch : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    ASSERT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_FIXED));
    CreateDirectoryA("D:\\sub", nullptr);
    WriteDrive("D:\\zek.ini");
    WriteDrive("D:\\sub\\ZEK.INI");  // another case: no match
    WriteFile("zek.ini", "");
  }
  void TearDown() override {
    DeleteFileA("D:\\zek.ini");
    DeleteFileA("D:\\sub\\ZEK.INI");
    RemoveDirectoryA("D:\\sub");
    SetupRun::TearDown();
  }
  static void WriteDrive(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
  }

  // The status texts of the program's visible dialogs that show a search.
  std::vector<std::string> SearchTexts() {
    std::vector<std::string> found;
    for (const robot::WindowInfo& w : Session().TopLevelWindows()) {
      char text[512] = "";
      GetDlgItemTextA(w.hwnd, 1001, text, sizeof text);
      if (w.visible && std::string(text).compare(0, 10, "Searching ") == 0) {
        found.push_back(text);
      }
    }
    return found;
  }
};

TEST_F(DriveSearch, ApplyOnFilesRunsTheSectionPerExactHitOnEveryFixedDrive) {
  WriteScript("[Setup]\n" + std::string(kMessages) + "Strcmp \"a\" \"a\"\n"
              "ApplyOnFiles \"zek.ini\" \"Found\"\nIf\n" + Mark("condition 1") +
              "Endif\nAppendFile DSTDIR \"out.txt\"\nMsgBoxOK \"done\" \"End\"\n"
              "[Found]\nAppendFile DSTDIR \"out.txt\"\nMsgBoxOK DSTDIR \"Hit\"\n");
  Start();
  robot::MessageBoxInfo box = NextBox();  // the hit on C:, inside the search
  EXPECT_EQ(box.caption, "Hit");
  EXPECT_EQ(SearchTexts().size(), 1u);
  Press(box, IDOK);
  box = NextBox();  // the hit on D:
  EXPECT_EQ(box.text, "d:");
  ASSERT_EQ(SearchTexts().size(), 1u);  // the dialog of drive D: alone
  EXPECT_EQ(SearchTexts()[0].substr(0, 12), "Searching d:");
  Press(box, IDOK);
  box = NextBox();
  EXPECT_EQ(box.text, "done");
  EXPECT_TRUE(SearchTexts().empty());  // the wait dialogs are gone
  Press(box, IDOK);
  EXPECT_EQ(Finish(), 0);
  std::string dir = Dir();
  dir[0] = 'c';  // the search names drive C as "c:"
  EXPECT_EQ(Trace(), dir + "|d:|d:");
}

TEST_F(DriveSearch, ASectionThatQuitsEndsTheRunsButNotTheSearch) {
  WriteScript("[Setup]\nApplyOnFiles \"zek.ini\" \"Found\"\n" + Mark("never") +
              "[Found]\nAppendFile DSTDIR \"out.txt\"\nquit \"\" \"\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 0);
  std::string dir = Dir();
  dir[0] = 'c';
  EXPECT_EQ(Trace(), dir);
}

}  // namespace

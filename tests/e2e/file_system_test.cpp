// File commands where only the real system shows the behaviour: a link
// inside a tree, and the search of the fixed drives with its wait dialog.
// The test prefix maps a small D: and holds a tree with a Linux directory
// link (scripts/lib.sh).
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/resource.h"
#include "tests/e2e/setup_run.h"

namespace {

using FileSystem = SetupRun;

// C:\vorn-links\tree\link is a Linux link to C:\vorn-links\outside.
TEST_F(FileSystem, DeltreeRemovesALinkButNotWhatItPointsTo) {
  DWORD link = GetFileAttributesA("C:\\vorn-links\\tree\\link");
  ASSERT_NE(link, INVALID_FILE_ATTRIBUTES) << "the test prefix has the link tree";
  EXPECT_TRUE(link & FILE_ATTRIBUTE_REPARSE_POINT);
  WriteScript("[Setup]\nDeltree \"C:\\vorn-links\\tree\"\n");
  int exitCode = RunToEnd("/SILENT");
  CheckAfter({"C:\\vorn-links\\outside\\keep.txt~kept", "-C:\\vorn-links\\tree\\file.txt"});
  // Windows removes the link itself; Wine refuses to (it follows a Linux
  // directory link and finds it not empty), and a delete that leaves
  // something behind is an error of the run.
  EXPECT_EQ(exitCode, FileExists("C:\\vorn-links\\tree\\link") ? 1 : 0);
}

class DriveSearch : public SetupRun {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    ASSERT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_FIXED));
    for (const char* before : {"D:\\zek.ini=", "D:\\sub\\ZEK.INI=", "zek.ini="}) {
      Prepare(before);  // another case: no match
    }
  }
  void TearDown() override {
    SetupRun::TearDown();
    RemoveDirectoryA("D:\\sub");
  }

  // The status texts of the program's visible dialogs that show a search.
  std::vector<std::string> SearchTexts() {
    std::vector<std::string> found;
    for (const robot::WindowInfo& w : Session().TopLevelWindows()) {
      char text[512] = "";
      GetDlgItemTextA(w.hwnd, IDC_STATUS_LINE, text, sizeof text);
      if (w.visible && std::string(text).compare(0, 10, "Searching ") == 0) {
        found.push_back(text);
      }
    }
    return found;
  }

  // The run's directory as the search names it: drive C as "c:".
  std::string SearchedDir() const { return "c" + Dir().substr(1); }
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
  EXPECT_EQ(Trace(), SearchedDir() + "|d:|d:");
}

TEST_F(DriveSearch, ASectionThatQuitsEndsTheRunsButNotTheSearch) {
  WriteScript("[Setup]\nApplyOnFiles \"zek.ini\" \"Found\"\n" + Mark("never") +
              "[Found]\nAppendFile DSTDIR \"out.txt\"\nquit \"\" \"\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 0);
  EXPECT_EQ(Trace(), SearchedDir());
}

}  // namespace

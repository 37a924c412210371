// The real effects against Wine: the contract shared with the in-memory
// machine, and once each the operations only Windows can do (shell links,
// processes started by name, libraries by name, fonts).
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <memory>

#include "tests/win/registry_fixture.h"
#include "tests/win/shortcut_reader.h"
#include "win32/win32_effects.h"
#include "tests/common/effects_contract.h"

namespace {

// The contract's helpers are copies of the test programs in the scratch
// directory; COM is there for the shell links.
class Win32Machine : public ContractMachine {
 public:
  Effects& effects() override { return effects_; }
  std::string Scratch() override { return scratch_.Path(); }
  void WriteFile(const std::string& path, const std::string& content) override {
    WriteWholeFile(path, content);
  }
  std::string ReadFile(const std::string& path) override { return ReadWholeFile(path); }
  bool RefusesReadOnlyTargets() override {
    return !GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
  }
  std::string Program() override { return Helper("record_args.exe"); }
  std::string Library() override { return Helper("reg_ok.dll"); }
  void HoldPort(unsigned short port, bool held) override {
    port_.reset(held ? new PortHolder(port) : nullptr);
  }

 private:
  std::string Helper(const char* name) {
    std::string copy = scratch_.Path() + "\\" + name;
    CopyFileA((std::string(VORN_HELPERS_DIR) + "\\" + name).c_str(), copy.c_str(), FALSE);
    return copy;
  }

  struct ComSession {
    ComSession() { CoInitialize(nullptr); }
    ~ComSession() { CoUninitialize(); }
  } com_;
  Win32Effects effects_;
  ScratchDirectory scratch_;
  std::unique_ptr<PortHolder> port_;
};

class WindowsEffects : public ::testing::Test {
 protected:
  Win32Effects fx_;
  ScratchDirectory scratch_;
};

TEST_F(WindowsEffects, ShellLinkIsSavedAndReadsBack) {
  CoInitialize(nullptr);
  std::string link = scratch_.Path() + "\\Vorn.lnk";
  ShellLinkFields fields = {"C:\\windows\\notepad.exe", "/x \"a b\"", "C:\\windows",
                        "C:\\windows\\notepad.exe", 0, "Vorn editor"};
  ASSERT_EQ(fx_.CreateShellLink(fields, link.c_str()), kOk);
  ShortcutContents saved = ReadShortcut(link);
  ASSERT_TRUE(saved.loaded);
  EXPECT_EQ(saved.arguments, "/x \"a b\"");
  EXPECT_EQ(saved.description, "Vorn editor");
  EXPECT_NE(fx_.CreateShellLink(fields, (scratch_.Path() + "\\no\\x.lnk").c_str()),
            kOk);
  CoUninitialize();
}

TEST_F(WindowsEffects, ProcessesRunAndGiveTheirExitCode) {
  scratch_.WriteFile("three.bat", "@exit /b 3\r\n");
  unsigned long code = 99;
  ASSERT_EQ(fx_.CreateProcess(nullptr, "cmd /c three.bat", scratch_.Path().c_str(), true,
                              &code), kOk);
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(fx_.CreateProcess(nullptr, "no-such-program-vorn.exe", nullptr, true, &code),
            kErrFileNotFound);
  std::string tooLong(2000, 'x');
  EXPECT_EQ(fx_.CreateProcess(nullptr, tooLong.c_str(), nullptr, false, nullptr),
            kErrFilenameTooLong);
}

// A system library by its name; freeing one that the process had not
// loaded unloads it.
TEST_F(WindowsEffects, LibrariesLoadByNameAndFreeUnloads) {
  LibraryRef library = nullptr;
  ASSERT_EQ(fx_.LoadLibrary("ole32.dll", &library), kOk);
  fx_.FreeLibrary(library);
  EXPECT_EQ(fx_.LoadLibrary("no-such-library-vorn.dll", &library),
            kErrModNotFound);
  if (GetModuleHandleA("msi.dll") == nullptr) {
    ASSERT_EQ(fx_.LoadLibrary("msi.dll", &library), kOk);
    fx_.FreeLibrary(library);
    EXPECT_EQ(GetModuleHandleA("msi.dll"), nullptr);
  }
}

static int CALLBACK NoteFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD,
                               LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Whether the system's font enumeration knows `family`.
static bool FontFamilyKnown(const char* family) {
  HDC screen = GetDC(nullptr);
  LOGFONTA wanted = {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(wanted.lfFaceName, family, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExA(screen, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// Wine keeps a font added this way to the process that added it, so the
// font is looked for here rather than after a run of setup.exe.
TEST_F(WindowsEffects, FontIsEnumeratedFromRegistrationUntilRemoval) {
  ASSERT_STRNE(VORN_TEST_FONT, "") << "scripts/run-tests.sh unpacks the test font";
  std::string font = std::string("Z:") + VORN_TEST_FONT;
  ASSERT_FALSE(FontFamilyKnown("Comfortaa"));
  ASSERT_EQ(fx_.AddFontResource(font.c_str()), kOk);
  EXPECT_TRUE(FontFamilyKnown("Comfortaa"));
  EXPECT_EQ(fx_.RemoveFontResource(font.c_str()), kOk);
  EXPECT_FALSE(FontFamilyKnown("Comfortaa"));
}

}  // namespace

ContractMachine* NewContractMachine() { return new Win32Machine; }

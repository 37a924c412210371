// The real effects against Wine: the contract shared with the in-memory
// machine, and once each the operations only Windows can do (shell links,
// processes, libraries, fonts, the network probes).
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include "tests/win/registry_fixture.h"
#include "tests/win/shortcut_reader.h"
#include "win32/win32_effects.h"
#include "tests/common/effects_contract.h"

namespace {

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

 private:
  Win32Effects effects_;
  ScratchDirectory scratch_;
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

TEST_F(WindowsEffects, LibrariesLoadCallAndFree) {
  LibraryRef library = nullptr;
  ASSERT_EQ(fx_.LoadLibrary("ole32.dll", &library), kOk);
  long result = 0;
  EXPECT_EQ(fx_.CallEntryPoint(library, "NoSuchEntryVorn", &result),
            kErrProcNotFound);
  fx_.FreeLibrary(library);
  EXPECT_EQ(fx_.LoadLibrary("no-such-library-vorn.dll", &library),
            kErrModNotFound);
  EXPECT_EQ(library, nullptr);
  if (GetModuleHandleA("msi.dll") == nullptr) {
    ASSERT_EQ(fx_.LoadLibrary("msi.dll", &library), kOk);
    fx_.FreeLibrary(library);
    EXPECT_EQ(GetModuleHandleA("msi.dll"), nullptr);
  }
}

TEST_F(WindowsEffects, FontsOfAMissingFileAreRefused) {
  std::string font = scratch_.Path() + "\\missing.ttf";
  EXPECT_NE(fx_.AddFontResource(font.c_str()), kOk);
  EXPECT_NE(fx_.RemoveFontResource(font.c_str()), kOk);
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

TEST_F(WindowsEffects, NetworkProbes) {
  EXPECT_EQ(fx_.DetectTcpIp(), kOk);
  const unsigned short port = 1200;
  EXPECT_EQ(fx_.ListenOnTcpPort(port), kOk);
  {
    PortHolder holder(port);  // the probe left the port free
    ASSERT_TRUE(holder.Bound());
    EXPECT_NE(fx_.ListenOnTcpPort(port), kOk);
  }
  EXPECT_EQ(fx_.ListenOnTcpPort(port), kOk);
}

}  // namespace

ContractMachine* NewContractMachine() { return new Win32Machine; }

// setup.exe end to end: sections, error boxes, silent and mini mode, the
// banner, the missing script, exit codes, the install-state record across
// runs and the uninstall marker.
#include "tests/e2e/setup_run.h"

using robot::MessageBoxInfo;

using Sections = SetupRun;

TEST_F(Sections, SetupRunsFromItsLabelToTheNextAndTheProgramEnds) {
  WriteScript("[Before]\n" + Mark("before") + "[Setup]\n" + Mark("one") +
              "; a comment\n\n" + Mark("two") + "[After]\n" + Mark("after"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 0);
  EXPECT_EQ(Trace(), "one|two");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Sections, UnknownKeywordIsReportedAndTheRunGoesOn) {
  WriteScript("[Setup]\n" + BasicMessages() + "   Frobnicate \"x\"\n" + Mark("after"));
  Start();
  MessageBoxInfo box = NextBox();
  EXPECT_EQ(box.caption, "Setup error");
  EXPECT_EQ(box.text, "Unknown keyword:    Frobnicate");
  Press(box, IDOK);
  EXPECT_EQ(Finish(), 1);  // the run went on, but it was an error
  EXPECT_EQ(Trace(), "after");
}

TEST_F(Sections, MissingSectionIsReportedAndTheCallerGoesOn) {
  WriteScript("[Setup]\n" + BasicMessages() + "goto \"Nowhere\"\n" + Mark("after"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Setup error");
  EXPECT_EQ(boxes[0].text, "Missing section");
  EXPECT_EQ(Trace(), "after");
}

TEST_F(Sections, MissingSetupSectionEndsTheProgram) {
  WriteScript("[Other]\n" + Mark("never"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "*** invalid message ***");
  EXPECT_FALSE(FileExists("out.txt"));
}

TEST_F(Sections, SilentModeShowsNothingAndTheRunCompletes) {
  WriteScript("[Setup]\n" + BasicMessages() + "ShowWindow\nMsgBoxOK \"hello\"\n"
              "Frobnicate\ngoto \"Nowhere\"\nIsSilent\nIf\n" + Mark("silent") +
              "Endif\nIsMini\nIf\n" + Mark("mini") + "Endif\n");
  Start("/silent");
  bool sawVisibleWindow = false;
  int code = 0;
  while (!Session().WaitForExit(20, &code)) {
    for (const robot::WindowInfo& w : Session().TopLevelWindows()) {
      if (w.visible) sawVisibleWindow = true;
    }
  }
  EXPECT_EQ(code, 1);  // the unknown keyword and the missing section
  EXPECT_FALSE(sawVisibleWindow);
  EXPECT_EQ(Trace(), "silent|mini");
}

TEST_F(Sections, MessageBoxesAnswersLineBreaksAndTheStatusLine) {
  WriteScript("[Setup]\nSetText \"Copying\\nfiles\"\n"
              "MsgBoxYESNO \"Line one\\nLine two\" \"Question\"\nIf\n" + Mark("yes") +
              "Else\n" + Mark("no") + "Endif\n"
              "MsgBoxOKCancel \"Go on?\" \"Confirm\"\nIf\n" + Mark("ok") +
              "Else\n" + Mark("cancel") + "Endif\n");
  Start();
  MessageBoxInfo question = NextBox();
  EXPECT_EQ(question.caption, "Question");
  EXPECT_EQ(robot::OneLine(question.text), "Line one\\nLine two");
  EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(robot::OneLine(Session().StatusLine()), "Copying\\nfiles");
  Press(question, IDNO);
  MessageBoxInfo confirm = NextBox();
  EXPECT_EQ(confirm.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  Press(confirm, IDCANCEL);  // what Escape gives
  EXPECT_EQ(Finish(), 0);
  EXPECT_EQ(Trace(), "no|cancel");
}

// The banner is painted in bright blue letters; count them on screen.
static const COLORREF kBannerText = RGB(48, 96, 160);

static int BannerPixels(robot::Session& session) {
  robot::WindowInfo main;
  if (!session.FindMainWindow(&main) || !main.visible) return -1;
  return session.CountClientPixels(main.hwnd, kBannerText);
}

// Outside mini mode setting SETUPNAME repaints the banner at the next pump;
// in mini mode it is not repainted.
TEST_F(Sections, BannerRepaintsAfterSettingTheSetupNameOutsideMiniMode) {
  WriteScript("[Setup]\nShowWindow\nMsgBoxOK \"before\"\n"
              "set SETUPNAME \"VORN SETUP\"\nMsgBoxOK \"after\"\n");
  for (const char* mode : {"", "/MINI"}) {
    SCOPED_TRACE(mode);
    Start(mode);
    MessageBoxInfo before = NextBox();
    EXPECT_EQ(BannerPixels(Session()), 0);
    Press(before, IDOK);
    MessageBoxInfo after = NextBox();
    EXPECT_EQ(after.text, "after");
    int pixels = BannerPixels(Session());
    if (*mode) {
      EXPECT_EQ(pixels, 0);
    } else {
      EXPECT_GT(pixels, 100);
    }
    Press(after, IDOK);
    EXPECT_EQ(Finish(), 0);
  }
}

TEST_F(Sections, HiddenMainWindowUnlessShown) {
  WriteScript("[Setup]\nMsgBoxOK \"look\"\nShowWindow\nMsgBoxOK \"shown\"\n"
              "HideWindow\nMsgBoxOK \"hidden\"\n");
  Start();
  robot::WindowInfo main;
  MessageBoxInfo box = NextBox();
  ASSERT_TRUE(Session().FindMainWindow(&main));
  EXPECT_EQ(main.caption, "Setup");
  EXPECT_FALSE(main.visible);
  Press(box, IDOK);
  box = NextBox();
  Session().FindMainWindow(&main);
  EXPECT_TRUE(main.visible);
  Press(box, IDOK);
  box = NextBox();
  Session().FindMainWindow(&main);
  EXPECT_FALSE(main.visible);
  Press(box, IDOK);
  EXPECT_EQ(Finish(), 0);
}

using ScriptFileMissing = SetupRun;

// A run with no script never armed the install-state record, so it leaves
// the record as it was: a failed run stays recorded as failed.
TEST_F(ScriptFileMissing, BoxThenExitCodeMinusOneAndTheRecordLeftAsItWas) {
  WriteRegistryString(HKEY_LOCAL_MACHINE, kStateKey, "InstallFailled", "1");
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), -1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].text, "No setup.ini file...");
  EXPECT_EQ(StateValue("InstallFailled"), "1");
  EXPECT_EQ(RunToEnd("/SILENT"), -1);
  EXPECT_EQ(StateValue("InstallFailled"), "1");
}

TEST_F(ScriptFileMissing, AFailedRunStaysFailedAcrossARunWithoutAScript) {
  WriteScript("[Setup]\nquiterr \"Giving up\" \"Setup\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 1);
  DeleteFileA((Dir() + "\\setup.ini").c_str());
  EXPECT_EQ(RunToEnd("/SILENT"), -1);
  // The clean run starts with the failure flag set, so the marker stays.
  WriteScript("[Setup]\n" + Mark("clean"));
  EXPECT_EQ(RunToEnd("/SILENT"), 0);
  EXPECT_EQ(StateValue("InstallFailled"), "1");
}

using InstallRecord = SetupRun;

TEST_F(InstallRecord, KilledRunThenSuccessThenCleanRun) {
  WriteScript("[Setup]\nMsgBoxOK \"running\"\n");
  Start();
  NextBox();
  EXPECT_EQ(StateValue("InstallFailled"), "1");
  EXPECT_EQ(StateValue("Success"), "0");
  Session().Terminate(3);  // the process dies before its end

  WriteScript("[Setup]\nset VERSION \"4.12\"\nset APP_VERSION \"4.12.7 beta\"\n"
              "InstallSuccess\n");
  EXPECT_EQ(RunToEnd(), 0);  // the earlier failure is not this run's error
  EXPECT_EQ(StateValue("InstallFailled"), "");
  EXPECT_EQ(StateValue("Success"), "1");
  EXPECT_EQ(StateString("IE"), "4.12.7 beta");
  EXPECT_EQ(StateString("Netscape"), "4.12.7 beta");

  WriteScript("[Setup]\n" + Mark("clean"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(StateValue("InstallFailled"), "");
  EXPECT_EQ(StateValue("Success"), "0");
  EXPECT_EQ(StateString("IE"), "4.12.7 beta");  // only InstallSuccess writes it
}

TEST_F(InstallRecord, FailedRunKeepsTheMarkerAndExitsWithOne) {
  WriteScript("[Setup]\nquiterr \"Giving up\" \"Setup\"\n" + Mark("never"));
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Giving up");
  EXPECT_EQ(StateValue("InstallFailled"), "1");
  EXPECT_FALSE(FileExists("out.txt"));
}

TEST_F(InstallRecord, CleanRunAfterAFailedOneExitsWithZero) {
  WriteRegistryString(HKEY_LOCAL_MACHINE, kStateKey, "InstallFailled", "1");
  WriteScript("[Setup]\n" + Mark("ran"));
  EXPECT_EQ(RunToEnd(), 0);
  // Its failure flag started set, so the marker stays for the next run.
  EXPECT_EQ(StateValue("InstallFailled"), "1");
  WriteScript("[Setup]\nInstallSuccess\nquiterr \"x\" \"y\"\n");
  EXPECT_EQ(RunToEnd("/SILENT"), 1);
  EXPECT_EQ(StateValue("InstallFailled"), "");  // not written again
  WriteScript("[Setup]\n" + Mark("clean"));
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(StateValue("InstallFailled"), "");
  EXPECT_EQ(StateValue("Success"), "0");
}

// The runtime's file-class keys make "setup.txt" select uninstall mode.
class UninstallMarker : public SetupRun {
 protected:
  void TearDown() override {
    DeleteRegistryTree(HKEY_CLASSES_ROOT, "vorn_file");
    SetupRun::TearDown();
  }
  void InstallRuntimeKeys() {
    WriteRegistryString(HKEY_CLASSES_ROOT, "vorn_file\\shell\\open\\command", "",
                        "C:\\vorn\\zekwin.exe \"%1\"");
  }
  std::string Script() {
    return "[Setup]\n" + Mark("setup") + "[Uninstall]\n" + Mark("uninstall") +
           "GetSystemVars\nAppendFile DSTDIR \"out.txt\"\n";
  }
};

TEST_F(UninstallMarker, WithRuntimeKeysTheMarkerSelectsUninstall) {
  InstallRuntimeKeys();
  WriteScript(Script());
  WriteFile("setup.txt", "");
  EXPECT_EQ(RunToEnd(), 0);
  // The command-line directory becomes the program directory.
  EXPECT_EQ(Trace(), "uninstall|" + Dir());
}

TEST_F(UninstallMarker, WithoutRuntimeKeysOnlyTheSwitchSelectsUninstall) {
  WriteScript(Script());
  WriteFile("setup.txt", "");
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "setup");
  EXPECT_EQ(RunToEnd("/uninstall"), 0);
  EXPECT_EQ(Trace().substr(0, 16), "setup|uninstall|");
}

using BadScript = SetupRun;

// Bad input of every kind in one script: the run goes to its end, shows
// what it should, and the program neither crashes nor hangs.
TEST_F(BadScript, RunsToItsEndWithoutCrashing) {
  std::string script = "[Setup]\n" + BasicMessages();
  // Four messages and 396 variables fill the store; V396 is the 401st.
  for (int i = 0; i < 397; ++i) script += "set V" + std::to_string(i) + " \"x\"\n";
  script += "AppendFile V395 \"out.txt\"\n";
  script += "AppendFile V396 \"out.txt\"\n";  // not stored: an empty line
  script += "set LONG \"" + std::string(3000, 'L') + "\n";  // over-long
  script += std::string("set NUL \"a\0b\"\n", 14);
  script += "\x80\xff set HIGH \"\xe9t\xe9\"\n";
  script += "MsgBoxOK \"Percent %s %d %n %%\" \"Conversions\"\n";
  script += "MsgBoxOK \"no closing quote\n";
  WriteScript(script);
  std::vector<MessageBoxInfo> boxes;
  EXPECT_EQ(RunToEnd("", &boxes), 1);
  EXPECT_EQ(Trace(), "x|");
  ASSERT_EQ(boxes.size(), 3u);
  // The over-long statement is not performed: one box with its start.
  EXPECT_EQ(boxes[0].text, "Unknown keyword: set LONG \"" + std::string(54, 'L') + "...");
  EXPECT_EQ(boxes[1].caption, "Conversions");
  EXPECT_EQ(boxes[1].text, "Percent %s %d %n %");
  EXPECT_EQ(boxes[2].text, "no closing quote");  // the line's end is not in it
}

TEST_F(BadScript, TextsLongerThanTheMessageLimitAreCut) {
  WriteScript("[Setup]\nset ERROR_INI_SYNTAX \"%6000s\"\nFrob\n"
              "SetText \"%-5000s|\"\nMsgBoxOK \"%s\"\n");
  Start();
  MessageBoxInfo box = NextBox();
  EXPECT_EQ(box.text.size(), 4095u);  // padding, cut at the limit
  EXPECT_EQ(box.text.substr(4091), "    ");
  Press(box, IDOK);
  box = NextBox();
  EXPECT_EQ(box.text, "%s");
  EXPECT_EQ(Session().StatusLine(), "%-5000s|");  // no value: shown literally
  Press(box, IDOK);
  EXPECT_EQ(Finish(), 1);  // Frob is an unknown keyword
}

// Closing the main window does not stop the run; the boxes that follow have
// no owner and still appear.
TEST_F(Sections, ClosingTheMainWindowLetsTheRunGoOn) {
  WriteScript("[Setup]\nShowWindow\nMsgBoxOK \"first\"\nMsgBoxOK \"second\"\n" +
              Mark("after"));
  Start();
  MessageBoxInfo first = NextBox();
  robot::WindowInfo main;
  ASSERT_TRUE(Session().FindMainWindow(&main));
  PostMessageA(main.hwnd, WM_CLOSE, 0, 0);
  // The box goes with its owner; the run goes on with the next statement.
  MessageBoxInfo second = NextBox();
  EXPECT_EQ(second.text, "second");
  EXPECT_FALSE(Session().FindMainWindow(&main));
  Press(second, IDOK);
  EXPECT_EQ(Finish(), 0);
  EXPECT_EQ(Trace(), "after");
  EXPECT_EQ(first.text, "first");
}

// The end-of-run steps wait for the run's end: an error after the window
// was closed keeps the failure marker.
TEST_F(Sections, ClosingTheMainWindowKeepsTheMarkerOfALaterError) {
  WriteScript("[Setup]\nShowWindow\nMsgBoxOK \"first\"\nquiterr \"late\" \"Bye\"\n");
  Start();
  MessageBoxInfo first = NextBox();
  robot::WindowInfo main;
  ASSERT_TRUE(Session().FindMainWindow(&main));
  PostMessageA(main.hwnd, WM_CLOSE, 0, 0);
  MessageBoxInfo late = NextBox();
  EXPECT_EQ(late.text, "late");
  Press(late, IDOK);
  EXPECT_EQ(Finish(), 1);
  EXPECT_EQ(StateValue("InstallFailled"), "1");
}

namespace {
int g_settingsChanges = 0;
LRESULT CALLBACK SettingsListener(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_WININICHANGE) ++g_settingsChanges;
  return DefWindowProcA(window, message, w, l);
}
}  // namespace

// At its end setup.exe tells every top-level window that settings changed.
TEST_F(Sections, EndOfRunBroadcastsASettingsChange) {
  WNDCLASSA listenerClass = {};
  listenerClass.lpfnWndProc = SettingsListener;
  listenerClass.hInstance = GetModuleHandleA(nullptr);
  listenerClass.lpszClassName = "VornSettingsListener";
  RegisterClassA(&listenerClass);
  HWND listener = CreateWindowExA(0, "VornSettingsListener", "listener", WS_POPUP,
                                  0, 0, 1, 1, nullptr, nullptr,
                                  listenerClass.hInstance, nullptr);
  ASSERT_NE(listener, nullptr);
  g_settingsChanges = 0;
  WriteScript("[Setup]\n" + Mark("ran"));
  Start();
  while (Session().Running()) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(2);
  }
  EXPECT_EQ(Finish(), 0);
  EXPECT_EQ(g_settingsChanges, 1);
  DestroyWindow(listener);
}

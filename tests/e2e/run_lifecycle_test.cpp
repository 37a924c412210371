// setup.exe end to end: sections, error boxes, silent and mini mode, the
// banner, the missing script, exit codes, the install-state record across
// runs and the uninstall marker.
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

using robot::MessageBoxInfo;

namespace {

const std::string kUninstallScript = "[Setup]\n" + Mark("setup") + "[Uninstall]\n" +
                                     Mark("uninstall") +
                                     "GetSystemVars\nAppendFile DSTDIR \"out.txt\"\n";

// Bad input of every kind in one script: the run goes to its end, shows
// what it should, and the program neither crashes nor hangs.
std::string BadInputScript() {
  std::string script = "[Setup]\n" + std::string(kMessages);
  // The messages and the variables fill the store of 400; the last is one more.
  const int last = 400 - MessageCount();
  for (int i = 0; i <= last; ++i) script += "set V" + std::to_string(i) + " \"x\"\n";
  script += "AppendFile V" + std::to_string(last - 1) + " \"out.txt\"\n";
  script += "AppendFile V" + std::to_string(last) + " \"out.txt\"\n";  // an empty line
  script += "set LONG \"" + std::string(3000, 'L') + "\n";             // over-long
  script += std::string("set NUL \"a\0b\"\n", 14);
  script += "\x80\xff set HIGH \"\xe9t\xe9\"\n";
  script += "MsgBoxOK \"Percent %s %d %n %%\" \"Conversions\"\n";
  return script + "MsgBoxOK \"no closing quote\n";
}

const std::vector<E2eCase> kCases = {
    {"SetupRunsFromItsLabelToTheNextAndTheProgramEnds", {},
     "[Before]\n" + Mark("before") + "[Setup]\n" + Mark("one") + "; a comment\n\n" + Mark("two") +
         "[After]\n" + Mark("after"), "", {"end"}, 0, "one|two"},
    // The run goes on, but it was an error.
    {"UnknownKeywordIsReportedAndTheRunGoesOn", {},
     "[Setup]\n" + std::string(kMessages) + "   Frobnicate \"x\"\n" + Mark("after"), "",
     {"box Setup error: Unknown keyword:    Frobnicate"}, 1, "after"},
    {"MissingSectionIsReportedAndTheCallerGoesOn", {},
     "[Setup]\n" + std::string(kMessages) + "goto \"Nowhere\"\n" + Mark("after"), "",
     {"box Setup error: Missing section", "end"}, 1, "after"},
    {"MissingSetupSectionEndsTheProgram", {}, "[Other]\n" + Mark("never"), "",
     {"box Error: *** invalid message ***", "end"}, 1, "", {"-out.txt"}},
    {"FailedRunKeepsTheMarkerAndExitsWithOne", {},
     "[Setup]\nquiterr \"Giving up\" \"Setup\"\n" + Mark("never"), "",
     {"box Setup: Giving up", "end"}, 1, "", {"state InstallFailled=1", "-out.txt"}},
    // The command-line directory becomes the program directory.
    {"WithRuntimeKeysTheMarkerSelectsUninstall",
     {"HKCR\\vorn_file\\shell\\open\\command|=C:\\vorn\\zekwin.exe \"%1\"", "setup.txt="},
     kUninstallScript, "", {}, 0, "uninstall|$DIR"},
    // The over-long statement is not performed: one box with its start; the
    // line's end is not in the text of a quote left open.
    {"BadScriptRunsToItsEndWithoutCrashing", {}, BadInputScript(), "",
     {"box Setup error: Unknown keyword: set LONG \"" + std::string(54, 'L') + "...",
      "box Conversions: Percent %s %d %n %", "box Error: no closing quote", "end"}, 1, "x|"},
    // Switches for deployment tools: the reboot is left to the caller, who
    // learns from the exit code that one is needed; a Windows-style folder.
    {"NoRestartLeavesTheRebootToTheCaller", {}, "[Setup]\nRebootNeeded\n" + Mark("done"),
     "/NORESTART", {"end"}, 3010, "done"},
    {"WindowsStyleDirectorySwitch", {},
     "[Setup]\nGetSystemVars\nAppendFile DSTDIR \"out.txt\"\nAppendFile CMDLINEDIR \"out.txt\"\n",
     "/DIR=\"C:\\Program Files\\Quill\\\" /SILENT", {}, 0,
     "C:\\Program Files\\Quill|C:\\Program Files\\Quill"},
};

INSTANTIATE_TEST_SUITE_P(Lifecycle, Cases, ::testing::ValuesIn(kCases), CaseName);

}  // namespace

using Sections = SetupRun;

TEST_F(Sections, SilentModeShowsNothingAndTheRunCompletes) {
  WriteScript("[Setup]\n" + std::string(kMessages) + "ShowWindow\nMsgBoxOK \"hello\"\n"
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
  for (bool shown : {false, true, false}) {  // at each box
    MessageBoxInfo box = NextBox();
    robot::WindowInfo main;
    ASSERT_TRUE(Session().FindMainWindow(&main)) << box.text;
    EXPECT_EQ(main.caption, "Setup");
    EXPECT_EQ(main.visible, shown) << box.text;
    Press(box, IDOK);
  }
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

// Without the runtime's file-class keys only the switch selects uninstall
// mode; with them "setup.txt" does too (the rows above).
TEST_F(Sections, WithoutRuntimeKeysOnlyTheSwitchSelectsUninstall) {
  WriteScript(kUninstallScript);
  WriteFile("setup.txt", "");
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "setup");
  EXPECT_EQ(RunToEnd("/uninstall"), 0);
  EXPECT_EQ(Trace().substr(0, 16), "setup|uninstall|");
}

using BadScript = SetupRun;

// Bad input of every kind in one script: the run goes to its end, shows
// what it should, and the program neither crashes nor hangs.
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
class ClosedWindow : public SetupRun {
 protected:
  // Starts a script that shows the main window and the box "first", then
  // goes on with `script`; closes the main window while that box is up.
  void CloseMainWindowAtTheFirstBox(const std::string& script) {
    WriteScript("[Setup]\nShowWindow\nMsgBoxOK \"first\"\n" + script);
    Start();
    EXPECT_EQ(NextBox().text, "first");
    robot::WindowInfo main;
    ASSERT_TRUE(Session().FindMainWindow(&main));
    PostMessageA(main.hwnd, WM_CLOSE, 0, 0);
  }
};

TEST_F(ClosedWindow, ClosingTheMainWindowLetsTheRunGoOn) {
  CloseMainWindowAtTheFirstBox("MsgBoxOK \"second\"\n" + Mark("after"));
  // The box goes with its owner; the run goes on with the next statement.
  MessageBoxInfo second = NextBox();
  EXPECT_EQ(second.text, "second");
  robot::WindowInfo main;
  EXPECT_FALSE(Session().FindMainWindow(&main));
  Press(second, IDOK);
  EXPECT_EQ(Finish(), 0);
  EXPECT_EQ(Trace(), "after");
}

// The end-of-run steps wait for the run's end: an error after the window
// was closed keeps the failure marker.
TEST_F(ClosedWindow, ClosingTheMainWindowKeepsTheMarkerOfALaterError) {
  CloseMainWindowAtTheFirstBox("quiterr \"late\" \"Bye\"\n");
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

// A kept uninstaller, end to end: installed from media that are then gone,
// its uninstall entry run as the registry has it, from inside the folder
// the uninstall removes. The run that was started gets the uninstall's own
// exit code, and once every program has ended the product folder is gone
// and only the temporary copy waits for the next start of Windows.
class KeptUninstaller : public SetupRun {
 protected:
  // Runs `commandLine` exactly as given, in the working directory; its exit
  // code, or 12345 when it did not start or end within a minute.
  int RunCommandLine(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        Dir().c_str(), &startup, &process)) {
      ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
      return 12345;
    }
    DWORD code = 12345;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0) << commandLine;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
  }
};

TEST_F(KeptUninstaller, RunsAsRegisteredOnceTheMediaAreGoneAndRemovesItself) {
  const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn E2E";
  struct Row {
    const char* name;
    const char* registered;    // the variable SetUninstall registers
    std::string uninstallEnd;  // the last lines of [Uninstall]
    int exitCode;
  };
  const Row rows[] = {
      {"clean", "UNINSTALL_CMD", "AppendFile \"uninstalled\" \"" + Dir() + "\\out.txt\"\n", 0},
      {"failing", "UNINSTALL_QUIET", "quiterr \"failed on purpose\" \"Vorn\"\n", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string media = Dir() + "\\media-" + row.name;
    const std::string product = Dir() + "\\Programs " + row.name + "\\Vorn E2E";
    const std::string journal = Dir() + "\\journal-" + std::string(row.name) + ".log";
    ASSERT_TRUE(CreateDirectoryA(media.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((Dir() + "\\setup.exe").c_str(), (media + "\\setup.exe").c_str(), FALSE));
    WriteWholeFile(media + "\\setup.English.txt", "set SETUPNAME \"Vorn E2E\"\r\n");
    WriteWholeFile(media + "\\setup.ini",
                   "[Setup]\nGetSystemVars\nset DSTDIR \"" + product + "\"\n"
                   "KeepUninstaller DSTDIR\nSetUninstall \"Vorn E2E\" " + row.registered +
                   "\n[Uninstall]\nGetSystemVars\nDeltree DSTDIR\nDelUninstall \"Vorn E2E\"\n" +
                   row.uninstallEnd);
    ASSERT_EQ(RunCommandLine("\"" + media + "\\setup.exe\" /SILENT"), 0);
    CheckAfter({"writable " + product + "\\setup.exe", product + "\\setup.ini~[Uninstall]",
                product + "\\setup.English.txt=set SETUPNAME \"Vorn E2E\"\r\n"});
    ASSERT_TRUE(MoveFileA(media.c_str(), (media + "-gone").c_str()));
    std::string registered;
    ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &registered));
    registered = registered.c_str();
    EXPECT_EQ(registered, "\"" + product + "\\setup.exe\" /UNINSTALL /DIR=\"" + product + "\"" +
                              (row.exitCode ? " /SILENT" : ""));

    EXPECT_EQ(RunCommandLine(registered + " /LOG=\"" + journal + "\""), row.exitCode);
    EXPECT_EQ(Trace(), row.exitCode ? "" : "uninstalled");
    // The copy deletes what its starter held once the starter has ended.
    EXPECT_TRUE(robot::PollUntil(60000, [&] {
      return ReadWholeFile(journal).find("deferred: " + product + "\\setup.exe deleted; ") !=
             std::string::npos;
    })) << ReadWholeFile(journal);
    CheckAfter({"-" + product,
                journal + "~deferred: " + product + "\\setup.exe: in use by the starter",
                journal + "~deferred: " + product + ": in use by the starter",
                journal + "~moved uninstall: its exit code " + std::to_string(row.exitCode),
                journal + "~" + product + " deleted; ",
                journal + "~\\setup.exe at the next start of Windows; "});
    // Its own copy waits for the next start of Windows.
    std::string pending;
    ReadRegistryValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                      "PendingFileRenameOperations", &pending);
    size_t copy = pending.find("\\VornUninstall.");
    ASSERT_NE(copy, std::string::npos);
    EXPECT_NE(pending.find("\\setup.exe", copy), std::string::npos);
    if (row.exitCode == 0) DeleteFileA((Dir() + "\\out.txt").c_str());
  }
}

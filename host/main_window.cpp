// Main window procedure: the banner and the run from start to end.
#include "host/main_window.h"

#include <commctrl.h>
#include <objbase.h>

#include "host/install_state.h"
#include "host/setup_process.h"
#include "script/effects.h"
#include "script/journal.h"
#include "script/messages.h"
#include "script/runner.h"
#include "script/script_file.h"

const char kMainWindowClass[] = "Install";

static const COLORREF kBannerBackground = RGB(0, 0, 80);

struct BannerPass {
  int offset;
  COLORREF color;
};
// Drawn in this order: two darker shadows, then the bright text on top.
static const BannerPass kBannerPasses[] = {
    {12, RGB(0, 48, 80)},
    {10, RGB(16, 64, 80)},
    {8, RGB(48, 96, 160)},
};

static HBRUSH g_backgroundBrush;
static HFONT g_bannerFont;
static ScriptFile g_setupScript;  // open until the process ends

static LRESULT OnCreate(HWND window) {
  CoInitialize(nullptr);
  InitCommonControls();
  g_backgroundBrush = CreateSolidBrush(kBannerBackground);
  g_bannerFont = CreateFontA(50, 25, 0, 0, 900, TRUE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "arial");
  PostMessageA(window, kStartRunMessage, 0, 0);
  return 0;
}

static void PaintBanner(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  FillRect(dc, &paint.rcPaint, g_backgroundBrush);
  HGDIOBJ oldFont = SelectObject(dc, g_bannerFont);
  SetBkColor(dc, kBannerBackground);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kBannerPasses[0].color);
  const char* name = VarGet(g_engine->vars, "SETUPNAME");
  if (name) {
    int length = lstrlenA(name);
    for (const BannerPass& pass : kBannerPasses) {
      SetTextColor(dc, pass.color);
      TextOutA(dc, pass.offset, pass.offset, name, length);
    }
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

// The process exit code: 1 when an error of this run set the failure flag.
static int ExitCodeOfRun() { return g_engine->flags.failedThisRun ? 1 : 0; }

enum RunState { kRunNotStarted, kRunRunning, kRunEnded };
static RunState g_runState = kRunNotStarted;

// The end-of-run steps, taken once whichever way the program ends: after a
// run, the settings-change broadcast; COM left; the failure marker removed
// unless the failure flag is set (a program that never armed the record,
// with no script to run, leaves it as it was); the reboot asked for; the
// quit message.
static void FinishRun(int exitCode) {
  static bool finished = false;
  if (finished) return;
  finished = true;
  if (g_runState == kRunEnded) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0,
                        SMTO_ABORTIFHUNG, 50, &ignored);
  }
  CoUninitialize();
  bool armed = g_runState != kRunNotStarted;
  if (armed && g_engine->flags.failure == 0) {
    ClearFailureMarker(*g_engine->effects);
  }
  if (g_engine->flags.reboot) g_host->RequestReboot();
  PostQuitMessage(exitCode);
}

// Why there is no script to run, for the journal.
static void JournalNoScript(Engine& engine) {
  if (!engine.journal) return;
  if (!g_programDirectoryEntered) {
    Journal(engine, "error", {"the program's own directory cannot be made the "
                              "working directory; no setup.ini is read"});
    return;
  }
  char directory[kPathMax] = "";
  engine.effects->GetCurrentDirectory(directory);
  Journal(engine, "error", {"setup.ini cannot be opened in ", directory});
}

static LRESULT OnStartRun(HWND window) {
  Engine& engine = *g_engine;
  if (!g_programDirectoryEntered || !g_setupScript.Open("setup.ini")) {
    JournalNoScript(engine);
    ShowMsgBox(engine, kBoxOk, "ERROR", "No setup.ini file...");
    FinishRun(-1);
    return -1;
  }
  engine.script = &g_setupScript;
  engine.flags.failure = ArmInstallState(*engine.effects);
  g_runState = kRunRunning;
  RunSection(engine, window, engine.modes.uninstall ? "Uninstall" : "Setup");
  g_runState = kRunEnded;
  FinishRun(ExitCodeOfRun());
  return 0;
}

// Closing the main window does not stop a running script: its message
// boxes then have no owner, and the run's end takes the end-of-run steps.
static LRESULT OnDestroy() {
  g_host->SetMainWindow(nullptr);
  if (g_runState != kRunRunning) FinishRun(ExitCodeOfRun());
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_PAINT:
      PaintBanner(window);
      break;
    case kStartRunMessage:
      return OnStartRun(window);
    case WM_DESTROY:
      return OnDestroy();
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

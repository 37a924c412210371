// Main window procedure: the banner and the run from start to end.
#include "host/main_window.h"

#include <commctrl.h>
#include <objbase.h>

#include "host/setup_process.h"
#include "script/effects.h"
#include "script/journal.h"
#include "script/messages.h"
#include "script/setup_run.h"
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

enum RunState { kRunNotStarted, kRunRunning, kRunEnded };
static RunState g_runState = kRunNotStarted;

// The end of the program, taken once whichever way it ends: after a run
// (which has taken its own end-of-run steps), the settings-change
// broadcast; COM left; the quit message.
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
  char directory[kPathMax];
  directory[0] = 0;  // a failed call need not write it
  engine.effects->GetCurrentDirectory(directory);
  Journal(engine, "error", {"setup.ini cannot be opened in ", directory});
}

static LRESULT OnStartRun(HWND window) {
  Engine& engine = *g_engine;
  SetupStart start = g_programDirectoryEntered ? StartSetupRun(engine, g_setupScript)
                                                : kSetupNoScript;
  if (start != kSetupStarted) {
    if (start == kSetupNoScript) {
      JournalNoScript(engine);
      ShowMsgBox(engine, kBoxOk, "ERROR", "No setup.ini file...");
    }
    FinishRun(kExitNoScript);
    return -1;
  }
  g_runState = kRunRunning;
  int exitCode = RunSetupScript(engine, window);
  g_runState = kRunEnded;
  FinishRun(exitCode);
  return 0;
}

// Closing the main window does not stop a running script: its message
// boxes then have no owner, and the run's end takes the end-of-run steps.
static LRESULT OnDestroy() {
  g_host->SetMainWindow(nullptr);
  if (g_runState != kRunRunning) FinishRun(ExitCodeOfRun(*g_engine));
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

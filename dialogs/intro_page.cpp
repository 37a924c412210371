// The intro and destination page (STARTINSTALLNB): the intro text, the
// destination directory and the button that opens the chooser.
#include "dialogs/dialog_texts.h"
#include "dialogs/resource.h"
#include "dialogs/setup_dialogs.h"
#include "script/engine.h"
#include "script/var_store.h"

static void FillIntroPage(HWND page, Engine& engine) {
  SetMessageOrEmpty(engine, page, IDC_DESTINATION_GROUP, "STATICINSTALLDIR");
  SetMessageOrEmpty(engine, page, IDC_CHANGE_DESTINATION, "INTROCHDIR_BTN");
  SetMessageOrEmpty(engine, page, IDOK, "INTROOK_BTN");
  SetMessageOrEmpty(engine, page, IDCANCEL, "INTROCANCEL_BTN");
  SetMessageOrEmpty(engine, page, IDC_INTRO_TEXT, "INTRO");
  SetDlgItemTextA(page, IDC_DESTINATION,
                  TextOrEmpty(VarGet(engine.vars, "DSTDIR")));
  SetCaptionFromMessage(engine, page, "APP_TITTLE");
}

// DSTDIR changes only when the chooser confirms a folder, which becomes the
// destination itself.
static void ChangeDestination(HWND page, Engine& engine) {
  char chosen[kPathMax];
  if (!ChooseDirectory(engine, page, chosen)) return;
  if (VarSet(engine.vars, "DSTDIR", chosen) < 0) return;  // the store is full
  SetDlgItemTextA(page, IDC_DESTINATION, chosen);
}

static INT_PTR CALLBACK IntroPageProc(HWND page, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
  auto* engine = static_cast<Engine*>(DialogState(page, message, lParam));
  switch (message) {
    case WM_INITDIALOG:
      FillIntroPage(page, *engine);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          EndDialog(page, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(page, 0);
          return TRUE;
        case IDC_CHANGE_DESTINATION:
          ChangeDestination(page, *engine);
          return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int RunIntroPage(Engine& engine, HWND parent) {
  return static_cast<int>(RunDialog(IDD_STARTINSTALLNB, parent, IntroPageProc, &engine));
}

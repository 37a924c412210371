// The setup-type dialog (SETUPTYPE): one row per SETUPTYPE<n> message of
// the language file, each row keeping its own number.
#include "dialogs/dialog_rules.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/resource.h"
#include "dialogs/setup_dialogs.h"
#include "script/engine.h"
#include "script/messages.h"
#include "script/var_store.h"

static void FillRows(HWND dialog, Engine& engine) {
  HWND list = GetDlgItem(dialog, IDC_SETUP_TYPES);
  SetupTypeRow rows[kSetupTypeRowsMax];
  int count = CollectSetupTypeRows(engine.vars, rows);
  for (int i = 0; i < count; ++i) {
    LRESULT at = SendMessageA(list, LB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(rows[i].text));
    if (at >= 0) SendMessageA(list, LB_SETITEMDATA, at, rows[i].number);
  }
  SendMessageA(list, LB_SETCURSEL, 0, 0);
}

// SETUPTYPE takes the chosen row's message; with no row chosen nothing
// happens.
static void ChooseRow(HWND dialog, Engine& engine) {
  HWND list = GetDlgItem(dialog, IDC_SETUP_TYPES);
  LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return;
  char name[] = "SETUPTYPE0";
  name[sizeof name - 2] =
      static_cast<char>('0' + SendMessageA(list, LB_GETITEMDATA, row, 0));
  const char* text = Message(engine, name);
  if (!text || VarSet(engine.vars, "SETUPTYPE", text) < 0) return;
  EndDialog(dialog, 1);
}

static INT_PTR CALLBACK SetupTypeProc(HWND dialog, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
  auto* engine = static_cast<Engine*>(DialogState(dialog, message, lParam));
  switch (message) {
    case WM_INITDIALOG:
      FillRows(dialog, *engine);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK ||
          (LOWORD(wParam) == IDC_SETUP_TYPES && HIWORD(wParam) == LBN_DBLCLK)) {
        ChooseRow(dialog, *engine);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return LOWORD(wParam) == IDC_SETUP_TYPES;  // other list notifications
    default:
      return FALSE;
  }
}

int RunSetupTypeDialog(Engine& engine, HWND parent) {
  return static_cast<int>(RunDialog(IDD_SETUPTYPE, parent, SetupTypeProc, &engine));
}

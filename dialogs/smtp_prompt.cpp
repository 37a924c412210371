// The mail server prompt (SMTP): offers "mail" and ends only with a name of
// 1 to 254 characters; Escape does nothing.
#include "dialogs/dialog_rules.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/resource.h"
#include "dialogs/setup_dialogs.h"
#include "script/engine.h"
#include "script/var_store.h"

const int kServerNameMax = 254;

static void TakeServerName(HWND prompt, Engine& engine) {
  char name[kServerNameMax + 1];
  GetDlgItemTextA(prompt, IDC_SMTP_SERVER, name, sizeof name);
  if (!name[0] || VarSet(engine.vars, "STMPServer", name) < 0) return;
  EndDialog(prompt, 1);
}

static INT_PTR CALLBACK SmtpPromptProc(HWND prompt, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  auto* engine = static_cast<Engine*>(DialogState(prompt, message, lParam));
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(prompt, IDC_SMTP_SERVER, EM_LIMITTEXT, kServerNameMax, 0);
      SetDlgItemTextA(prompt, IDC_SMTP_SERVER, kOfferedSmtpServer);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) TakeServerName(prompt, *engine);
      return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
    default:
      return FALSE;
  }
}

int RunSmtpPrompt(Engine& engine, HWND parent) {
  return static_cast<int>(RunDialog(IDD_SMTP, parent, SmtpPromptProc, &engine));
}

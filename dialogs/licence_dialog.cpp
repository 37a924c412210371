// The text file dialog (LICENCE): the file's text as stored, with Agree and
// Disagree. A file that cannot be read shows an empty text and the
// template's own caption and buttons.
#include "dialogs/dialog_rules.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/resource.h"
#include "dialogs/setup_dialogs.h"
#include "script/engine.h"

namespace {

struct LicenceDialog {
  Engine* engine;
  const char* path;
};

}  // namespace

static void ShowLicence(HWND dialog, const LicenceDialog& state) {
  ByteBuffer text;
  if (!ReadLicenceText(*state.engine->effects, state.path, &text)) return;
  HWND edit = GetDlgItem(dialog, IDC_LICENCE_TEXT);
  SendMessageA(edit, EM_LIMITTEXT, text.size(), 0);
  SetWindowTextA(edit, text.data());
  SetFormattedMessage(*state.engine, dialog, IDOK, "LICENCEOK_BTN");
  SetFormattedMessage(*state.engine, dialog, IDCANCEL, "LICENCECANCEL_BTN");
  SetCaptionFromMessage(*state.engine, dialog, "LICENCE_TTL");
}

static INT_PTR CALLBACK LicenceDialogProc(HWND dialog, UINT message,
                                          WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ShowLicence(dialog, *reinterpret_cast<LicenceDialog*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int ShowTextFile(Engine& engine, HWND parent, const char* path) {
  LicenceDialog state = {&engine, path};
  return static_cast<int>(RunDialog(IDD_LICENCE, parent, LicenceDialogProc, &state));
}

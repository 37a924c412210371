// The chooser's new-folder prompt (NEWDIR): one edit for the name, which
// offers the "new directory" button's text. OK takes a valid name only;
// Escape cancels and nothing is created.
#include <cstring>

#include "dialogs/dialog_rules.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/resource.h"
#include "dialogs/setup_dialogs.h"

namespace {

struct NewFolderPrompt {
  Engine* engine;
  size_t limit;
  char (*name)[kPathMax];
};

}  // namespace

static void OpenPrompt(HWND prompt, const NewFolderPrompt& state) {
  HWND edit = GetDlgItem(prompt, IDC_NEW_FOLDER_NAME);
  SendMessageA(edit, EM_LIMITTEXT, state.limit, 0);
  SetFormattedMessage(*state.engine, prompt, IDC_NEW_FOLDER_NAME, "NEWDIR_BTN");
  PostMessageA(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
}

static void TakeName(HWND prompt, const NewFolderPrompt& state) {
  char typed[kPathMax];
  GetDlgItemTextA(prompt, IDC_NEW_FOLDER_NAME, typed, sizeof typed);
  if (!IsValidDirName(typed) || strlen(typed) > state.limit) return;
  CopyText(*state.name, typed);
  EndDialog(prompt, 1);
}

static INT_PTR CALLBACK NewFolderPromptProc(HWND prompt, UINT message,
                                            WPARAM wParam, LPARAM lParam) {
  auto* state = static_cast<NewFolderPrompt*>(DialogState(prompt, message, lParam));
  switch (message) {
    case WM_INITDIALOG:
      OpenPrompt(prompt, *state);
      return FALSE;  // the focus is set
    case WM_SETFOCUS:
      SetFocus(GetDlgItem(prompt, IDC_NEW_FOLDER_NAME));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        TakeName(prompt, *state);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(prompt, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int RunNewFolderPrompt(Engine& engine, HWND parent, size_t limit,
                       char (&name)[kPathMax]) {
  NewFolderPrompt state = {&engine, limit, &name};
  return static_cast<int>(RunDialog(IDD_NEWDIR, parent, NewFolderPromptProc, &state));
}

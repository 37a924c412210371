// The progress dialog's procedure, shared with the wait dialog.
#include "dialogs/progress_dialog.h"

#include "dialogs/resource.h"

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM,
                                    LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, IDC_STATUS_LINE, "Please Wait...");
      return TRUE;
    default:
      return FALSE;
  }
}

// Dialog procedure of the progress dialog and the wait dialog.
#pragma once

#include <windows.h>

// Sets the status line to "Please Wait..." on creation; handles nothing else.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                    LPARAM lParam);

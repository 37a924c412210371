// The main window, class "Install": it starts the script run once the
// message loop runs, paints the setup name as a shadowed banner, and carries
// out the end-of-run steps.
#pragma once

#include <windows.h>

extern const char kMainWindowClass[];

// Message the main window posts itself to start the run.
const UINT kStartRunMessage = WM_USER;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);

// Resource identifiers of the program: dialog controls, icon and bitmaps.
// Dialog templates are named by text ("PROGRESSWAITER", "WAITER").
#pragma once

#define IDI_APP 121

// Progress dialog and wait dialog.
#define IDC_STATUS_LINE 1001
#define IDC_PROGRESS_BAR 1003

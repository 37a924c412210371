// Resource identifiers of the program: dialog controls, icon and bitmaps.
// Dialog templates are named by text ("PROGRESSWAITER", "WAITER").
#pragma once

#define IDI_APP 121

// Progress dialog and wait dialog.
#define IDC_STATUS_LINE 1001
#define IDC_PROGRESS_BAR 1003

// Pictures of the directory chooser's tree.
#define IDB_FOLDER_OPEN 106
#define IDB_FOLDER_CLOSED 107
#define IDB_DRIVE 108

// Intro page (STARTINSTALLNB).
#define IDC_INTRO_TEXT 0
#define IDC_DESTINATION 1014
#define IDC_CHANGE_DESTINATION 1015
#define IDC_DESTINATION_GROUP 1047

// Directory chooser (GETDIRDEST) and its new-folder prompt (NEWDIR).
#define IDC_NEW_FOLDER 1008
#define IDC_CHOSEN_PATH 1009
#define IDC_FOLDER_TREE 1012
#define IDC_NEW_FOLDER_NAME 1013

// Licence (LICENCE), setup type (SETUPTYPE), SMTP server (SMTP).
#define IDC_LICENCE_TEXT 1016
#define IDC_SETUP_TYPES 1019
#define IDC_SMTP_SERVER 1035

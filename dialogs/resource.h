// Resource identifiers of the program: dialog templates and controls, icon
// and bitmaps. Templates have numbers, not names: a name would be kept twice,
// in the resources and in the code.
#pragma once

// Dialog templates.
#define IDD_PROGRESSWAITER 201
#define IDD_WAITER 202
#define IDD_STARTINSTALLNB 203
#define IDD_GETDIRDEST 204
#define IDD_NEWDIR 205
#define IDD_LICENCE 206
#define IDD_SETUPTYPE 207
#define IDD_SMTP 208

#define IDI_APP 121

// Progress dialog and wait dialog.
#define IDC_STATUS_LINE 1001
#define IDC_PROGRESS_BAR 1003

// Pictures of the directory chooser's tree, one strip of 16 x 16 images.
#define IDB_TREE_IMAGES 106

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

// The commands that show the setup dialogs.
#pragma once

struct Engine;

// IShowInstallDlg, ShowFile, SetupType and GetSMTPServer.
void BindDialogCommands(Engine& engine);

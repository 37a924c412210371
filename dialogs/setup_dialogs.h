// The setup dialogs a script shows: each runs modally with `parent` as its
// parent and returns its result, or -1 when it could not be created.
#pragma once

#include <windows.h>

#include "script/text.h"

struct Engine;

// The intro and destination page: 1 Continue, 0 Abort. The destination
// chooser it opens changes DSTDIR only when a folder is confirmed.
int RunIntroPage(Engine& engine, HWND parent);

// The directory chooser: true, with the confirmed folder's full path in
// `chosen`, when the user confirms a folder; false otherwise.
bool ChooseDirectory(Engine& engine, HWND parent, char (&chosen)[kPathMax]);

// The new-folder prompt of the chooser: 1 with a valid name of at most
// `limit` characters in `name`, 0 when cancelled.
int RunNewFolderPrompt(Engine& engine, HWND parent, size_t limit,
                       char (&name)[kPathMax]);

// The text file `path` (null: none) with Agree (1) and Disagree (0).
int ShowTextFile(Engine& engine, HWND parent, const char* path);

// The setup types of the language file: 1 Continue (SETUPTYPE set), 0 Abort.
int RunSetupTypeDialog(Engine& engine, HWND parent);

// The mail server's name: 1 once a name is given (STMPServer set).
int RunSmtpPrompt(Engine& engine, HWND parent);

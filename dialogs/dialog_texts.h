// How the setup dialogs run and set their texts: messages of the language
// file, as formats or as they stand, and user data (paths, names) always
// literally, so that a '%' in a folder name shows as it is.
#pragma once

#include <windows.h>

struct Engine;

// The message `key` as a printf-style format with no values, its "\n" pairs
// as line breaks; an undefined message leaves the control's text as it is.
void SetFormattedMessage(Engine& engine, HWND dialog, int controlId,
                         const char* key);
// The message `key` as it stands, its "\n" pairs as line breaks; an
// undefined message empties the control (0: the dialog's caption).
void SetMessageOrEmpty(Engine& engine, HWND dialog, int controlId,
                       const char* key);
// The caption from message `key`; empty when it is undefined.
void SetCaptionFromMessage(Engine& engine, HWND dialog, const char* key);

// Runs dialog template `templateId` (resource.h) modally; `state` is the
// WM_INITDIALOG parameter. Its result, or -1 when it could not be created.
INT_PTR RunDialog(int templateId, HWND parent, DLGPROC proc, void* state);
// The state a dialog was run with, for its procedure: kept with the dialog
// on WM_INITDIALOG (from `lParam`), null before it.
void* DialogState(HWND dialog, UINT message, LPARAM lParam);

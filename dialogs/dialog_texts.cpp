// Texts of the setup dialogs' controls, and the start of a modal dialog.
#include "dialogs/dialog_texts.h"

#include "script/messages.h"
#include "script/text.h"

void SetFormattedMessage(Engine& engine, HWND dialog, int controlId,
                         const char* key) {
  char* text = Message(engine, key);
  if (!text) return;
  ExpandNewlines(text);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, text, {});
  SetDlgItemTextA(dialog, controlId, formatted);
}

// A copy of message `key` with its line breaks, "" when it is undefined.
static void MessageWithBreaks(Engine& engine, const char* key,
                              char (&text)[kMsgMax]) {
  CopyText(text, TextOrEmpty(Message(engine, key)));
  ExpandNewlines(text);
}

void SetMessageOrEmpty(Engine& engine, HWND dialog, int controlId,
                       const char* key) {
  char text[kMsgMax];
  MessageWithBreaks(engine, key, text);
  SetDlgItemTextA(dialog, controlId, text);
}

INT_PTR RunDialog(int templateId, HWND parent, DLGPROC proc, void* state) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                         parent, proc, reinterpret_cast<LPARAM>(state));
}

void* DialogState(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  return reinterpret_cast<void*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void SetCaptionFromMessage(Engine& engine, HWND dialog, const char* key) {
  char text[kMsgMax];
  MessageWithBreaks(engine, key, text);
  SetWindowTextA(dialog, text);
}

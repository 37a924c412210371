// Messages: the line-break convention of message texts, safe printf-style
// formatting with string values, the system's error texts made readable,
// and the three display helpers every part of the program uses (message
// box, error box, dialog-control text).
#pragma once

#include <cstddef>
#include <initializer_list>

#include "script/host.h"

struct Engine;

typedef std::initializer_list<const char*> MessageArgs;

// Turns every backslash-n pair into CR LF, in place (the length is kept).
void ExpandNewlines(char* text);

// Formats `format` with string `args` into `out` (`capacity` bytes, always
// terminated, truncated to fit). `%s` (with '-', width and precision) takes
// the next value and `%%` gives one percent sign; a conversion that has no
// value left, or is not such a string conversion, is copied literally.
void FormatMessageText(char* out, size_t capacity, const char* format,
                       MessageArgs args);

// A system error text (FormatMessage's, read without its inserts) as the
// journal shows it: each insert ("%1", "%2!s!") reads "the file" ("The
// file" at the start), and the trailing blanks and line ends go. `out`
// holds `capacity` bytes and is always terminated.
void ReadableSystemText(char* out, size_t capacity, const char* text);

// What ShowMsgBox returns when silent mode keeps the box from appearing.
const int kBoxHidden = -1;

// Message box owned by the main window; a null text shows
// "*** invalid message ***". The caller's text is not changed. In silent
// mode nothing appears and the result is kBoxHidden; otherwise the button
// pressed, or 0 when the box could not be shown.
int ShowMsgBox(Engine& engine, int type, const char* caption,
               const char* text, MessageArgs args = {});

// OK box captioned with the message ERROR_TTL; nothing in silent mode or for
// a null text. Expands line breaks of `text` in place.
void ShowErrorBox(Engine& engine, char* text, MessageArgs args = {});
// The box ABORT_MSG, captioned SETUPNAME, shown in silent mode too: the
// user chose to stop.
void ShowAbortBox(Engine& engine);

// Sets a dialog control's text (nothing for a null text), repaints the dialog
// unless silent, and lets at most one pending message through. Expands line
// breaks of `text` in place.
void SetItemTextFmt(Engine& engine, WindowRef dialog, int controlId,
                    char* text, MessageArgs args = {});

// The same for a status that a brief step follows (one small file of a
// tree copy): the dialog may wait up to a frame for its paint.
void SetItemTextFmtBriefly(Engine& engine, WindowRef dialog, int controlId,
                           char* text, MessageArgs args = {});

// The value of message `key`, or null when the language file lacks it.
char* Message(Engine& engine, const char* key);

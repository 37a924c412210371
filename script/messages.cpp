// Message texts and the display helpers.
#include "script/messages.h"

#include <cstdio>
#include <cstring>

#include "script/engine.h"
#include "script/text.h"

void ExpandNewlines(char* text) {
  for (; *text; ++text) {
    if (text[0] == '\\' && text[1] == 'n') {
      text[0] = '\r';
      text[1] = '\n';
      ++text;
    }
  }
}

// Length of a string conversion "%[-][width][.precision]s" starting at `p`
// (which points at the '%'), or 0 for anything else.
static size_t StringConversionLength(const char* p) {
  size_t n = 1;
  if (p[n] == '-') ++n;
  while (p[n] >= '0' && p[n] <= '9') ++n;
  if (p[n] == '.') {
    ++n;
    while (p[n] >= '0' && p[n] <= '9') ++n;
  }
  return p[n] == 's' ? n + 1 : 0;
}

// Appends `length` bytes of `text` to the output, as far as they fit.
static void Put(char* out, size_t capacity, size_t* used, const char* text,
                size_t length) {
  while (length-- && *used + 1 < capacity) out[(*used)++] = *text++;
}

void FormatMessageText(char* out, size_t capacity, const char* format,
                       MessageArgs args) {
  if (capacity == 0) return;
  const char* const* next = args.begin();
  size_t used = 0;
  const char* p = format;
  while (*p && used + 1 < capacity) {
    if (*p != '%') {
      Put(out, capacity, &used, p++, 1);
      continue;
    }
    if (p[1] == '%') {
      Put(out, capacity, &used, "%", 1);
      p += 2;
      continue;
    }
    size_t length = StringConversionLength(p);
    if (length == 0 || length > 32 || next == args.end()) {
      Put(out, capacity, &used, p++, 1);  // the rest follows as plain text
      continue;
    }
    char conversion[40];
    CopyText(conversion, sizeof conversion, p);
    conversion[length] = 0;
    const char* value = *next ? *next : "(null)";
    ++next;
    int written = snprintf(out + used, capacity - used, conversion, value);
    if (written > 0) {
      used += static_cast<size_t>(written);
      if (used >= capacity) used = capacity - 1;
    }
    p += length;
  }
  out[used] = 0;
}

static const char kInvalidMessage[] = "*** invalid message ***";

int ShowMsgBox(Engine& engine, int type, const char* caption,
               const char* text, MessageArgs args) {
  if (!text) text = kInvalidMessage;
  char work[kMsgMax];
  CopyText(work, text);
  ExpandNewlines(work);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, work, args);
  return engine.host->ShowMessageBox(formatted, caption, type);
}

void ShowErrorBox(Engine& engine, char* text, MessageArgs args) {
  if (engine.modes.silent || !text) return;
  ExpandNewlines(text);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, text, args);
  engine.host->ShowMessageBox(formatted, Message(engine, "ERROR_TTL"),
                              kBoxOk);
}

void SetItemTextFmt(Engine& engine, WindowRef dialog, int controlId,
                    char* text, MessageArgs args) {
  if (!text) return;
  ExpandNewlines(text);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, text, args);
  engine.host->SetControlText(dialog, controlId, formatted);
  if (!engine.modes.silent) engine.host->RepaintNow(dialog);
  engine.host->PumpMessages(1);
}

char* Message(Engine& engine, const char* key) {
  return VarGet(engine.vars, key);
}

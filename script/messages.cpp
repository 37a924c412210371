// Message texts and the display helpers.
#include "script/messages.h"

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

// A string conversion "%[-][width][.precision]s".
struct StringConversion {
  size_t length;     // bytes of the conversion; 0: not a string conversion
  bool leftAlign;
  size_t width;      // saturates at kCountMax: wider output is cut anyway
  size_t precision;  // kNoPrecision when absent
};
static const size_t kNoPrecision = static_cast<size_t>(-1);
static const size_t kCountMax = 100000000;  // beyond any output buffer

// Reads decimal digits at `p[*n]`, saturating at kCountMax.
static size_t ReadCount(const char* p, size_t* n) {
  size_t value = 0;
  while (p[*n] >= '0' && p[*n] <= '9') {
    value = value * 10 + static_cast<size_t>(p[*n] - '0');
    if (value > kCountMax) value = kCountMax;
    ++*n;
  }
  return value;
}

// Parses the conversion whose '%' is at `p`.
static StringConversion ReadStringConversion(const char* p) {
  StringConversion c = {0, false, 0, kNoPrecision};
  size_t n = 1;
  if (p[n] == '-') {
    c.leftAlign = true;
    ++n;
  }
  c.width = ReadCount(p, &n);
  if (p[n] == '.') {
    ++n;
    c.precision = ReadCount(p, &n);
  }
  if (p[n] == 's') c.length = n + 1;
  return c;
}

// Appends `length` bytes of `text` to the output, as far as they fit.
static void Put(char* out, size_t capacity, size_t* used, const char* text,
                size_t length) {
  while (length-- && *used + 1 < capacity) out[(*used)++] = *text++;
}

static void PutPadding(char* out, size_t capacity, size_t* used,
                       size_t count) {
  while (count-- && *used + 1 < capacity) out[(*used)++] = ' ';
}

// Writes `value` as the conversion asks: at most `precision` bytes of it,
// padded with blanks to `width`.
static void PutConverted(char* out, size_t capacity, size_t* used,
                         const StringConversion& c, const char* value) {
  size_t length = BoundedLength(value, c.precision);
  size_t padding = c.width > length ? c.width - length : 0;
  if (!c.leftAlign) PutPadding(out, capacity, used, padding);
  Put(out, capacity, used, value, length);
  if (c.leftAlign) PutPadding(out, capacity, used, padding);
}

// Conversions longer than this are not taken as conversions.
static const size_t kMaxConversionLength = 32;

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
    StringConversion c = ReadStringConversion(p);
    if (c.length == 0 || c.length > kMaxConversionLength ||
        next == args.end()) {
      Put(out, capacity, &used, p++, 1);  // the rest follows as plain text
      continue;
    }
    PutConverted(out, capacity, &used, c, *next ? *next : "(null)");
    ++next;
    p += c.length;
  }
  out[used] = 0;
}

// Bytes of the insert at `p` ("%" and a digit 1-9, more digits, and an
// optional "!format!"); 0 when there is none.
static size_t SystemInsertLength(const char* p) {
  if (p[0] != '%' || p[1] < '1' || p[1] > '9') return 0;
  size_t n = 2;
  while (p[n] >= '0' && p[n] <= '9') ++n;
  if (p[n] == '!') {
    const char* end = strchr(p + n + 1, '!');
    if (end) n = static_cast<size_t>(end - p) + 1;
  }
  return n;
}

void ReadableSystemText(char* out, size_t capacity, const char* text) {
  if (capacity == 0) return;
  size_t used = 0;
  for (const char* p = text; *p;) {
    size_t insert = SystemInsertLength(p);
    if (insert == 0) {
      Put(out, capacity, &used, p++, 1);
      continue;
    }
    Put(out, capacity, &used, used ? "the file" : "The file", 8);
    p += insert;
  }
  while (used > 0 && IsBlank(out[used - 1])) --used;
  out[used] = 0;
}

static const char kInvalidMessage[] = "*** invalid message ***";

int ShowMsgBox(Engine& engine, int type, const char* caption,
               const char* text, MessageArgs args) {
  if (engine.modes.silent) return kBoxHidden;
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

void ShowAbortBox(Engine& engine) {
  char text[kMsgMax];
  CopyText(text, TextOrEmpty(Message(engine, "ABORT_MSG")));
  ExpandNewlines(text);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, text, {});
  engine.host->ShowMessageBox(formatted, VarGet(engine.vars, "SETUPNAME"), kBoxOk);
}

static void SetItemText(Engine& engine, WindowRef dialog, int controlId,
                        char* text, MessageArgs args, bool brief) {
  if (!text) return;
  ExpandNewlines(text);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, text, args);
  if (engine.modes.silent) {
    engine.host->SetControlText(dialog, controlId, formatted);
  } else if (brief) {
    engine.host->SetControlTextSoon(dialog, controlId, formatted);
  } else {
    engine.host->SetControlText(dialog, controlId, formatted);
    engine.host->RepaintNow(dialog);
  }
  engine.host->PumpMessages(1);
}

void SetItemTextFmt(Engine& engine, WindowRef dialog, int controlId,
                    char* text, MessageArgs args) {
  SetItemText(engine, dialog, controlId, text, args, false);
}

void SetItemTextFmtBriefly(Engine& engine, WindowRef dialog, int controlId,
                           char* text, MessageArgs args) {
  SetItemText(engine, dialog, controlId, text, args, true);
}

char* Message(Engine& engine, const char* key) {
  return VarGet(engine.vars, key);
}

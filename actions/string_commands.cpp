// String commands: comparisons, Strcat, MkStr and CopyWord. A bare word
// that names no variable counts as the empty text. Nothing here shows a
// message; out of memory skips the step.
#include <cstring>

#include "actions/action_groups.h"
#include "script/engine.h"
#include "script/memory.h"
#include "script/split_words.h"
#include "script/text.h"

static void CmdStrcmp(Engine& engine, const Statement& st) {
  bool equal = strcmp(TextOrEmpty(st.value1), TextOrEmpty(st.value2)) == 0;
  engine.flags.condition = equal ? 1 : 0;
}

static void CmdStricmp(Engine& engine, const Statement& st) {
  bool equal = EqualsNoCase(TextOrEmpty(st.value1), TextOrEmpty(st.value2));
  engine.flags.condition = equal ? 1 : 0;
}

// Byte order, bytes taken as unsigned (strcmp's order); a prefix sorts
// first.
static int CompareBytes(const Statement& st) {
  return strcmp(TextOrEmpty(st.value1), TextOrEmpty(st.value2));
}

static void CmdIsGreater(Engine& engine, const Statement& st) {
  engine.flags.condition = CompareBytes(st) > 0 ? 1 : 0;
}

static void CmdIsLower(Engine& engine, const Statement& st) {
  engine.flags.condition = CompareBytes(st) < 0 ? 1 : 0;
}

// Stores `first` and `second` joined under `name`.
static void SetJoined(Engine& engine, const char* name, const char* first,
                      const char* second, const char* third = "") {
  size_t a = strlen(first), b = strlen(second), c = strlen(third);
  char* joined = static_cast<char*>(MemAlloc(a + b + c + 1));
  if (!joined) return;
  memcpy(joined, first, a);
  memcpy(joined + a, second, b);
  memcpy(joined + a + b, third, c + 1);
  VarSet(engine.vars, name, joined);
  MemFree(joined);
}

// Strcat NAME TEXT: the variable named by slot 1 as written gets value 1
// followed by value 2.
static void CmdStrcat(Engine& engine, const Statement& st) {
  SetJoined(engine, st.text1, TextOrEmpty(st.value1), TextOrEmpty(st.value2));
}

// MkStr TEXT: QTSTR gets the text between double quotes, unescaped.
static void CmdMkStr(Engine& engine, const Statement& st) {
  VarSet(engine.vars, "QTSTR", "");
  SetJoined(engine, "QTSTR", "\"", TextOrEmpty(st.value1), "\"");
}

// CopyWord TEXT: WORD gets the whole text encoded as one word.
static void CmdCopyWord(Engine& engine, const Statement& st) {
  const char* text = TextOrEmpty(st.value1);
  size_t length = strlen(text);
  char* word = static_cast<char*>(MemAlloc(EscapedSize(length)));
  if (!word) return;
  EscapeWord(text, length, word);
  VarSet(engine.vars, "WORD", word);
  MemFree(word);
}

void BindStringCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdStrcmp, CmdStrcmp},     {kCmdStricmp, CmdStricmp},
      {kCmdIsGreater, CmdIsGreater}, {kCmdIsLower, CmdIsLower},
      {kCmdStrcat, CmdStrcat},     {kCmdMkStr, CmdMkStr},
      {kCmdCopyWord, CmdCopyWord},
  };
  BindCommands(engine, kBindings);
}

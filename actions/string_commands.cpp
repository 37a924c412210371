// String and text-file commands that need no operating-system service beyond
// the C library: Strcmp, Stricmp and AppendFile. A bare word that names no
// variable counts as the empty text.
#include <cstdio>
#include <cstring>

#include "actions/action_groups.h"
#include "script/engine.h"
#include "script/text.h"

static const char* TextOrEmpty(const char* value) { return value ? value : ""; }

static void CmdStrcmp(Engine& engine, const Statement& st) {
  bool equal = strcmp(TextOrEmpty(st.value1), TextOrEmpty(st.value2)) == 0;
  engine.flags.condition = equal ? 1 : 0;
}

static void CmdStricmp(Engine& engine, const Statement& st) {
  bool equal = EqualsNoCase(TextOrEmpty(st.value1), TextOrEmpty(st.value2));
  engine.flags.condition = equal ? 1 : 0;
}

// Writes `text` as a text-mode stream would: every line feed as CR LF.
// Done by hand so that every build writes the same bytes.
static void PutTextModeLine(const char* text, FILE* file) {
  for (; *text; ++text) {
    if (*text == '\n') putc('\r', file);
    putc(*text, file);
  }
  fputs("\r\n", file);
}

// Appends value 1 and a line end to file value 2, creating it when missing.
static void CmdAppendFile(Engine& engine, const Statement& st) {
  FILE* file = st.value2 ? fopen(st.value2, "ab") : nullptr;
  if (!file) {
    engine.flags.condition = 0;
    return;
  }
  PutTextModeLine(TextOrEmpty(st.value1), file);
  fclose(file);
  engine.flags.condition = 1;
}

void BindStringCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdStrcmp, CmdStrcmp},
      {kCmdStricmp, CmdStricmp},
      {kCmdAppendFile, CmdAppendFile},
  };
  BindCommands(engine, kBindings);
}

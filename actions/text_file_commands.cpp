// Text-file commands: GetVersion, FindInFile, ParseFile and AppendFile.
// Files are read as text (CR LF as LF), lines of up to 1,023 bytes, longer
// ones in pieces. A file that cannot be opened is no error: each command
// says what it leaves. AppendFile's writes go to the journal.
#include <cstdio>
#include <cstring>

#include "actions/action_groups.h"
#include "script/engine.h"
#include "script/journal.h"
#include "script/memory.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "script/text.h"
#include "script/version_text.h"

// GetVersion FILE KEY: MAJMIN gets the version text of the first line whose
// first word is the key, or "0000-0000".
static void CmdGetVersion(Engine& engine, const Statement& st) {
  VarSet(engine.vars, "MAJMIN", kNoVersion);
  ScriptFile file;
  if (!file.Open(st.value1)) return;
  const char* key = TextOrEmpty(st.value2);
  char line[kLineMax];
  while (file.ReadLinePiece(line)) {
    char version[kVersionTextMax];
    if (VersionTextOfLine(line, key, version)) {
      VarSet(engine.vars, "MAJMIN", version);
      return;
    }
  }
}

// FindInFile TEXT FILE: 1 when a line, after its leading blanks, begins
// with the text (ASCII case ignored). One pending message is let through
// after each line that does not match.
static void CmdFindInFile(Engine& engine, const Statement& st) {
  engine.flags.condition = 0;
  ScriptFile file;
  if (!file.Open(st.value2)) return;
  const char* text = TextOrEmpty(st.value1);
  char line[kLineMax];
  while (file.ReadLinePiece(line)) {
    if (StartsWithNoCase(SkipBlanks(line), text)) {
      engine.flags.condition = 1;
      return;
    }
    engine.host->PumpMessages(1);
  }
}

// ParseFile FILE SECTION: runs the section once per line, the line in
// TempLine and TempStripped. The file name and section are copied first:
// the section may set or clear the variables they came from.
static void CmdParseFile(Engine& engine, const Statement& st) {
  if (!st.value1 || !st.value2) return;
  char* path = MemDupText(st.value1);
  char* section = MemDupText(st.value2);
  ScriptFile file;
  if (path && section && file.Open(path)) {
    char line[kLineMax];
    while (file.ReadLinePiece(line)) {
      DropLineFeed(line);
      VarSet(engine.vars, "TempLine", line);
      VarSet(engine.vars, "TempStripped", SkipBlanks(line));
      RunSection(engine, nullptr, section);
    }
  } else if (!path || !section) {
    SetFailure(engine);
  }
  MemFree(path);
  MemFree(section);
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

// AppendFile TEXT FILE: appends the text and a line end, creating the file
// when missing. The journal records the write, or that it failed (a file
// that cannot be opened, or a write or close that fails: the disk is full).
static void CmdAppendFile(Engine& engine, const Statement& st) {
  FILE* file = st.value2 ? fopen(st.value2, "ab") : nullptr;
  if (!file) {
    engine.flags.condition = 0;
    Journal(engine, "failure", {"AppendFile ", st.value2, ": cannot be opened"});
    return;
  }
  PutTextModeLine(TextOrEmpty(st.value1), file);
  bool written = !ferror(file);
  if (fclose(file) != 0) written = false;
  engine.flags.condition = written ? 1 : 0;
  if (written) {
    Journal(engine, "file appended to", {st.value2});
  } else {
    Journal(engine, "failure", {"AppendFile ", st.value2, ": cannot be written"});
  }
}

void BindTextFileCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdGetVersion, CmdGetVersion},
      {kCmdFindInFile, CmdFindInFile},
      {kCmdParseFile, CmdParseFile},
      {kCmdAppendFile, CmdAppendFile},
  };
  BindCommands(engine, kBindings);
}

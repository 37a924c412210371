// Text-file commands: GetVersion, FindInFile, ParseFile and AppendFile.
// Files are read as text (CR LF as LF), lines of up to 1,023 bytes, longer
// ones in pieces. A file that cannot be opened is no error: each command
// says what it leaves. Every read and write goes through the effects.
#include <cstring>

#include "actions/action_groups.h"
#include "script/byte_buffer.h"
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
  if (file.Open(*engine.effects, st.value1) != kOk) return;
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
  if (file.Open(*engine.effects, st.value2) != kOk) return;
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
  if (path && section && file.Open(*engine.effects, path) == kOk) {
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

// `text` as a text-mode stream writes it, with its line end: every line
// feed as CR LF. Done by hand so that every build writes the same bytes.
static bool AppendTextModeLine(ByteBuffer* out, const char* text) {
  for (const char* p = text; *p; ++p) {
    if (*p == '\n' && !out->Append("\r", 1)) return false;
    if (!out->Append(p, 1)) return false;
  }
  return out->Append("\r\n", 2);
}

// AppendFile TEXT FILE: appends the text and a line end, creating the file
// when missing. The journal records the write, or the call that failed (a
// file that cannot be opened, or a write or close that fails: the disk is
// full).
static void CmdAppendFile(Engine& engine, const Statement& st) {
  engine.flags.condition = 0;
  ByteBuffer line;
  if (!st.value2) {
    Journal(engine, "failure", {"AppendFile: no file named"});
    return;
  }
  if (!AppendTextModeLine(&line, TextOrEmpty(st.value1))) {
    Journal(engine, "failure", {"AppendFile ", st.value2, ": out of memory"});
    return;
  }
  if (engine.effects->AppendToFile(st.value2, line.data(), line.size()) == kOk) {
    engine.flags.condition = 1;
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

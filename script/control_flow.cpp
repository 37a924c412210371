// Control flow. Blocks do not nest: a skip stops at the first line whose
// first word is Else or Endif, whatever If it belongs to. goto and Include
// are calls: the caller goes on with its next line when the section ends.
#include "script/control_flow.h"

#include "script/commands.h"
#include "script/engine.h"
#include "script/errors.h"
#include "script/messages.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "script/text.h"

// The first word of a line, terminated in place at its first blank.
static char* FirstWord(char* line) {
  char* word = SkipBlanks(line);
  char* end = word;
  while (*end && !IsBlank(*end)) ++end;
  *end = 0;
  return word;
}

SkipEnd SkipToKeyword(const char* wordA, const char* wordB, ScriptFile& file) {
  char line[kLineMax];
  while (file.ReadLine(line)) {
    const char* word = FirstWord(line);
    if (wordA && EqualsNoCase(word, wordA)) return kSkipFoundWordA;
    if (wordB && EqualsNoCase(word, wordB)) return kSkipFoundWordB;
  }
  return kSkipHitEndOfFile;
}

// A block without its end: only the current run ends, with the failure flag.
// The file goes back to the line after the block's start, so the journal
// names that line; the run reads no further.
static void ReportUnclosedBlock(Engine& engine, const Statement& st,
                                long blockStart, const char* keyword,
                                const char* expected) {
  engine.script->Seek(blockStart);
  ReportScriptError(engine, kSeverityEndRun, st.owner,
                    {keyword, " without ", expected, " after it"}, "ERROR_SYNTAX",
                    {expected});
}

static void CmdIf(Engine& engine, const Statement& st) {
  if (engine.flags.condition != 0) return;
  long blockStart = engine.script->Tell();
  SkipEnd found = SkipToKeyword("Else", "Endif", *engine.script);
  engine.flags.condition = found;
  if (found == kSkipHitEndOfFile) ReportUnclosedBlock(engine, st, blockStart, "If", "else/endif");
}

static void CmdElse(Engine& engine, const Statement& st) {
  long blockStart = engine.script->Tell();
  SkipEnd found = SkipToKeyword("Endif", nullptr, *engine.script);
  engine.flags.condition = found;
  if (found == kSkipHitEndOfFile) ReportUnclosedBlock(engine, st, blockStart, "Else", "endif");
}

static void CmdEndif(Engine&, const Statement&) {}

static void CmdGoto(Engine& engine, const Statement& st) {
  RunSection(engine, st.owner, st.value1);
}

// Runs section value 2 of script file value 1, then makes the caller's file
// current again; its position is untouched. The included file is closed
// when its run ends.
static void CmdInclude(Engine& engine, const Statement& st) {
  ScriptFile included;
  if (included.Open(*engine.effects, st.value1) != kOk) {
    engine.flags.condition = 0;
    return;
  }
  ScriptFile* caller = engine.script;
  engine.script = &included;
  RunSection(engine, st.owner, st.value2);
  engine.script = caller;
}

static void CmdReturn(Engine& engine, const Statement&) {
  engine.flags.condition = 0;
  engine.flags.stop = 1;
}

// quit TEXT CAPTION: the box, then every run ends.
static void CmdQuit(Engine& engine, const Statement& st) {
  ShowMsgBox(engine, kBoxOk, st.value2, st.value1);
  EndEveryRun(engine, st.owner);
}

// quiterr TEXT CAPTION: the same as an error of this run.
static void CmdQuiterr(Engine& engine, const Statement& st) {
  ReportError(engine, kSeverityEndEveryRun, st.owner, {"quiterr: ", st.value1},
              st.value2, st.value1);
}

void BindControlFlowCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdIf, CmdIf},         {kCmdElse, CmdElse},
      {kCmdEndif, CmdEndif},   {kCmdGoto, CmdGoto},
      {kCmdInclude, CmdInclude}, {kCmdReturn, CmdReturn},
      {kCmdQuit, CmdQuit},     {kCmdQuiterr, CmdQuiterr},
  };
  BindCommands(engine, kBindings);
}

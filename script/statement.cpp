// Statement parsing.
//
//   statement := blanks keyword slot slot ignored-rest
//   keyword   := word-byte+            (first table row equal, case ignored)
//   slot      := blanks ( '"' any-byte* ( '"' | end ) | word-byte* )
//
// Word bytes are 0x21-0x7F; blanks are 0x01-0x20 and 0x80-0xFF; NUL ends
// the line. Terminators are written into the line, so texts point into it.
#include "script/statement.h"

#include "script/text.h"
#include "script/var_store.h"

// Terminates the text that ends at `*pos` and steps past the terminator,
// unless the terminator is the end of the line.
static void TerminateAt(char** pos) {
  if (**pos == 0) return;
  **pos = 0;
  ++*pos;
}

static char* ReadWord(char** pos) {
  char* start = *pos;
  while (IsWordByte(**pos)) ++*pos;
  TerminateAt(pos);
  return start;
}

CommandId LookupKeyword(char** pos) {
  char* keyword = ReadWord(pos);
  return FindCommand(keyword);
}

// Quoted literal: runs to the next double quote or the end of the line.
static char* ReadQuoted(char** pos) {
  ++*pos;  // opening quote
  char* start = *pos;
  while (**pos && **pos != '"') ++*pos;
  TerminateAt(pos);
  return start;
}

Argument ReadArgument(char** pos) {
  *pos = SkipBlanks(*pos);
  if (**pos == '"') return Argument{ReadQuoted(pos), true};
  return Argument{ReadWord(pos), false};
}

// A slot the command does not read has no value: it is never looked up.
static char* ValueOf(const Argument& arg, SlotUse use, const VarStore& store) {
  if (use == kSlotUnused) return nullptr;
  return arg.quoted ? arg.text : VarGet(store, arg.text);
}

bool ParseStatement(char* line, const VarStore& store, WindowRef owner,
                    Statement* out) {
  char* pos = SkipBlanks(line);
  CommandId id = LookupKeyword(&pos);
  if (id == kCmdInvalid) return false;
  Argument slot1 = ReadArgument(&pos);
  Argument slot2 = ReadArgument(&pos);
  out->owner = owner;
  out->id = id;
  out->text1 = slot1.text;
  out->text2 = slot2.text;
  out->quoted1 = slot1.quoted;
  out->quoted2 = slot2.quoted;
  const CommandRow& row = *CommandRowOf(id);
  out->value1 = ValueOf(slot1, row.slot1, store);
  out->value2 = ValueOf(slot2, row.slot2, store);
  return true;
}

// One statement of a script line: the keyword and its two argument slots,
// parsed in place in the line buffer, with the bare words of the slots the
// command reads resolved through the variable store.
#pragma once

#include "script/command_table.h"
#include "script/host.h"

struct VarStore;

struct Statement {
  WindowRef owner;   // the current run's progress dialog
  char* value1;      // slot 1's value; null is "no value", distinct from "";
                     // always null for a slot the command does not read
  char* value2;
  char* text1;       // slot 1 as written (bare name or quoted text)
  char* text2;
  CommandId id;
  bool quoted1;      // slot 1 was a quoted text; false: a bare word
  bool quoted2;
};

struct Argument {
  char* text;
  bool quoted;
};

// Reads the keyword at `*pos`, terminates it in place and moves `*pos` past
// its terminator (never past the end of the line). Returns its identifier,
// or kCmdInvalid when the table has no such keyword.
CommandId LookupKeyword(char** pos);
// Reads one argument slot at `*pos`: a quoted literal or a bare word
// (possibly empty); terminates it in place and moves `*pos` past it.
Argument ReadArgument(char** pos);
// Parses a statement line (its first non-blank byte is neither NUL nor ';').
// Returns false, with the keyword terminated in the line, when the keyword
// is not in the table.
bool ParseStatement(char* line, const VarStore& store, WindowRef owner,
                    Statement* out);

// The command table's rows as setupcheck reads them: which slots name a
// variable or read one, which variables a statement sets, and which
// messages a command shows and when. The rows are the only source.
#pragma once

#include <string>
#include <vector>

#include "checker/script_files.h"
#include "script/command_table.h"

// When a command shows a message of the language file. In a row's `shows`
// a key is shown on the command's ordinary path until one of these words
// (with its colon) stands before it:
//   failure:          when a call on the machine fails (a copy, a DLL, a
//                     file, a dialog), and after it
//   abandon:          when the user abandons the setup in a dialog
//   unclosed-block:   when If or Else finds no end of its block
//   missing-section:  when the section a call names is not there
//   too-deep:         when a call would nest past the run-depth limit
enum ShownWhen : unsigned char {
  kShownAlways,
  kShownOnFailure,
  kShownOnAbandon,
  kShownOnUnclosedBlock,
  kShownOnMissingSection,
  kShownOnTooDeepCall,
};

// What one command does besides its slots, in the command table's order.
struct CommandFacts {
  CommandId id;
  const char* sets;   // variables it sets besides a kSlotName slot, space-separated
  const char* shows;  // message keys it shows, space-separated, as ShownWhen tells
};

extern const CommandFacts kCommandFacts[];

struct ShownMessage {
  std::string key;
  ShownWhen when;
};

// Every key the row's facts show, with its condition. False when the row has a
// word ending in ':' that names no condition (its keys are left out).
bool ShownMessages(const CommandRow& row, std::vector<ShownMessage>* shown);
// The keys `row` shows under the condition `when`.
std::vector<std::string> MessagesShownBy(const CommandRow& row, ShownWhen when);
// The variables `row` sets besides a slot that names one.
std::vector<std::string> VariablesSetBy(const CommandRow& row);

// Whether slot 1 or 2 is read as a value (a bare word there names a
// variable that must be set).
bool ReadsValue(const CommandRow& row, int slot);
// Whether slot 1, taken as written, is the name of a variable it sets.
bool FirstSlotNamesAVariable(const CommandRow& row);
// Every variable a statement sets, as written.
std::vector<std::string> VariablesWrittenBy(const ParsedStatement& st);

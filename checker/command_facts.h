// The command table's rows as setupcheck reads them: which slots name a
// variable or read one, which variables a statement sets, and which
// messages a command shows and when. The rows are the only source.
#pragma once

#include <string>
#include <vector>

#include "checker/script_files.h"
#include "script/command_table.h"

struct ShownMessage {
  std::string key;
  ShownWhen when;
};

// Every key of `row.shows` with its condition. False when the row has a
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

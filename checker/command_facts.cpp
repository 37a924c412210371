// Reading the facts of a command-table row for setupcheck: the space-
// separated lists of variables set and messages shown, and what its slot
// uses mean for the variables a statement reads and sets.
#include "checker/command_facts.h"

#include <sstream>

static std::vector<std::string> WordsOf(const char* list) {
  std::istringstream in(list);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Rows of facts stand in identifier order, as the command table's rows do.
static const CommandFacts& FactsOf(const CommandRow& row) { return kCommandFacts[row.id - 1]; }

static bool ConditionNamed(const std::string& word, ShownWhen* when) {
  static const char* const kNames[] = {"always:", "failure:", "abandon:",
                                       "unclosed-block:", "missing-section:", "too-deep:"};
  for (int i = 0; i < static_cast<int>(sizeof kNames / sizeof kNames[0]); ++i) {
    if (word == kNames[i]) {
      *when = static_cast<ShownWhen>(i);
      return true;
    }
  }
  return false;
}

bool ShownMessages(const CommandRow& row, std::vector<ShownMessage>* shown) {
  ShownWhen when = kShownAlways;
  bool known = true;
  for (const std::string& word : WordsOf(FactsOf(row).shows)) {
    if (word.back() == ':') {
      known = ConditionNamed(word, &when);
    } else if (known) {
      shown->push_back(ShownMessage{word, when});
    }
  }
  return known;
}

std::vector<std::string> MessagesShownBy(const CommandRow& row, ShownWhen when) {
  std::vector<ShownMessage> shown;
  ShownMessages(row, &shown);
  std::vector<std::string> keys;
  for (const ShownMessage& message : shown) {
    if (message.when == when) keys.push_back(message.key);
  }
  return keys;
}

std::vector<std::string> VariablesSetBy(const CommandRow& row) { return WordsOf(FactsOf(row).sets); }

bool ReadsValue(const CommandRow& row, int slot) {
  SlotUse use = slot == 1 ? row.slot1 : row.slot2;
  return use == kSlotValue || use == kSlotBoth;
}

bool FirstSlotNamesAVariable(const CommandRow& row) {
  return row.slot1 == kSlotName || row.slot1 == kSlotBoth;
}

std::vector<std::string> VariablesWrittenBy(const ParsedStatement& st) {
  std::vector<std::string> names;
  const CommandRow* row = CommandRowOf(st.id);
  if (!row) return names;
  if (FirstSlotNamesAVariable(*row) && !st.text1.empty()) names.push_back(st.text1);
  for (const std::string& name : VariablesSetBy(*row)) names.push_back(name);
  return names;
}

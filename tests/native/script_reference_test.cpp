// The script reference documents every keyword of the command table, so
// the two cannot drift apart.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "script/command_table.h"

TEST(ScriptReference, HasAnEntryForEveryKeyword) {
  std::ifstream in(std::string(VORN_SOURCE_DIR) + "/docs/script-reference.md");
  ASSERT_TRUE(in) << "docs/script-reference.md is missing";
  std::string reference(std::istreambuf_iterator<char>(in), {});
  for (int i = 0; i < kCommandTableSize; ++i) {
    std::string heading = std::string("### `") + kCommandTable[i].keyword + "`\n";
    EXPECT_NE(reference.find(heading), std::string::npos)
        << "no entry for " << kCommandTable[i].keyword;
  }
}

// The reference's table of commands says what each row reads: the number of
// slots and how each slot is read.
TEST(ScriptReference, TableRowsReadWhatTheCommandRowsRead) {
  std::ifstream in(std::string(VORN_SOURCE_DIR) + "/docs/script-reference.md");
  std::string reference(std::istreambuf_iterator<char>(in), {});
  const char* const kWords[] = {"unused", "value", "as written", "name", "both"};
  for (int i = 0; i < kCommandTableSize; ++i) {
    const CommandRow& row = kCommandTable[i];
    EXPECT_EQ(row.id, i + 1) << row.keyword << ": rows stand in identifier order";
    std::string line = "| " + std::to_string(i + 1) + " | `" + row.keyword + "` | " +
                       std::to_string(ArgumentsRead(row)) + " | " + kWords[row.slot1] +
                       " | " + kWords[row.slot2] + " |";
    EXPECT_NE(reference.find(line), std::string::npos) << line;
  }
}

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

// Statement parsing: keyword lookup, quoted and bare slots, the line's end.
#include "script/statement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "script/var_store.h"

namespace {

class StatementTest : public ::testing::Test {
 protected:
  // Parses `text` (copied into a line buffer); false for unknown keywords.
  bool Parse(const std::string& text) {
    memset(line_, 0xAB, sizeof line_);
    memcpy(line_, text.c_str(), text.size() + 1);
    return ParseStatement(line_, store_, nullptr, &st_);
  }
  VarStore store_;
  char line_[1024];
  Statement st_;
};

TEST_F(StatementTest, KeywordInAnyCaseWithQuotedAndBareSlots) {
  VarSet(store_, "DSTDIR", "C:\\vorn");
  ASSERT_TRUE(Parse("  \tcopya \"C:\\Program Files\\x.dll\" DSTDIR\n"));
  EXPECT_EQ(st_.id, kCmdCopyA);
  EXPECT_STREQ(st_.value1, "C:\\Program Files\\x.dll");
  EXPECT_TRUE(st_.quoted1);
  EXPECT_STREQ(st_.text2, "DSTDIR");
  EXPECT_STREQ(st_.value2, "C:\\vorn");
  EXPECT_FALSE(st_.quoted2);
}

TEST_F(StatementTest, UnknownKeywordsAreNotCommands) {
  for (const char* text : {"\"set\" a b", "Frobnicate x", "[Setup]",
                           "setx a b"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(Parse(text));
  }
  // The keyword is terminated in place for the error message.
  ASSERT_FALSE(Parse("  Frob x y"));
  EXPECT_STREQ(line_, "  Frob");
}

TEST_F(StatementTest, MissingSlotsAreEmptyBareWords) {
  ASSERT_TRUE(Parse("Endif\n"));
  EXPECT_STREQ(st_.text1, "");
  EXPECT_STREQ(st_.text2, "");
  EXPECT_FALSE(st_.quoted1);
  EXPECT_EQ(st_.value1, nullptr);
  ASSERT_TRUE(Parse("set NAME"));
  EXPECT_STREQ(st_.text1, "NAME");
  EXPECT_EQ(st_.value2, nullptr);
  VarSet(store_, "", "empty-named");
  ASSERT_TRUE(Parse("Strcmp \"a\""));
  EXPECT_STREQ(st_.value2, "empty-named");
}

// A slot the command's row does not read is not looked up, unless every
// slot's value is asked for (the journal records them).
TEST_F(StatementTest, SlotsTheCommandDoesNotReadHaveNoValue) {
  VarSet(store_, "A", "1");
  VarSet(store_, "B", "2");
  ASSERT_TRUE(Parse("goto \"Sub\" A"));
  EXPECT_STREQ(st_.value1, "Sub");
  EXPECT_STREQ(st_.text2, "A");
  EXPECT_EQ(st_.value2, nullptr);
  ASSERT_TRUE(Parse("Endif A B"));
  EXPECT_EQ(st_.value1, nullptr);
  EXPECT_EQ(st_.value2, nullptr);
  ASSERT_TRUE(Parse("Clr A B"));  // a variable's name: its value is looked up too
  EXPECT_STREQ(st_.value1, "1");
  EXPECT_EQ(st_.value2, nullptr);
}

TEST_F(StatementTest, QuotesEdgeCases) {
  ASSERT_TRUE(Parse("MsgBoxOK \"Hello\n"));
  EXPECT_STREQ(st_.value1, "Hello\n");
  EXPECT_STREQ(st_.text2, "");
  ASSERT_TRUE(Parse("set X \"\""));
  ASSERT_NE(st_.value2, nullptr);
  EXPECT_STREQ(st_.value2, "");
  EXPECT_TRUE(st_.quoted2);
  ASSERT_TRUE(Parse("Strcmp \"a\"b"));
  EXPECT_STREQ(st_.value1, "a");
  EXPECT_STREQ(st_.text2, "b");
  EXPECT_FALSE(st_.quoted2);
  ASSERT_TRUE(Parse("Strcmp a\"b c"));
  EXPECT_STREQ(st_.text1, "a\"b");
  ASSERT_TRUE(Parse("Strcmp \"\xe9 \xff\" x"));
  EXPECT_STREQ(st_.value1, "\xe9 \xff");
}

TEST_F(StatementTest, BlanksAndHighBytesSeparateBareWords) {
  ASSERT_TRUE(Parse("Strcmp\ta\xe9" "b\tc d"));
  EXPECT_STREQ(st_.text1, "a");
  EXPECT_STREQ(st_.text2, "b");
  ASSERT_TRUE(Parse("Copy \"x.dll\" third fourth"));
  EXPECT_STREQ(st_.text2, "third");
  ASSERT_TRUE(Parse("Copy x ;comment"));
  EXPECT_STREQ(st_.text2, ";comment");
}

TEST_F(StatementTest, TableOrderAndCountsFollowTheLanguageReference) {
  EXPECT_EQ(kCommandTableSize, 83);
  EXPECT_STREQ(kCommandTable[0].keyword, "MkDir");
  EXPECT_STREQ(kCommandTable[kCommandTableSize - 1].keyword, "RollbackOnFailure");
  for (int i = 0; i < kCommandTableSize; ++i) {
    EXPECT_EQ(kCommandTable[i].id, i + 1);
    EXPECT_EQ(FindCommand(kCommandTable[i].keyword), kCommandTable[i].id);
  }
  EXPECT_EQ(FindCommand("QUITERR"), kCmdQuiterr);
  EXPECT_EQ(FindCommand("quit"), kCmdQuit);
}

}  // namespace

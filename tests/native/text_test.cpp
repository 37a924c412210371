// Blank rule and bounded copies.
#include "script/text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Text, BlankRuleCoversControlBytesAndHighBytes) {
  for (char c : {' ', '\t', '\x01', '\x80', '\xff'}) EXPECT_TRUE(IsBlank(c)) << int(c);
  for (char c : {'\0', '!', '\x7f'}) EXPECT_FALSE(IsBlank(c)) << int(c);
  char text[] = " \t\xe9\x80word";
  EXPECT_STREQ(SkipBlanks(text), "word");
  char empty[] = " \t";
  EXPECT_EQ(*SkipBlanks(empty), 0);
}

TEST(Text, CaseFoldingIsAsciiOnly) {
  EXPECT_TRUE(EqualsNoCase("DstDir", "DSTDIR"));
  EXPECT_FALSE(EqualsNoCase("DSTDIR", "DSTDIR2"));
  EXPECT_FALSE(EqualsNoCase("\xe9", "\xc9"));
  EXPECT_TRUE(StartsWithNoCase("Netscape.exe", "NETSCAPE"));
  EXPECT_FALSE(StartsWithNoCase("Net", "NETSCAPE"));
}

// Each buffer size at N-1, N and N+1 bytes of text.
TEST(Text, CopyTextTruncatesAndAlwaysTerminates) {
  for (size_t length : {7u, 8u, 9u}) {
    SCOPED_TRACE(length);
    char buffer[9];
    memset(buffer, 0xAB, sizeof buffer);
    std::string source(length, 'x');
    size_t copied = CopyText(buffer, source.c_str());
    EXPECT_EQ(copied, std::min<size_t>(length, 8));
    EXPECT_EQ(strlen(buffer), copied);
    EXPECT_EQ(FitsIn(source.c_str(), sizeof buffer), length < 9);
  }
  char small[6] = "abc";
  AppendText(small, "defgh");
  EXPECT_STREQ(small, "abcde");
}

// Joined texts either fit whole or leave nothing: a cut path names another
// place.
TEST(Text, JoinTextNeverCuts) {
  for (size_t length : {7u, 8u, 9u}) {
    SCOPED_TRACE(length);
    char buffer[10];
    memset(buffer, 0xAB, sizeof buffer);
    std::string dir(length, 'd');
    bool fits = JoinText(buffer, {dir.c_str(), "\\x"});
    EXPECT_EQ(fits, length + 2 < sizeof buffer);
    EXPECT_EQ(std::string(buffer), fits ? dir + "\\x" : "");
  }
  char empty[1];
  EXPECT_TRUE(JoinText(empty, {"", ""}));
  EXPECT_FALSE(JoinText(empty, {"a"}));
}

TEST(Text, FormatDecimalCoversTheWholeRange) {
  char text[12];
  const std::pair<long, const char*> cases[] = {
      {0, "0"}, {64, "64"}, {-1, "-1"}, {2147483647L, "2147483647"},
      {-2147483647L - 1, "-2147483648"}};
  for (const auto& c : cases) {
    FormatDecimal(text, c.first);
    EXPECT_STREQ(text, c.second);
  }
  char tiny[3];
  FormatDecimal(tiny, 12345);
  EXPECT_STREQ(tiny, "12");
}

// Text rules of the string commands: escaping as the inverse of word
// splitting, version texts, padding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/split_words.h"
#include "script/version_text.h"

namespace {

std::string Escape(const std::string& text) {
  std::vector<char> out(EscapedSize(text.size()));
  size_t n = EscapeWord(text.data(), text.size(), out.data());
  EXPECT_EQ(out[n], 0);
  return std::string(out.data(), n);
}

// Splits an escaped text; it must be exactly one word.
std::string Unescape(std::string word) {
  word.push_back(0);
  char* words[2];
  EXPECT_EQ(SplitWords(&word[0], words, 2), word.size() > 1 ? 1 : 0);
  return word.size() > 1 ? words[0] : "";
}

TEST(EscapeWord, IsTheInverseOfSplitWordsForEveryByte) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string word = Escape(all);
  EXPECT_EQ(Unescape(word), all);
  std::string high(515, '\xff');
  EXPECT_EQ(Escape(high).size(), 515u * 4);
  EXPECT_EQ(Unescape(Escape(high)), high);
  EXPECT_EQ(Escape(std::string("a\0b", 3)), "a\\000b");  // a NUL ends it
}

TEST(EscapeWord, WritesTheDescribedEscapes) {
  EXPECT_EQ(Escape("C:\\Program Files"), "C:\\\\Program\\ Files");
  EXPECT_EQ(Escape("a\tb\nc\xe9"), "a\\009b\\nc\\233");
  EXPECT_EQ(Escape(""), "");
}

std::string Version(std::string line, const char* key = "RELEASE") {
  char out[kVersionTextMax];
  line.push_back(0);
  return VersionTextOfLine(&line[0], key, out) ? out : "(no match)";
}

TEST(VersionText, FieldsArePaddedCutAndJoined) {
  struct Case { const char* line; const char* version; };
  const Case cases[] = {
      {"release 4 12\n", "0004-0012"},
      {"release 4 12 1\n", "0004-0012-0001"},
      {"release 12345 7\n", "1234-0007"},
      {"release 5\n", "(no match)"},
      {"releases 4 12\n", "(no match)"},
      {"release 4 12 \n", "0004-0012-0000"},  // the line end is a last word
      {"release 4 12", "0004-0012"},
      {"RELEASE \\065 x\\ y\n", "000A-0x y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Version(c.line), c.version);
  }
}

TEST(VersionText, LongLinesKeepTheirLimits) {
  std::string line = "release";
  for (int i = 1; i <= 200; ++i) line += " " + std::to_string(i);
  std::string expected;
  for (int i = 1; i <= kVersionFieldsMax; ++i) {
    std::string field = std::to_string(i);
    expected += (i > 1 ? "-" : "") + std::string(4 - field.size(), '0') + field;
  }
  EXPECT_EQ(Version(line + "\n"), expected);
  EXPECT_EQ(expected.size() + 1, kVersionTextMax);
}

TEST(PadLeft, FillsToTheWidthOnly) {
  char text[8] = "12";
  PadLeft(text, '0', 4);
  EXPECT_STREQ(text, "0012");
  PadLeft(text, '0', 3);
  EXPECT_STREQ(text, "0012");
  char empty[5] = "";
  PadLeft(empty, 'x', 4);
  EXPECT_STREQ(empty, "xxxx");
}

}  // namespace

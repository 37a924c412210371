// Message texts: line breaks, safe formatting, and the display helpers.
#include "script/messages.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/native/engine_fixture.h"

static std::string Format(const char* format, MessageArgs args = {}) {
  char out[kMsgMax];
  FormatMessageText(out, sizeof out, format, args);
  return out;
}

TEST(MessageFormat, ConversionsWithoutValuesStayLiteral) {
  struct Case { const char* format; MessageArgs args; const char* expected; };
  const Case cases[] = {
      {"100%% done", {}, "100% done"},
      {"copy %s now", {}, "copy %s now"},
      {"copy %s to %s", {"a"}, "copy a to %s"},
      {"%d %x %n %p %s", {"v"}, "%d %x %n %p v"},
      {"[%-4s][%.2s]", {"a", "xyz"}, "[a   ][xy]"},
      {"trailing %", {}, "trailing %"},
      {"%ls %s", {"w"}, "%ls w"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(Format(c.format, c.args), c.expected);
  }
}

// Conversions of more than 32 bytes are text, whatever their digits say.
TEST(MessageFormat, OverLongConversionsStayLiteral) {
  std::string longest = "%-" + std::string(28, '0') + "3s";  // 32 bytes
  std::string tooLong = "%-" + std::string(29, '0') + "3s";  // 33 bytes
  EXPECT_EQ(Format(longest.c_str(), {"v"}), "v  ");
  EXPECT_EQ(Format(tooLong.c_str(), {"v"}), tooLong);
  EXPECT_EQ(Format(("%." + std::string(28, '0') + "1s").c_str(), {"vw"}), "v");
}

TEST(MessageFormat, OutputIsCutAt4095Bytes) {
  std::string longText(10000, 'x');
  EXPECT_EQ(Format(longText.c_str()).size(), kMsgMax - 1);
  std::string value(9000, 'v');
  EXPECT_EQ(Format("a %s b", {value.c_str()}).size(), kMsgMax - 1);
  EXPECT_EQ(Format("%99999s", {"v"}).size(), kMsgMax - 1);
  EXPECT_EQ(Format("%6000s", {"Frob"}), std::string(kMsgMax - 1, ' '));
  EXPECT_EQ(Format("%-6000s", {"Frob"}), "Frob" + std::string(kMsgMax - 5, ' '));
  char tiny[4];
  FormatMessageText(tiny, sizeof tiny, "%s", {"abcdef"});
  EXPECT_STREQ(tiny, "abc");
}

TEST(MessageFormat, BackslashNBecomesCrLf) {
  char text[] = "one\\ntwo\\\\n\\";
  ExpandNewlines(text);
  EXPECT_STREQ(text, "one\r\ntwo\\\r\n\\");
}

using MessageHelpers = EngineTest;

TEST_F(MessageHelpers, MessageBoxKeepsTheCallersTextAndFlagsMissingText) {
  VarSet(engine_->vars, "MSG", "a\\nb %s");
  ShowMsgBox(*engine_, kBoxOk, "Cap", Var("MSG"), {"x"});
  ShowMsgBox(*engine_, kBoxYesNo, nullptr, nullptr);
  EXPECT_STREQ(Var("MSG"), "a\\nb %s");
  ASSERT_EQ(host_.events.size(), 2u);
  EXPECT_EQ(host_.events[0], "box 0 [Cap] a\r\nb x");
  EXPECT_EQ(host_.events[1], "box 4 [(default)] *** invalid message ***");
  std::string huge(20000, 'h');
  ShowMsgBox(*engine_, kBoxOk, "Cap", huge.c_str());
  EXPECT_EQ(host_.events[2].size(), std::string("box 0 [Cap] ").size() + 4095);
}

TEST_F(MessageHelpers, ErrorBoxAndItemTextRewriteTheStoredMessage) {
  VarSet(engine_->vars, "ERROR_TTL", "Oops");
  VarSet(engine_->vars, "MSG", "a\\nb");
  ShowErrorBox(*engine_, Var("MSG"));
  EXPECT_STREQ(Var("MSG"), "a\r\nb");
  EXPECT_EQ(host_.events.back(), "box 0 [Oops] a\r\nb");
  VarSet(engine_->vars, "STATUS", "c\\nd");
  SetItemTextFmt(*engine_, nullptr, kStatusLineId, Var("STATUS"));
  EXPECT_STREQ(Var("STATUS"), "c\r\nd");
  EXPECT_EQ(host_.statusLine, "c\r\nd");
  EXPECT_EQ(host_.pumpedLimitTotal, 1);
}

TEST_F(MessageHelpers, SilentModeAndMissingTextShowNothing) {
  ShowErrorBox(*engine_, nullptr);
  SetItemTextFmt(*engine_, nullptr, kStatusLineId, nullptr);
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(host_.pumpedLimitTotal, 0);
  engine_->modes.silent = true;
  char text[] = "x";
  ShowErrorBox(*engine_, text);
  SetItemTextFmt(*engine_, nullptr, kStatusLineId, text);
  EXPECT_TRUE(host_.Matching("box").empty());
  EXPECT_TRUE(host_.Matching("repaint").empty());
  EXPECT_EQ(host_.statusLine, "x");  // the text is set, just not repainted
}

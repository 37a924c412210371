// Word splitting with escapes, and the command line built on it.
#include "script/split_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/command_line.h"

static std::vector<std::string> Split(std::string text, int max = 128) {
  std::vector<char*> words(static_cast<size_t>(max));
  text.push_back('\0');
  int n = SplitWords(&text[0], words.data(), max);
  std::vector<std::string> result;
  for (int i = 0; i < n; ++i) result.push_back(words[static_cast<size_t>(i)]);
  return result;
}

TEST(SplitWords, SeparatorsAndEscapes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Split(""), V{});
  EXPECT_EQ(Split("  a  b\tc "), (V{"a", "b\tc"}));
  EXPECT_EQ(Split("C:\\\\Program\\ Files x"), (V{"C:\\Program Files", "x"}));
  EXPECT_EQ(Split("\\065\\300\\0659"), (V{"A,A9"}));
  EXPECT_EQ(Split("a\\nb"), (V{"a\nb"}));
  EXPECT_EQ(Split("ab\\zcd ef"), (V{"ab", "ef"}));
  EXPECT_EQ(Split("abc\\"), (V{"abc"}));
  EXPECT_EQ(Split("\\ "), (V{" "}));
}

TEST(SplitWords, StopsAtTheWordLimit) {
  EXPECT_EQ(Split("a b c d", 2), (std::vector<std::string>{"a", "b"}));
}

static RunModes Parse(std::string line) {
  RunModes modes;
  line.push_back('\0');
  ParseCommandLine(&line[0], modes);
  return modes;
}

TEST(CommandLine, SwitchesInAnyCase) {
  RunModes silent = Parse("/silent");
  EXPECT_TRUE(silent.silent);
  EXPECT_TRUE(silent.mini);
  RunModes mini = Parse("/Mini /UnInstall");
  EXPECT_TRUE(mini.mini);
  EXPECT_FALSE(mini.silent);
  EXPECT_TRUE(mini.uninstall);
}

TEST(CommandLine, DirectoryWord) {
  // Backslashes are escapes on the command line: a path doubles them.
  EXPECT_STREQ(Parse("C:\\\\first D:\\\\second\\\\ /MINI").commandLineDir,
               "D:\\second");
  EXPECT_STREQ(Parse("C:\\first").commandLineDir, "C:first");
  EXPECT_STREQ(Parse("C:/dir/").commandLineDir, "C:/dir");
  EXPECT_STREQ(Parse("\\\\").commandLineDir, "");
  EXPECT_STREQ(Parse("C:\\\\My\\ Programs").commandLineDir, "C:\\My Programs");
  std::string tooLong(300, 'd');
  EXPECT_STREQ(Parse("C:\\\\ok " + tooLong).commandLineDir, "C:\\ok");
  std::string many;
  for (int i = 0; i < 200; ++i) many += "w" + std::to_string(i) + " ";
  EXPECT_STREQ(Parse(many).commandLineDir, "w127");
}

TEST(CommandLine, ProgramNameIsSkipped) {
  EXPECT_STREQ(SkipProgramName("\"C:\\a b\\setup.exe\"  /MINI"), "/MINI");
  EXPECT_STREQ(SkipProgramName("setup.exe /SILENT x"), "/SILENT x");
  EXPECT_STREQ(SkipProgramName("setup.exe"), "");
}

// A drive's root keeps its backslash: "R:" alone is the current directory
// of drive R, somewhere else.
TEST(CommandLine, ProgramDirectoryOfAProgramFile) {
  struct Case { const char* path; const char* directory; };
  const Case cases[] = {
      {"C:\\Program Files\\Vorn\\setup.exe", "C:\\Program Files\\Vorn"},
      {"R:\\setup.exe", "R:\\"},
      {"R:/setup.exe", "R:/"},
      {"\\\\server\\share\\setup.exe", "\\\\server\\share"},
      {"C:\\a\\b/setup.exe", "C:\\a\\b"},
      {"setup.exe", nullptr},
      {"\\setup.exe", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    char directory[kPathMax] = "unchanged";
    bool found = ProgramDirectoryOf(c.path, directory, sizeof directory);
    EXPECT_EQ(found, c.directory != nullptr);
    if (c.directory) {
      EXPECT_STREQ(directory, c.directory);
    }
  }
  std::string deep = "C:\\" + std::string(300, 'd') + "\\setup.exe";
  char directory[kPathMax];
  EXPECT_FALSE(ProgramDirectoryOf(deep.c_str(), directory, sizeof directory));
}

// Word splitting with escapes, and the command line built on it.
#include "script/split_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/byte_buffer.h"
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

// The switches, the directory word and the journal switch of a command
// line. Backslashes are escapes on the command line: a path doubles them;
// the journal's path is taken as written.
TEST(CommandLine, SwitchesDirectoryWordAndJournal) {
  std::string many;
  for (int i = 0; i < 200; ++i) many += "w" + std::to_string(i) + " ";
  struct Case {
    std::string line;
    const char* switches;
    const char* directory;
    const char* journal;  // null: not asked for
    const char* answers = nullptr;  // /ANSWERS=; null: not asked for
    const char* saved = nullptr;    // /SAVEANSWERS=
    // The internal switches of an uninstall moved out of its folder.
    const char* origin = "";
    unsigned long parent = 0, pipe = 0;
  } cases[] = {
      {"/silent", "silent mini", "", nullptr},
      {"/Mini /UnInstall", "mini uninstall", "", nullptr},
      {"/rollback /SILENT", "silent mini rollback", "", nullptr},
      {"C:\\\\first D:\\\\second\\\\ /MINI", "mini", "D:\\second", nullptr},
      {"C:\\first", "", "C:first", nullptr},
      {"C:/dir/", "", "C:/dir", nullptr},
      {"\\\\", "", "", nullptr},
      {"C:\\\\My\\ Programs", "", "C:\\My Programs", nullptr},
      {"C:\\\\ok " + std::string(300, 'd'), "", "C:\\ok", nullptr},
      {many, "", "w127", nullptr},
      {"/SILENT /log=C:\\logs\\setup.log", "silent mini", "", "C:\\logs\\setup.log"},
      {"/LOG=\"C:\\my logs\\a.log\" D:\\dest", "", "D:dest", "C:\\my logs\\a.log"},
      {"C:\\x/LOG=no", "", "C:x/LOG=no", nullptr},
      {"/LOG=", "", "", ""},
      {"/LOG=" + std::string(300, 'x'), "", "", ""},  // a path that does not fit
      {"/LOG=a.log /log=\"b c.log\"", "", "", "b c.log"},  // the last one counts
      // Windows-style switches: quotes and single backslashes as written.
      {"/DIR=\"C:\\Program Files\\Quill\\\" /norestart", "norestart /DIR",
       "C:\\Program Files\\Quill", nullptr},
      {"/dir=C:\\ D:\\\\word", "/DIR", "C:\\", nullptr},  // wins over a word; a root keeps its backslash
      {"/DIR=" + std::string(300, 'd') + " D:\\\\word", "", "D:\\word", nullptr},
      {"/SILENT /ANSWERS=C:\\a.txt /SaveAnswers=\"C:\\my a.txt\"", "silent mini", "",
       nullptr, "C:\\a.txt", "C:\\my a.txt"},
      {"/ANSWERS=", "", "", nullptr, ""},
      {"/UNINSTALL /Origin=\"C:\\Program Files\\Quill\\un\" /PARENT=124 /resultpipe=88 "
       "/DIR=\"C:\\Program Files\\Quill\" /SILENT",
       "silent mini uninstall /DIR", "C:\\Program Files\\Quill", nullptr, nullptr, nullptr,
       "C:\\Program Files\\Quill\\un", 124, 88},
      // A handle is a plain decimal number that fits, or none.
      {"/PARENT=12x /RESULTPIPE=2147483648", "", "", nullptr, nullptr, nullptr, "", 0, 0},
      {"/PARENT=2147483647 /RESULTPIPE=-4", "", "", nullptr, nullptr, nullptr, "", 2147483647, 0},
      {"/PARENT= /RESULTPIPE=0 /ORIGIN=" + std::string(300, 'o'), "", "", nullptr, nullptr,
       nullptr, "", 0, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 40));
    RunModes modes;
    ParseCommandLine(&c.line[0], modes);
    std::string switches = std::string(modes.silent ? " silent" : "") +
                           (modes.mini ? " mini" : "") + (modes.uninstall ? " uninstall" : "") +
                           (modes.noRestart ? " norestart" : "") +
                           (modes.rollback ? " rollback" : "") +
                           (modes.directorySwitch ? " /DIR" : "");
    EXPECT_EQ(switches, *c.switches ? std::string(" ") + c.switches : "");
    EXPECT_STREQ(modes.commandLineDir, c.directory);
    EXPECT_EQ(modes.journalRequested, c.journal != nullptr);
    EXPECT_STREQ(modes.journalPath, c.journal ? c.journal : "");
    EXPECT_EQ(modes.answersRequested, c.answers != nullptr);
    EXPECT_STREQ(modes.answersPath, c.answers ? c.answers : "");
    EXPECT_STREQ(modes.saveAnswersPath, c.saved ? c.saved : "");
    EXPECT_STREQ(modes.originDir, c.origin);
    EXPECT_EQ(modes.parentProcess, c.parent);
    EXPECT_EQ(modes.resultPipe, c.pipe);
  }
}

// The copy of a moved uninstall gets the caller's arguments and the
// internal switches, before them: a quote the caller left open cannot
// take them in. A path with a double quote cannot be passed at all.
TEST(CommandLine, AMovedUninstallGetsTheCallersArgumentsAndItsOwnSwitches) {
  ByteBuffer line;
  ASSERT_TRUE(BuildMovedUninstallCommandLine(
      line, "C:\\Temp\\VornUninstall.1\\setup.exe", "C:\\Program Files\\Quill", 124, 88,
      "/UNINSTALL /DIR=\"C:\\Program Files\\Quill\" /LOG=\"C:\\my logs\\u.log"));
  EXPECT_STREQ(line.data(),
               "\"C:\\Temp\\VornUninstall.1\\setup.exe\" /ORIGIN=\"C:\\Program Files\\Quill\" "
               "/PARENT=124 /RESULTPIPE=88 /UNINSTALL /DIR=\"C:\\Program Files\\Quill\" "
               "/LOG=\"C:\\my logs\\u.log");
  RunModes modes;
  ASSERT_TRUE(ParseCommandLineCopy(SkipProgramName(line.data()), modes));
  EXPECT_STREQ(modes.originDir, "C:\\Program Files\\Quill");
  EXPECT_EQ(modes.parentProcess, 124u);
  EXPECT_EQ(modes.resultPipe, 88u);
  EXPECT_TRUE(modes.uninstall);
  EXPECT_STREQ(modes.commandLineDir, "C:\\Program Files\\Quill");
  EXPECT_STREQ(modes.journalPath, "C:\\my logs\\u.log");
  ByteBuffer refused;
  EXPECT_FALSE(BuildMovedUninstallCommandLine(refused, "C:\\a\"b\\setup.exe", "C:\\a", 1, 2, ""));
  EXPECT_FALSE(BuildMovedUninstallCommandLine(refused, "C:\\t\\setup.exe", "C:\\a\"", 1, 2, ""));
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

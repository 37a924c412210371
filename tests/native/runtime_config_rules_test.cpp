// The line rules of the runtime's configuration files, as tables of small
// inputs and the bytes they give: fresh-import lines, the plug-in merge,
// the vorn/update rewrite and the update-line scan.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtimecfg/fresh_import.h"
#include "runtimecfg/plugin_merge.h"
#include "runtimecfg/vorn_lines.h"

namespace {

const char* const kMissing = nullptr;

// A file's bytes as the rules take them; null: the file is missing.
FileText Text(const char* text) {
  return text ? FileText{text, strlen(text)} : FileText{nullptr, 0};
}
FileText Text(const std::string& text) { return FileText{text.data(), text.size()}; }
std::string Bytes(const ByteBuffer& buffer) { return std::string(buffer.data(), buffer.size()); }

struct FreshCase {
  const char* name;
  const char* installed;
  const char* zekpack;  // null: missing
  const char* zekdll;   // null: missing
  const char* expected;
};

const FreshCase kFreshCases[] = {
    {"no zekpack: two defaults, no plug-in line", "", kMissing,
     "quorpdll.dll x\n", "disk ./Cache 64000\r\ndisk ./Partition 0\r\n"},
    {"no usable line: comments, blanks, short lines", "",
     "# cache\n   \n\tab\nxy\n", kMissing,
     "disk ./Cache 64000\r\ndisk ./Partition 0\r\n"},
    {"three characters and a line end are used", "", "abc\n", kMissing,
     "disk abc\r\ndisk ./Partition 0\r\n"},
    {"one quoted path with a size", "", "  \"C:\\Vorn Data\\Cache\" 64000\r\n",
     kMissing, "disk C:/Vorn\\ Data/Cache 64000\r\ndisk ./Partition 0\r\n"},
    {"three lines, all used, in order", "", "a:\\one 1\nb:\\two 2\nc:\\three 3",
     kMissing, "disk a:/one 1\r\ndisk b:/two 2\r\ndisk c:/three 3\r\n"},
    {"an unbalanced quote quotes to the end", "", "\"x y z 5\n", kMissing,
     "disk x\\ y\\ z\\ 5\r\ndisk ./Partition 0\r\n"},
    {"plug-in line from zekdll.ini in any case", "", "", "other.dll\n  QuorpDLL.dll 7\n",
     "disk ./Cache 64000\r\ndisk ./Partition 0\r\nplugin QuorpDLL.dll 7\r\n"},
    {"zekdll.ini without the library", "", "", "other.dll\n",
     "disk ./Cache 64000\r\ndisk ./Partition 0\r\n"},
    {"installed file without a final line end", "vorn 1", kMissing, kMissing,
     "\r\ndisk ./Cache 64000\r\ndisk ./Partition 0\r\n"},
    // Line ends: a lone CR ends a line too; the lines added end in CR LF.
    {"installed file ending in a lone CR needs no line end", "vorn 1\r",
     kMissing, kMissing, "disk ./Cache 64000\r\ndisk ./Partition 0\r\n"},
    {"zekpack.ini with CR line ends: each line a disk line", "",
     "# disks\ra:\\one 1\rb:\\two 2\r", kMissing,
     "disk a:/one 1\r\ndisk b:/two 2\r\n"},
    {"zekpack.ini with mixed line ends", "",
     "a:\\one 1\r\nb:\\two 2\nc:\\three 3\rd:\\four 4", kMissing,
     "disk a:/one 1\r\ndisk b:/two 2\r\ndisk c:/three 3\r\n"
     "disk d:/four 4\r\n"},
    {"a CR counts as one byte of a short line", "", "xy\rabc\r", kMissing,
     "disk abc\r\ndisk ./Partition 0\r\n"},
    {"zekdll.ini with CR line ends", "", "", "other.dll\rquorpdll.dll 7\r",
     "disk ./Cache 64000\r\ndisk ./Partition 0\r\nplugin quorpdll.dll 7\r\n"},
};

TEST(RuntimeConfigRules, FreshImportLines) {
  for (const FreshCase& c : kFreshCases) {
    ByteBuffer out;
    ASSERT_TRUE(AppendFreshImportLines(Text(c.installed), Text(c.zekpack), Text(c.zekdll), out));
    EXPECT_EQ(Bytes(out), c.expected) << c.name;
  }
}

struct MergeCase {
  const char* name;
  const char* installed;
  const char* shipped;  // null: missing
  const char* expected;
};

const MergeCase kMergeCases[] = {
    {"equal tag: the shipped entry", "plugin netlib-12.dll\r\n",
     "plugin netlib-12.dll new\r\n", "plugin netlib-12.dll new\r\n"},
    {"older installed tag gives way", "plugin netlib-11.dll\r\n",
     "plugin netlib-12.dll\r\n", "plugin netlib-12.dll\r\n"},
    {"newer installed tag stays", "plugin netlib-13.dll\r\n",
     "plugin netlib-12.dll\r\n", "plugin netlib-13.dll\r\n"},
    {"-9 against -10: text order keeps -9", "plugin net-9.dll\r\n",
     "plugin net-10.dll\r\n", "plugin net-9.dll\r\n"},
    {"-1 gives way to -12", "plugin net-1.dll\r\n", "plugin net-12.dll\r\n",
     "plugin net-12.dll\r\n"},
    {"installed-only kept, normalised; shipped-only appended in order",
     "vorn 1\r\n  PLUGIN   old.dll\r\nupdate no\r\n",
     "plugin b.dll\r\nplugin a.dll\r\n",
     "vorn 1\r\nplugin old.dll\r\nupdate no\r\nplugin b.dll\r\nplugin a.dll\r\n"},
    {"duplicate installed stems: only the first pairs",
     "plugin x-1.dll\r\nplugin x-2.dll\r\n", "plugin x-5.dll\r\n",
     "plugin x-5.dll\r\nplugin x-2.dll\r\n"},
    {"duplicate shipped stems pair in order, the rest appended",
     "plugin x-1.dll\r\n", "plugin x-5.dll\r\nplugin x-6.dll\r\n",
     "plugin x-5.dll\r\nplugin x-6.dll\r\n"},
    {"stem prefix: net pairs with netlib", "plugin net.dll\r\n",
     "plugin netlib-12.dll\r\n", "plugin netlib-12.dll\r\n"},
    {"no shipped file: installed lines normalised", " plugin  a.dll\r\nk v\r\n",
     kMissing, "plugin a.dll\r\nk v\r\n"},
    {"empty stem pairs with nothing", "plugin -x.dll\r\n", "plugin a.dll\r\n",
     "plugin -x.dll\r\nplugin a.dll\r\n"},
    {"last line without an end gets one before appended entries",
     "vorn 1", "plugin a.dll\r\n", "vorn 1\r\nplugin a.dll\r\n"},
    // Line ends: every line keeps its own, a plug-in line written in place
    // of an installed one too; the entries added at the end get CR LF.
    {"LF line ends: copied lines keep them", "a\nplugin q.dll\nb\n", "",
     "a\nplugin q.dll\nb\n"},
    {"CR line ends: no line is lost",
     "vorn 4.10\rupdate auto\rplugin netlib-10.dll\ruser keepme\r",
     "vorn 4.12\r\nupdate no\r\nplugin netlib-12.dll\r\nplugin quorpdll.dll\r\n",
     "vorn 4.10\rupdate auto\rplugin netlib-12.dll\ruser keepme\r"
     "plugin quorpdll.dll\r\n"},
    {"mixed line ends, a last line without one",
     "a\rplugin x-1.dll\nplugin y.dll\r\nb", "plugin x-2.dll\r\n",
     "a\rplugin x-2.dll\nplugin y.dll\r\nb"},
    {"shipped file with CR line ends", "plugin a-1.dll\r\n",
     "plugin a-2.dll\rplugin b.dll\r", "plugin a-2.dll\r\nplugin b.dll\r\n"},
    {"the tag comparison sees a CR as a line end", "plugin x-3\r",
     "plugin x-3.dll\r\n", "plugin x-3.dll\r"},
    {"a last line ending in a lone CR takes no extra line end", "vorn 1\r",
     "plugin a.dll\n", "vorn 1\rplugin a.dll\r\n"},
    {"blanks then a CR after plugin: an empty entry", "plugin  \rk v\r", kMissing,
     "plugin \rk v\r"},
};

TEST(RuntimeConfigRules, PluginMerge) {
  for (const MergeCase& c : kMergeCases) {
    ByteBuffer out;
    ASSERT_TRUE(MergePluginLines(Text(c.installed), Text(c.shipped), out));
    EXPECT_EQ(Bytes(out), c.expected) << c.name;
  }
}

TEST(RuntimeConfigRules, StemAndTag) {
  const char* tag;
  EXPECT_EQ(PluginStemLength("quorpdll.dll"), 8u);
  EXPECT_EQ(PluginTagLength("quorpdll.dll", &tag), 0u);
  EXPECT_EQ(PluginStemLength("netlib-12.dll"), 6u);
  EXPECT_EQ(std::string(tag, PluginTagLength("netlib-12.dll", &tag)), "-12");
  EXPECT_EQ(std::string(tag, PluginTagLength("x-3\n", &tag)), "-3\n");
}

TEST(RuntimeConfigRules, VornAndUpdateRewrite) {
  struct Case {
    const char* installed;
    const char* expected;
  } cases[] = {
      {"update 5\r\nvornpath c\r\n  VORN 2\r\nkeep\r\n",
       "update auto\r\nvorn x\r\nvorn x\r\nkeep\r\n"},
      // A turned line keeps its line end; one without gets CR LF.
      {"UPDATE no\nupdate again\n", "update auto\nupdate auto\n"},
      {"vorn 4.10\rupdate 5\ruser keepme\r",
       "vorn x\rupdate auto\ruser keepme\r"},
      {"vorn 1\r\nupdate 2\rk\nvorn 3", "vorn x\r\nupdate auto\rk\nvorn x\r\n"},
      // No match: byte-identical, whatever the line ends.
      {"a\nb\r\n\tc 1\r\nlast", "a\nb\r\n\tc 1\r\nlast"},
      {"a\rb\r\n\r\rc\n\n", "a\rb\r\n\r\rc\n\n"},
  };
  for (const Case& c : cases) {
    ByteBuffer out;
    ASSERT_TRUE(RewriteVornLines(Text(c.installed), "x", "auto", out));
    EXPECT_EQ(Bytes(out), c.expected) << c.installed;
  }
}

TEST(RuntimeConfigRules, UpdateLineScan) {
  struct Case {
    std::string contents;
    bool allows;
  } cases[] = {
      {"update no\r\n", true},
      {"UPDATE NO\r\n", true},
      {"update auto\r\n", false},
      {"update 2.1\r\n", true},
      {"update 2.0\r\n", true},
      {"update 1.9\r\n", false},
      {"update 10.0\r\n", false},  // text order
      {"update\r\nvorn 1\r\n", false},
      {"update\tno\r\n", false},  // a tab ends the line: two lone words
      {"update\r\nupdate no\r\n", true},
      {std::string(2040, '#') + "\nupdate no\n", false},  // beyond the scan
      {std::string(600, 'x') + "\nupdate no\n", false},   // a long run ends it
      {"vorn 1\r\n", false},
      // Any line end separates lines.
      {"vorn 1\rupdate no\r", true},
      {"vorn 1\nupdate 1.0\n", false},
      {"vorn 1\rupdate\rno\r", false},
      {"x\r\nupdate 2.5\rvorn 1\n", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpdateLineAllows(c.contents.data(), c.contents.size(), "2.0"),
              c.allows)
        << c.contents.substr(0, 40);
  }
}

TEST(RuntimeConfigRules, LongLinesAreWholeLines) {
  for (size_t length : {1022u, 1023u, 1024u, 5000u}) {
    // A long line whose tail would begin with a keyword if it were split.
    std::string filler(length - 11, 'a');
    std::string installed = "k " + filler + "update 9\r\nplugin " +
                            std::string(length, 'p') + ".dll\r\n";
    std::string shipped = "plugin " + std::string(length, 'p') + ".dll new\r\n";
    ByteBuffer merged, rewritten;
    ASSERT_TRUE(MergePluginLines(Text(installed), Text(shipped), merged));
    const std::string expectedMerge = "k " + filler + "update 9\r\n" + shipped;
    EXPECT_EQ(Bytes(merged), expectedMerge) << length;
    ASSERT_TRUE(RewriteVornLines(Text(Bytes(merged)), "x", "auto", rewritten));
    EXPECT_EQ(Bytes(rewritten), expectedMerge) << length;
  }
}

}  // namespace

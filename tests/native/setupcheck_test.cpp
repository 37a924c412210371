// setupcheck on small broken scripts: each finding with its exact file,
// line and kind; files that are no regular files; the bundled example
// clean; the JSON form read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "checker/command_facts.h"
#include "checker/script_check.h"

namespace {

// Contents that make a file something else than a regular file.
const char kNamedPipe[] = "<named pipe>";
const char kDirectory[] = "<directory>";
const char kAbsent[] = "<absent>";  // as the language file: none at all

struct CheckCase {
  const char* name;
  std::map<std::string, std::string> files;  // setup.ini and others
  std::string expected;  // the text report, or "exit 2: " and why
};

// setup.ini and c1.ini ... c<calls>.ini, each including the next: a chain
// of calls + 1 section runs.
std::map<std::string, std::string> IncludeChain(int calls) {
  std::map<std::string, std::string> files = {
      {"setup.ini", "[Setup]\nInclude \"c1.ini\" \"S\"\n"}};
  for (int n = 1; n <= calls; ++n) {
    std::string next = "c" + std::to_string(n + 1) + ".ini";
    files["c" + std::to_string(n) + ".ini"] =
        n == calls ? "[S]\n" : "[S]\nInclude \"" + next + "\" \"S\"\n";
  }
  return files;
}

const CheckCase kCases[] = {
    {"UnknownKeyword", {{"setup.ini", "[Setup]\nCpy \"a\"\n"}},
     "setup.ini:2: error: unknown keyword \"Cpy\"\n"},
    {"IfWithoutEndif", {{"setup.ini", "[Setup]\nIf\nset A \"1\"\n"}},
     "setup.ini:2: error: If without Endif\n"},
    {"NestedIf", {{"setup.ini", "[Setup]\nIf\nIf\nEndif\nEndif\n"}},
     "setup.ini:3: error: If inside the If of line 2: blocks do not nest, the inner Else "
     "or Endif ends the outer skip\n"},
    {"ElseWithoutIf", {{"setup.ini", "[Setup]\nElse\nEndif\n"}},
     "setup.ini:2: error: Else without If\n"},
    {"SkipRunsIntoTheNextSection",
     {{"setup.ini", "[Setup]\nIf\nset A \"1\"\n[Next]\nEndif\n"}},
     "setup.ini:2: error: If has no Endif before its section ends: its skip would run "
     "into the next section\nsetup.ini:4: warning: no statement reaches this section\n"},
    {"GotoToAMissingSection", {{"setup.ini", "[Setup]\ngoto \"Instal\"\n[Install]\n"}},
     "setup.ini:2: error: goto names the section [Instal], which this file does not have\n"
     "setup.ini:3: warning: no statement reaches this section\n"},
    {"IncludeOfAMissingFileAndSection",
     {{"setup.ini", "[Setup]\nInclude \"other.ini\" \"Part\"\nInclude \"none.ini\" \"Part\"\n"},
      {"other.ini", "[Elsewhere]\n"}},
     "setup.ini:2: error: Include names the section [Part], which \"other.ini\" does not "
     "have\nsetup.ini:3: error: Include names the file \"none.ini\", which cannot be read\n"},
    {"LanguageFileWithoutItsSection",
     {{"setup.ini", "[Setup]\nGetSystemVars\nInclude languagefile \"Messages\"\n"},
      {"setup.English.txt", "[Messages]\nset ERROR_TTL \"e\"\nset ERROR_INI_INC \"i\"\n"},
      {"setup.German.txt", "[Meldungen]\nset ERROR_TTL \"e\"\nset ERROR_INI_INC \"i\"\n"}},
     "setup.ini:3: error: Include names the section [Messages], which "
     "\"setup.German.txt\" does not have\n"},
    {"ErrorsInAnIncludedFile",
     {{"setup.ini", "[Setup]\nInclude \"other.ini\" \"Part\"\n"},
      {"other.ini", "[Part]\nBogus\n"}},
     "other.ini:2: error: unknown keyword \"Bogus\"\n"},
    {"NoSetupSection", {{"setup.ini", "[Install]\n"}},
     "setup.ini:0: error: no [Setup] section\n"
     "setup.ini:1: warning: no statement reaches this section\n"},
    {"UninstallEntryWithoutUninstallSection",
     {{"setup.ini", "[Setup]\nSetUninstall \"Vorn\" \"u.exe\"\n"}},
     "setup.ini:0: error: SetUninstall writes an uninstall entry, but there is no "
     "[Uninstall] section\n"},
    {"OverLongLine", {{"setup.ini", "[Setup]\nset A \"" + std::string(1100, 'x') + "\"\n"}},
     "setup.ini:2: error: line of 1108 bytes: setup reads at most 1023\n"},
    {"MoreArgumentsThanTheCommandTakes", {{"setup.ini", "[Setup]\nIsSilent \"x\"\n"}},
     "setup.ini:2: warning: IsSilent takes 0 arguments; the rest is ignored\n"},
    {"TextAfterTheSecondArgument", {{"setup.ini", "[Setup]\nset A \"1\" ; a note\n"}},
     "setup.ini:2: warning: text after the second argument is ignored: \"; a note\" (a ';' "
     "there is no comment)\n"},
    {"VariableReadButNeverSet", {{"setup.ini", "[Setup]\nMsgBoxOK NOTHING \"t\"\n"}},
     "setup.ini:2: warning: NOTHING is read but never set\n"},
    {"MessageMissingInOneLanguageFile",
     {{"setup.ini", "[Setup]\nMsgBoxOK HELLO \"t\"\n"},
      {"setup.English.txt", "[M]\nset ERROR_TTL \"e\"\nset HELLO \"Hello\"\n"},
      {"setup.German.txt", "[M]\nset ERROR_TTL \"e\"\n"}},
     "setup.ini:2: warning: HELLO is not defined in setup.German.txt\n"},
    {"ProgramMessagesNeverDefined",
     {{"setup.ini", "[Setup]\nMkDir \"x\"\n"}, {"setup.English.txt", kAbsent}},
     "setup.ini:2: warning: MkDir shows the message CREATING_DIR_MSG, which is never set\n"
     "setup.ini:2: warning: MkDir shows the message ERROR_COPY_TTL, which is never set\n"
     "setup.ini:2: warning: MkDir shows the message ERROR_CRDIR_MSG, which is never set\n"},
    {"KeyOnlyOneLanguageFileDefines",
     {{"setup.ini", "[Setup]\n"},
      {"setup.English.txt", "[M]\nset ERROR_TTL \"e\"\nset EXTRA \"x\"\n"},
      {"setup.German.txt", "[M]\nset ERROR_TTL \"e\"\n"}},
     "setup.German.txt:0: warning: defines no EXTRA, which setup.English.txt defines\n"},
    {"SetupTypesWithAGap",
     {{"setup.ini", "[Setup]\n"},
      {"setup.English.txt", "[M]\nset ERROR_TTL \"e\"\nset SETUPTYPE0 \"a\"\n"
                            "set SETUPTYPE2 \"c\"\n"}},
     "setup.English.txt:4: warning: SETUPTYPE2 follows a gap: SETUPTYPE1 is not defined\n"},
    {"SectionThatCallsItself", {{"setup.ini", "[Setup]\nset A \"1\"\ngoto \"Setup\"\n"}},
     "setup.ini:3: error: [Setup] of setup.ini calls itself through this line on every run: "
     "setup stops at its nesting limit of 64 levels\n"},
    {"QuotedVariableName", {{"setup.ini", "[Setup]\nStrcat \"A\" \"b\"\nset \"B\" \"1\"\n"}},
     "setup.ini:2: warning: Strcat takes a variable's name first; the quoted \"A\" is taken "
     "as a name as written\nsetup.ini:3: warning: set takes a variable's name first; the "
     "quoted \"B\" is taken as a name as written\n"},
    // What one language file sets holds for that language alone, also
    // when the script runs the file's section.
    {"MessageMissingInOneLanguageFileThroughInclude",
     {{"setup.ini", "[Setup]\nGetSystemVars\nInclude languagefile \"Messages\"\n"
                    "MsgBoxOK DONE_MSG SETUPNAME\n"},
      {"setup.English.txt", "[Messages]\nset SETUPNAME \"Vorn\"\nset DONE_MSG \"Done.\"\n"},
      {"setup.German.txt", "[Messages]\nset SETUPNAME \"Vorn\"\n"}},
     "setup.ini:4: warning: DONE_MSG is not defined in setup.German.txt\n"},
    // An error's messages count only where the error can happen.
    {"CallsToSectionsThatExistNeedNoErrorMessages",
     {{"setup.ini", "[Setup]\ngoto \"Install\"\nInclude \"other.ini\" \"Part\"\n"
                    "[Install]\n"},
      {"other.ini", "[Part]\n"},
      {"setup.English.txt", kAbsent}},
     ""},
    {"ClosedBlocksNeedNoErrorMessages",
     {{"setup.ini", "[Setup]\nIf\nset A \"1\"\nElse\nset A \"2\"\nEndif\nIf\nEndif\n"},
      {"setup.English.txt", kAbsent}},
     ""},
    {"ErrorMessagesWhereTheErrorCanHappen",
     {{"setup.ini", "[Install]\n[Setup]\ngoto \"Install\"\nIf\nEndif\nset T \"Install\"\n"
                    "goto T\nIf\nElse\n"},
      {"setup.English.txt", kAbsent}},
     "setup.ini:8: error: If without Endif\n"
     "setup.ini:7: warning: goto shows the message ERROR_INI_INC, which is never set\n"
     "setup.ini:9: warning: Else shows the message ERROR_SYNTAX, which is never set\n"
     "setup.ini:7: warning: goto shows the message ERROR_TTL, which is never set\n"},
    {"CdTakesItsFolderAsWritten",
     {{"setup.ini", "[Setup]\nCD \"C:\\Vorn\"\nExist \"zek.ini\"\nCD \"..\"\nCD DSTDIR\n"}},
     ""},
    // setup.exe refuses a call past its nesting limit and ends with exit 1.
    {"IncludeCycle", {{"setup.ini", "[Setup]\nset A \"1\"\nInclude \"setup.ini\" \"Setup\"\n"}},
     "setup.ini:3: error: [Setup] of setup.ini calls itself through this line on every run: "
     "setup stops at its nesting limit of 64 levels\n"},
    // [Loop] returns before it calls itself when its condition holds.
    {"IncludeCycleThroughTwoFiles",
     {{"setup.ini", "[Setup]\nInclude \"a.ini\" \"A\"\nInclude \"a.ini\" \"Loop\"\n"},
      {"a.ini", "[A]\nIf\nset X \"1\"\nEndif\nInclude \"b.ini\" \"B\"\n"
                "[Loop]\nIf\nreturn\nEndif\nInclude \"a.ini\" \"Loop\"\n"},
      {"b.ini", "[B]\nInclude \"a.ini\" \"A\"\n"}},
     "b.ini:2: error: [A] of a.ini calls itself through this line on every run: setup stops "
     "at its nesting limit of 64 levels\n"},
    {"IncludeChainPastTheNestingLimit", IncludeChain(64),
     "c63.ini:2: error: calls nest deeper than setup's limit of 64 levels from [Setup] of "
     "setup.ini: setup stops at this line\n"},
    // Only regular files are read: a named pipe never holds the check up.
    {"ScriptIsADirectory", {{"setup.ini", kDirectory}},
     "exit 2: cannot read setup.ini: not a regular file\n"},
    {"ScriptIsANamedPipe", {{"setup.ini", kNamedPipe}},
     "exit 2: cannot read setup.ini: not a regular file\n"},
    {"IncludedFileIsANamedPipe",
     {{"setup.ini", "[Setup]\nInclude \"pipe.ini\" \"Part\"\n"}, {"pipe.ini", kNamedPipe}},
     "setup.ini:2: error: Include names the file \"pipe.ini\", which cannot be read\n"},
    {"LanguageFileIsANamedPipe",
     {{"setup.ini", "[Setup]\nGetSystemVars\nInclude languagefile \"Messages\"\n"},
      {"setup.English.txt", "[Messages]\nset A \"1\"\n"},
      {"setup.Pipe.txt", kNamedPipe}},
     "setup.ini:3: error: Include names the file \"setup.Pipe.txt\", which cannot be read\n"},
};

class SetupCheck : public ::testing::TestWithParam<CheckCase> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorn-check-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    ASSERT_EQ(system(("rm -rf '" + dir_ + "'").c_str()), 0);
  }
  std::string dir_;
};

TEST_P(SetupCheck, ReportsTheFileLineAndKind) {
  // The program's messages, unless the case brings its own language files.
  bool ownLanguageFiles = false;
  for (const auto& file : GetParam().files) {
    ownLanguageFiles = ownLanguageFiles ||
                       (file.first.compare(0, 6, "setup.") == 0 && file.first != "setup.ini");
  }
  if (!ownLanguageFiles) {
    std::ofstream(dir_ + "/setup.English.txt", std::ios::binary)
        << "[Messages]\nset ERROR_TTL \"e\"\nset ERROR_SYNTAX \"s\"\n"
           "set ERROR_INI_INC \"i\"\nset SETUPNAME \"n\"\n";
  }
  for (const auto& file : GetParam().files) {
    std::string path = dir_ + "/" + file.first;
    if (file.second == kAbsent) {
      continue;
    } else if (file.second == kNamedPipe) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (file.second == kDirectory) {
      ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    } else {
      std::ofstream(path, std::ios::binary) << file.second;
    }
  }
  std::vector<Finding> findings;
  std::string problem, report;
  if (CheckScript(dir_, "setup.ini", &findings, &problem)) {
    report = FindingsAsText(findings);
  } else {
    size_t at = problem.find(dir_ + "/");
    if (at != std::string::npos) problem.erase(at, dir_.size() + 1);
    report = "exit 2: " + problem + "\n";
  }
  EXPECT_EQ(report, GetParam().expected);
}

std::string CaseName(const ::testing::TestParamInfo<CheckCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, SetupCheck, ::testing::ValuesIn(kCases), CaseName);

TEST(SetupCheckRun, TheExampleIsCleanAndAMissingScriptCannotBeRead) {
  std::vector<Finding> findings;
  std::string problem;
  ASSERT_TRUE(CheckScript(std::string(VORN_SOURCE_DIR) + "/examples", "setup.ini",
                          &findings, &problem));
  EXPECT_EQ(FindingsAsText(findings), "");
  EXPECT_FALSE(CheckScript("/nonexistent", "setup.ini", &findings, &problem));
}

// The first two words of each line of a file, upper-cased, as a statement
// of the language has them.
std::vector<std::pair<std::string, std::string>> LeadingWords(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::pair<std::string, std::string>> found;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string first, second;
    words >> first >> second;
    for (std::string* word : {&first, &second}) {
      for (char& c : *word) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    found.push_back({first, second});
  }
  return found;
}

// Every message that a command of the example's script can show, as its
// command-table row says, is defined in each of the example's language
// files; and every row's conditions are ones the rows know.
TEST(SetupCheckRun, TheExampleLanguageFilesDefineWhatItsCommandsShow) {
  for (int i = 0; i < kCommandTableSize; ++i) {
    EXPECT_EQ(kCommandFacts[i].id, kCommandTable[i].id) << kCommandTable[i].keyword;
    std::vector<ShownMessage> shown;
    EXPECT_TRUE(ShownMessages(kCommandTable[i], &shown)) << kCommandTable[i].keyword;
  }
  std::string examples = std::string(VORN_SOURCE_DIR) + "/examples/";
  std::map<std::string, std::string> shownBy;  // key -> a command that shows it
  for (const auto& words : LeadingWords(examples + "setup.ini")) {
    CommandId id = FindCommand(words.first.c_str());
    if (id == kCmdInvalid) continue;
    std::vector<ShownMessage> shown;
    ShownMessages(*CommandRowOf(id), &shown);
    for (const ShownMessage& message : shown) {
      shownBy.emplace(message.key, CommandRowOf(id)->keyword);
    }
  }
  ASSERT_GT(shownBy.size(), 20u);  // the example shows dialogs, status lines and errors
  for (const char* language : {"setup.English.txt", "setup.German.txt"}) {
    std::set<std::string> defined;
    for (const auto& words : LeadingWords(examples + language)) {
      if (words.first == "SET") defined.insert(words.second);
    }
    for (const auto& key : shownBy) {
      EXPECT_TRUE(defined.count(key.first))
          << language << " lacks " << key.first << ", which " << key.second << " shows";
    }
  }
}

// A reader of exactly the JSON the report uses: an array of flat objects
// with string and number members (\u00XX read back as that byte).
class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}
  bool ReadArray(std::vector<std::map<std::string, std::string>>* objects) {
    if (!Take('[')) return false;
    if (Take(']')) return AtEnd();
    do {
      std::map<std::string, std::string> object;
      if (!ReadObject(&object)) return false;
      objects->push_back(object);
    } while (Take(','));
    return Take(']') && AtEnd();
  }

 private:
  void Skip() {
    while (at_ < text_.size() && isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool Take(char c) {
    Skip();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool AtEnd() {
    Skip();
    return at_ == text_.size();
  }
  bool ReadString(std::string* out) {
    if (!Take('"')) return false;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (c == '\\') {
        if (at_ >= text_.size()) return false;
        c = text_[at_++];
        if (c == 'u') {
          if (at_ + 4 > text_.size()) return false;
          c = static_cast<char>(strtol(text_.substr(at_, 4).c_str(), nullptr, 16));
          at_ += 4;
        }
      }
      out->push_back(c);
    }
    return Take('"');
  }
  bool ReadValue(std::string* out) {
    Skip();
    if (at_ < text_.size() && text_[at_] == '"') return ReadString(out);
    while (at_ < text_.size() && isdigit(static_cast<unsigned char>(text_[at_]))) {
      out->push_back(text_[at_++]);
    }
    return !out->empty();
  }
  bool ReadObject(std::map<std::string, std::string>* object) {
    if (!Take('{')) return false;
    do {
      std::string name, value;
      if (!ReadString(&name) || !Take(':') || !ReadValue(&value)) return false;
      (*object)[name] = value;
    } while (Take(','));
    return Take('}');
  }
  const std::string& text_;
  size_t at_ = 0;
};

TEST(SetupCheckRun, TheJsonFormReadsBack) {
  std::vector<Finding> findings = {
      {"setup.ini", 2, true, "unknown keyword \"Cpy\\x\xe9\"\n"},
      {"other.ini", 0, false, "no [Setup] section"},
  };
  std::string json = FindingsAsJson(findings);
  std::vector<std::map<std::string, std::string>> objects;
  ASSERT_TRUE(JsonReader(json).ReadArray(&objects)) << json;
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]["file"], "setup.ini");
  EXPECT_EQ(objects[0]["line"], "2");
  EXPECT_EQ(objects[0]["severity"], "error");
  EXPECT_EQ(objects[0]["message"], "unknown keyword \"Cpy\\x\xe9\"\n");
  for (unsigned char c : json) EXPECT_LT(c, 0x80) << "an ANSI byte is not escaped: " << json;
  EXPECT_EQ(objects[1]["severity"], "warning");
  std::vector<std::map<std::string, std::string>> none;
  EXPECT_TRUE(JsonReader(FindingsAsJson({})).ReadArray(&none));
  EXPECT_TRUE(none.empty());
}

}  // namespace

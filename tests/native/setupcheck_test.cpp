// setupcheck on small broken scripts: each finding with its exact file,
// line and kind; the bundled example clean; the JSON form read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "checker/script_check.h"

namespace {

struct CheckCase {
  const char* name;
  std::map<std::string, std::string> files;  // setup.ini and others
  std::string expected;                      // the text report
};

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
    {"ProgramMessagesNeverDefined", {{"setup.ini", "[Setup]\nMkDir \"x\"\n"}},
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
     "setup.ini:3: warning: the section calls itself on every run: it never ends before the "
     "nesting limit\n"},
    {"QuotedVariableName", {{"setup.ini", "[Setup]\nStrcat \"A\" \"b\"\nset \"B\" \"1\"\n"}},
     "setup.ini:2: warning: Strcat takes a variable's name first; the quoted \"A\" is taken "
     "as a name as written\nsetup.ini:3: warning: set takes a variable's name first; the "
     "quoted \"B\" is taken as a name as written\n"},
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
  if (std::string(GetParam().name) == "ProgramMessagesNeverDefined") {
    unlink((dir_ + "/setup.English.txt").c_str());
  }
  for (const auto& file : GetParam().files) {
    std::ofstream(dir_ + "/" + file.first, std::ios::binary) << file.second;
  }
  std::vector<Finding> findings;
  std::string problem;
  ASSERT_TRUE(CheckScript(dir_, "setup.ini", &findings, &problem)) << problem;
  EXPECT_EQ(FindingsAsText(findings), GetParam().expected);
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

// A reader of exactly the JSON the report uses: an array of flat objects
// with string and number members.
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
      {"setup.ini", 2, true, "unknown keyword \"Cpy\\x\"\n"},
      {"other.ini", 0, false, "no [Setup] section"},
  };
  std::string json = FindingsAsJson(findings);
  std::vector<std::map<std::string, std::string>> objects;
  ASSERT_TRUE(JsonReader(json).ReadArray(&objects)) << json;
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]["file"], "setup.ini");
  EXPECT_EQ(objects[0]["line"], "2");
  EXPECT_EQ(objects[0]["severity"], "error");
  EXPECT_EQ(objects[0]["message"], "unknown keyword \"Cpy\\x\"\n");
  EXPECT_EQ(objects[1]["severity"], "warning");
  std::vector<std::map<std::string, std::string>> none;
  EXPECT_TRUE(JsonReader(FindingsAsJson({})).ReadArray(&none));
  EXPECT_TRUE(none.empty());
}

}  // namespace

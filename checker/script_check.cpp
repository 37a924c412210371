// The checks of setupcheck, each as the program would meet the script:
// keywords, If/Else/Endif as the runner skips, call targets, the sections
// setup.exe starts from, line lengths, arguments that must be variable
// names, and sections nothing reaches.
#include "checker/script_check.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "script/command_table.h"
#include "script/statement.h"
#include "script/text.h"

namespace {

struct Line {
  long number;
  std::string text;  // without its line end
};

struct ScriptText {
  std::string name;
  std::vector<Line> lines;
  std::map<std::string, long> sections;  // upper-cased name -> label line
};

std::string Upper(std::string text) {
  for (char& c : text) c = FoldAscii(c);
  return text;
}

bool ReadScript(const std::string& directory, const std::string& name,
                ScriptText* script) {
  std::ifstream in(directory + "/" + name, std::ios::binary);
  if (!in) return false;
  script->name = name;
  std::string text;
  long number = 0;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    script->lines.push_back(Line{++number, text});
  }
  return true;
}

// The section name of a label line, or "" when the line is no label.
std::string LabelOf(const std::string& text) {
  char copy[kLineMax];
  CopyText(copy, text.c_str());
  const char* p = SkipBlanks(copy);
  if (*p != '[') return "";
  std::string name(p + 1);
  size_t close = name.find(']');
  return close == std::string::npos ? name : name.substr(0, close);
}

void IndexSections(ScriptText* script) {
  for (const Line& line : script->lines) {
    std::string label = LabelOf(line.text);
    if (!label.empty() && !script->sections.count(Upper(label))) {
      script->sections[Upper(label)] = line.number;
    }
  }
}

// One statement as the parser reads it.
struct Parsed {
  CommandId id = kCmdInvalid;
  std::string keyword;
  std::string text1, text2;
  bool quoted1 = false, quoted2 = false;
  int given = 0;         // arguments written
  std::string ignored;   // text after the second argument
};

bool ParseLine(const std::string& text, Parsed* out) {
  char copy[kLineMax];
  CopyText(copy, text.c_str());
  char* pos = SkipBlanks(copy);
  if (*pos == 0 || *pos == ';' || *pos == '[') return false;
  char* start = pos;
  out->id = LookupKeyword(&pos);
  out->keyword = start;
  if (out->id == kCmdInvalid) return true;
  Argument first = ReadArgument(&pos);
  out->text1 = first.text;
  out->quoted1 = first.nameFlag == 0;
  Argument second = ReadArgument(&pos);
  out->text2 = second.text;
  out->quoted2 = second.nameFlag == 0;
  out->given = (out->quoted2 || !out->text2.empty()) ? 2
               : (out->quoted1 || !out->text1.empty()) ? 1 : 0;
  out->ignored = SkipBlanks(pos);
  return true;
}

// How many arguments each command reads: the command table's count, and
// the slots its handler reads beyond that.
int ArgumentsRead(CommandId id) {
  switch (id) {
    case kCmdCopy: case kCmdMove: case kCmdDeltree: case kCmdUnregister:
    case kCmdMkDir: case kCmdDelete: case kCmdQuit: case kCmdQuiterr:
    case kCmdInclude:
      return 2;
    case kCmdGetTempFileName: case kCmdDelUninstall:
      return 1;
    default: {
      const CommandRow* row = CommandRowOf(id);
      return row ? row->count : 2;
    }
  }
}

// Whether slot 1 or 2 of a command is read as a value (a bare word there
// names a variable that must be set).
bool ReadsValue(CommandId id, int slot) {
  const CommandRow* row = CommandRowOf(id);
  if (!row || slot > ArgumentsRead(id)) return false;
  SlotUse use = slot == 1 ? row->slot1 : row->slot2;
  if (use == kSlotUnused) return slot == 2;  // read beyond the table's count
  return use == kSlotValue || use == kSlotBoth;
}

// The variables a command sets, besides its written slot.
const char* const* VariablesSetBy(CommandId id) {
  static const char* const kSystem[] = {"SRCDIR", "DSTDIR", "WINDIR", "SYSDIR",
                                        "PROGRAMFILES", "WINDOWSTEMP", "languagefile",
                                        "NETSCAPEPATH", "NETSCAPEDEFAULT", nullptr};
  static const char* const kLines[] = {"TempLine", "TempStripped", nullptr};
  static const char* const kVorn[] = {"VORNpath", nullptr};
  static const char* const kType[] = {"SETUPTYPE", nullptr};
  static const char* const kSmtp[] = {"STMPServer", nullptr};
  static const char* const kLink[] = {"LINKARG", "LINKICO", nullptr};
  static const char* const kVersion[] = {"MAJMIN", nullptr};
  static const char* const kWord[] = {"WORD", "QTSTR", nullptr};
  static const char* const kNone[] = {nullptr};
  switch (id) {
    case kCmdGetSystemVars: return kSystem;
    case kCmdParseFile: return kLines;
    case kCmdDetectVORN: return kVorn;
    case kCmdSetupType: return kType;
    case kCmdGetSMTPServer: return kSmtp;
    case kCmdMkLink: case kCmdCreateSourceLink: case kCmdCreateStartLink:
    case kCmdCreateDesktopLink: return kLink;
    case kCmdGetVersion: return kVersion;
    case kCmdCopyWord: case kCmdMkStr: return kWord;
    default: return kNone;
  }
}

// The messages of the language file that a command shows.
const char* MessagesShownBy(CommandId id) {
  switch (id) {
    case kCmdCopyA: case kCmdCopy: case kCmdCopyS: case kCmdCopyD:
    case kCmdImportOldVorn:
      return "COPY_MSG ERROR_COPY_TTL ERROR_COPY_MSG";
    case kCmdMoveA: case kCmdMove: case kCmdMoveS: case kCmdMoveD:
      return "MOVE_MSG ERROR_MOVE_TTL ERROR_MOVE_MSG";
    case kCmdCopyDir2Dest: return "COPY_MSG ERROR_COPY_TTL ERROR_COPY_MSG";
    case kCmdMkDir: return "CREATING_DIR_MSG ERROR_COPY_TTL ERROR_CRDIR_MSG";
    case kCmdApplyOnFiles: return "SEARCHING_FILES_MSG";
    case kCmdRegister: return "REGISTERING_MSG ERROR_TTL ERROR_LOAD_DLL ERROR_REG_DLL";
    case kCmdUnregister: return "ERROR_TTL ERROR_LOAD_DLL ERROR_UREG_DLL";
    case kCmdMkPgmGroup: return "CREATEPGMGROUP_MSG";
    case kCmdMkLink: case kCmdCreateSourceLink: case kCmdCreateStartLink:
    case kCmdCreateDesktopLink: return "CREATELINK_MSG";
    case kCmdAddPartition: return "ERROR_OPEN_TTL ERROR_OPEN_MSG";
    case kCmdGetVornSettings: return "ERROR_OPEN_TTL ERROR_OPEN_MSG ABORT_MSG SETUPNAME";
    case kCmdIShowInstallDlg:
      return "INTRO APP_TITTLE STATICINSTALLDIR INTROCHDIR_BTN INTROOK_BTN "
             "INTROCANCEL_BTN NEWDIR_TTL NEWDIR_BTN ERROR_TTL ERROR_DIALOG_MSG";
    case kCmdShowFile: return "LICENCE_TTL LICENCEOK_BTN LICENCECANCEL_BTN";
    case kCmdSetupType: return "SETUPTYPE0 ABORT_MSG SETUPNAME";
    case kCmdGetSMTPServer: return "ABORT_MSG SETUPNAME";
    case kCmdIf: case kCmdElse: return "ERROR_TTL ERROR_SYNTAX";
    case kCmdGoto: case kCmdInclude: return "ERROR_TTL ERROR_INI_INC";
    default: return "";
  }
}

class Checker {
 public:
  Checker(const std::string& directory, std::vector<Finding>* findings)
      : directory_(directory), findings_(findings) {}

  void Check(ScriptText& script, bool isMain);
  void CheckReachability(const ScriptText& script);

 private:
  void Report(const ScriptText& script, long line, bool error, const std::string& message) {
    findings_->push_back(Finding{script.name, line, error, message});
  }
  void CheckBlocks(const ScriptText& script);
  void CheckStatement(const ScriptText& script, const Line& line, const Parsed& st);
  void CheckInclude(const ScriptText& script, const Line& line, const Parsed& st);
  std::vector<std::string> LanguageFiles();
  ScriptText* Loaded(const std::string& name);

  std::string directory_;
  std::vector<Finding>* findings_;
  std::map<std::string, ScriptText> loaded_;  // by upper-cased name
  std::set<std::string> checked_;
  bool writesUninstallEntry_ = false;

 public:
  // Variables: where the script sets them, and where it reads them.
  struct Use {
    std::string file;
    long line;
    std::string what;  // "" for a read of the script; a keyword for a message it shows
  };
  std::set<std::string> setByScript_;              // upper-cased names
  std::map<std::string, std::vector<Use>> reads_;  // upper-cased name -> uses
  std::map<std::string, std::string> spelled_;     // upper-cased -> as written
  void NoteVariables(const ScriptText& script, const Line& line, const Parsed& st);
  void CheckVariables();
};

ScriptText* Checker::Loaded(const std::string& name) {
  std::string key = Upper(name);
  auto found = loaded_.find(key);
  if (found != loaded_.end()) return found->second.name.empty() ? nullptr : &found->second;
  ScriptText& script = loaded_[key];
  if (!ReadScript(directory_, name, &script)) return nullptr;
  IndexSections(&script);
  return &script;
}

std::vector<std::string> Checker::LanguageFiles() {
  std::vector<std::string> names;
  DIR* dir = opendir(directory_.c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > 10 && Upper(name.substr(0, 6)) == "SETUP." &&
        Upper(name.substr(name.size() - 4)) == ".TXT") {
      names.push_back(name);
    }
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Blocks do not nest: a skip from If stops at the first Else or Endif of any
// block, and it runs on past the section's end.
void Checker::CheckBlocks(const ScriptText& script) {
  long openIf = 0;
  bool seenElse = false;
  std::string section;
  for (const Line& line : script.lines) {
    if (!LabelOf(line.text).empty() && line.text.find('[') == 0) {
      section = Upper(LabelOf(line.text));
      if (openIf) {
        Report(script, openIf, true, "If has no Endif before its section ends: its skip "
                                     "would run into the next section");
      }
      openIf = 0;
      continue;
    }
    Parsed st;
    if (!ParseLine(line.text, &st) || st.id == kCmdInvalid) continue;
    if (st.id == kCmdGoto && st.quoted1 && !openIf && Upper(st.text1) == section) {
      Report(script, line.number, false, "the section calls itself on every run: it "
                                         "never ends before the nesting limit");
    }
    if (st.id == kCmdIf) {
      if (openIf) {
        Report(script, line.number, true, "If inside the If of line " +
                                              std::to_string(openIf) +
                                              ": blocks do not nest, the inner Else or "
                                              "Endif ends the outer skip");
      }
      openIf = line.number;
      seenElse = false;
    } else if (st.id == kCmdElse) {
      if (!openIf) {
        Report(script, line.number, true, "Else without If");
      } else if (seenElse) {
        Report(script, line.number, true, "a second Else in the If of line " +
                                              std::to_string(openIf));
      }
      seenElse = true;
    } else if (st.id == kCmdEndif) {
      openIf = 0;
    }
  }
  if (openIf) Report(script, openIf, true, "If without Endif");
}

void Checker::CheckInclude(const ScriptText& script, const Line& line, const Parsed& st) {
  if (!st.quoted2) return;  // a section named by a variable is not known here
  std::vector<std::string> files;
  if (st.quoted1) {
    files.push_back(st.text1);
  } else if (EqualsNoCase(st.text1.c_str(), "languagefile")) {
    files = LanguageFiles();
    if (files.empty()) Report(script, line.number, true, "no language file setup.*.txt");
  } else {
    return;
  }
  for (const std::string& file : files) {
    ScriptText* included = Loaded(file);
    if (!included) {
      Report(script, line.number, true, "Include names the file \"" + file +
                                            "\", which cannot be read");
    } else if (!included->sections.count(Upper(st.text2))) {
      Report(script, line.number, true, "Include names the section [" + st.text2 +
                                            "], which \"" + file + "\" does not have");
    } else if (!checked_.count(Upper(file))) {
      checked_.insert(Upper(file));
      Check(*included, false);
    }
  }
}

void Checker::CheckStatement(const ScriptText& script, const Line& line, const Parsed& st) {
  const CommandRow* row = CommandRowOf(st.id);
  if (row && row->slot1 != kSlotValue && row->slot1 != kSlotUnused && st.quoted1) {
    Report(script, line.number, false, std::string(row->keyword) +
               " takes a variable's name first; the quoted \"" + st.text1 +
               "\" is taken as a name as written");
  }
  if (st.id == kCmdGoto && st.quoted1 && !script.sections.count(Upper(st.text1))) {
    Report(script, line.number, true, "goto names the section [" + st.text1 +
                                          "], which this file does not have");
  }
  if (st.id == kCmdInclude) CheckInclude(script, line, st);
  if (st.id == kCmdSetUninstall) writesUninstallEntry_ = true;
  if (st.given > ArgumentsRead(st.id)) {
    Report(script, line.number, false, std::string(row->keyword) + " takes " +
               std::to_string(ArgumentsRead(st.id)) + " argument" +
               (ArgumentsRead(st.id) == 1 ? "" : "s") + "; the rest is ignored");
  } else if (!st.ignored.empty()) {
    Report(script, line.number, false, "text after the second argument is ignored: \"" +
                                           st.ignored + "\" (a ';' there is no comment)");
  }
}

void Checker::NoteVariables(const ScriptText& script, const Line& line, const Parsed& st) {
  const CommandRow* row = CommandRowOf(st.id);
  if (row && (row->slot1 == kSlotWritten || row->slot1 == kSlotBoth) && !st.text1.empty()) {
    setByScript_.insert(Upper(st.text1));
  }
  for (const char* const* name = VariablesSetBy(st.id); *name; ++name) {
    setByScript_.insert(Upper(*name));
  }
  for (int slot = 1; slot <= 2; ++slot) {
    const std::string& text = slot == 1 ? st.text1 : st.text2;
    bool quoted = slot == 1 ? st.quoted1 : st.quoted2;
    if (quoted || text.empty() || !ReadsValue(st.id, slot)) continue;
    reads_[Upper(text)].push_back(Use{script.name, line.number, ""});
    spelled_.emplace(Upper(text), text);
  }
  std::istringstream keys(MessagesShownBy(st.id));
  for (std::string key; keys >> key;) {
    reads_[Upper(key)].push_back(Use{script.name, line.number, row->keyword});
    spelled_.emplace(Upper(key), key);
  }
}

void Checker::Check(ScriptText& script, bool isMain) {
  if (isMain) checked_.insert(Upper(script.name));
  for (const Line& line : script.lines) {
    if (line.text.size() > kLineMax - 1) {
      Report(script, line.number, true, "line of " + std::to_string(line.text.size()) +
                                            " bytes: setup reads at most " +
                                            std::to_string(kLineMax - 1));
      continue;
    }
    Parsed st;
    if (!ParseLine(line.text, &st)) continue;
    if (st.id == kCmdInvalid) {
      Report(script, line.number, true, "unknown keyword \"" + st.keyword + "\"");
      continue;
    }
    CheckStatement(script, line, st);
    NoteVariables(script, line, st);
  }
  CheckBlocks(script);
  if (!isMain) return;
  if (!script.sections.count("SETUP")) Report(script, 0, true, "no [Setup] section");
  if (writesUninstallEntry_ && !script.sections.count("UNINSTALL")) {
    Report(script, 0, true, "SetUninstall writes an uninstall entry, but there is no "
                            "[Uninstall] section");
  }
  CheckReachability(script);
  CheckVariables();
}

namespace {

// The variables a language file sets, upper-cased, with their lines; their
// spelling goes to `spelled`.
std::map<std::string, long> SetInLanguageFile(const ScriptText& file,
                                              std::map<std::string, std::string>* spelled) {
  std::map<std::string, long> names;
  for (const Line& line : file.lines) {
    Parsed st;
    if (ParseLine(line.text, &st) && st.id == kCmdSet && !st.text1.empty()) {
      names.emplace(Upper(st.text1), line.number);
      spelled->emplace(Upper(st.text1), st.text1);
    }
  }
  return names;
}

}  // namespace

// Every variable read must be set by the script, the program or every
// language file; language files define the same keys; setup types have no
// gaps.
void Checker::CheckVariables() {
  std::vector<std::string> languages = LanguageFiles();
  std::map<std::string, std::map<std::string, long>> defined;  // file -> names
  for (const std::string& name : languages) {
    ScriptText* file = Loaded(name);
    if (file) defined[name] = SetInLanguageFile(*file, &spelled_);
  }
  for (const auto& read : reads_) {
    if (setByScript_.count(read.first)) continue;
    std::vector<std::string> lacking;
    for (const auto& language : defined) {
      if (!language.second.count(read.first)) lacking.push_back(language.first);
    }
    const Use& first = read.second.front();
    const std::string& name = spelled_[read.first];
    std::string who = first.what.empty() ? "" : first.what + " shows the message ";
    if (lacking.size() == defined.size()) {
      findings_->push_back(Finding{first.file, first.line, false,
                                   (who.empty() ? name + " is read but never set"
                                                : who + name + ", which is never set")});
      continue;
    }
    for (const std::string& language : lacking) {
      findings_->push_back(Finding{first.file, first.line, false,
                                   (who.empty() ? name : who + name) + " is not defined in " +
                                       language});
    }
  }
  // Keys that one language file defines and another lacks (those the script
  // reads are reported where it reads them).
  std::map<std::string, std::string> firstDefinedIn;  // key -> language file
  for (const auto& language : defined) {
    for (const auto& key : language.second) firstDefinedIn.emplace(key.first, language.first);
  }
  for (const auto& language : defined) {
    for (const auto& key : firstDefinedIn) {
      if (language.second.count(key.first) || reads_.count(key.first)) continue;
      findings_->push_back(Finding{language.first, 0, false, "defines no " +
                                   spelled_[key.first] + ", which " + key.second +
                                   " defines"});
    }
  }
  for (const auto& language : defined) {
    int lastDefined = -1;
    for (int n = 0; n <= 9; ++n) {
      std::string key = "SETUPTYPE" + std::to_string(n);
      auto found = language.second.find(key);
      if (found == language.second.end()) continue;
      if (n != lastDefined + 1) {
        findings_->push_back(Finding{language.first, found->second, false,
                                     key + " follows a gap: SETUPTYPE" +
                                         std::to_string(lastDefined + 1) +
                                         " is not defined"});
      }
      lastDefined = n;
    }
  }
}

// Sections that [Setup] and [Uninstall] never reach through goto, ParseFile
// or ApplyOnFiles with a quoted section name.
void Checker::CheckReachability(const ScriptText& script) {
  std::set<std::string> reached;
  std::vector<std::string> pending = {"SETUP", "UNINSTALL"};
  std::map<std::string, std::vector<std::string>> calls;
  std::string current;
  bool dynamic = false;
  for (const Line& line : script.lines) {
    std::string label = LabelOf(line.text);
    if (!label.empty() && line.text.find('[') == 0) {
      current = Upper(label);
      continue;
    }
    Parsed st;
    if (!ParseLine(line.text, &st) || st.id == kCmdInvalid) continue;
    if (st.id == kCmdGoto) {
      if (st.quoted1) calls[current].push_back(Upper(st.text1)); else dynamic = true;
    } else if (st.id == kCmdParseFile || st.id == kCmdApplyOnFiles) {
      if (st.quoted2) calls[current].push_back(Upper(st.text2)); else dynamic = true;
    }
  }
  if (dynamic) return;  // a section named by a variable may be any
  while (!pending.empty()) {
    std::string name = pending.back();
    pending.pop_back();
    if (!reached.insert(name).second) continue;
    for (const std::string& next : calls[name]) pending.push_back(next);
  }
  for (const auto& section : script.sections) {
    if (!reached.count(section.first)) {
      Report(script, section.second, false, "no statement reaches this section");
    }
  }
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

bool CheckScript(const std::string& directory, const std::string& scriptName,
                 std::vector<Finding>* findings, std::string* problem) {
  ScriptText script;
  if (!ReadScript(directory, scriptName, &script)) {
    *problem = "cannot read " + directory + "/" + scriptName;
    return false;
  }
  IndexSections(&script);
  Checker checker(directory, findings);
  checker.Check(script, true);
  return true;
}

std::string FindingsAsText(const std::vector<Finding>& findings) {
  std::ostringstream out;
  for (const Finding& f : findings) {
    out << f.file << ":" << f.line << ": " << (f.error ? "error" : "warning") << ": "
        << f.message << "\n";
  }
  return out.str();
}

std::string FindingsAsJson(const std::vector<Finding>& findings) {
  std::ostringstream out;
  out << "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out << (i ? ",\n " : "\n ") << "{\"file\": " << JsonString(f.file)
        << ", \"line\": " << f.line << ", \"severity\": \""
        << (f.error ? "error" : "warning") << "\", \"message\": " << JsonString(f.message)
        << "}";
  }
  out << (findings.empty() ? "]\n" : "\n]\n");
  return out.str();
}

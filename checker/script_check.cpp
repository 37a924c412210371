// The checks of setupcheck, each as the program would meet the script:
// keywords, If/Else/Endif as the runner skips, call targets, the sections
// setup.exe starts from, line lengths, arguments that must be variable
// names, sections nothing reaches, calls that come back into their own run
// or nest past the run-depth limit, and the messages each language file
// must define. Only regular files are read.
#include "checker/script_check.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <sstream>

#include "script/command_table.h"
#include "script/engine.h"
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

// Opening waits for no writer (a named pipe) and translates no line ends.
int ReadOnlyOpenFlags() {
  int flags = O_RDONLY;
#ifdef O_NONBLOCK
  flags |= O_NONBLOCK;
#endif
#ifdef O_BINARY
  flags |= O_BINARY;
#endif
  return flags;
}

// The whole content of a regular file. A named pipe, a device or a
// directory is refused as it is opened, without a byte read from it.
bool ReadRegularFile(const std::string& path, std::string* text, std::string* reason) {
  int fd = open(path.c_str(), ReadOnlyOpenFlags());
  if (fd < 0) {
    *reason = strerror(errno);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    *reason = "not a regular file";
    return false;
  }
  char chunk[16384];
  for (;;) {
    auto got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *reason = strerror(errno);
      close(fd);
      return false;
    }
    if (got == 0) break;
    text->append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  return true;
}

// Lines end at LF; a CR before it is not kept in the line.
void SplitLines(const std::string& text, std::vector<Line>* lines) {
  long number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(Line{++number, line});
    start = end + 1;
  }
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

// A label whose '[' is the line's first byte ends the section run before it.
bool EndsASection(const std::string& text) { return !text.empty() && text[0] == '['; }

bool StartsWithLabelBracket(const std::string& text) {
  char copy[kLineMax];
  CopyText(copy, text.c_str());
  return *SkipBlanks(copy) == '[';
}

void IndexSections(ScriptText* script) {
  for (const Line& line : script->lines) {
    std::string label = LabelOf(line.text);
    if (!label.empty() && !script->sections.count(Upper(label))) {
      script->sections[Upper(label)] = line.number;
    }
  }
}

bool ReadScript(const std::string& directory, const std::string& name,
                ScriptText* script, std::string* reason) {
  std::string text;
  if (!ReadRegularFile(directory + "/" + name, &text, reason)) return false;
  script->name = name;
  SplitLines(text, &script->lines);
  IndexSections(script);
  return true;
}

// The first word of a line as a block skip compares it: up to its first
// blank.
std::string FirstWordOf(const std::string& text) {
  char copy[kLineMax];
  CopyText(copy, text.c_str());
  const char* word = SkipBlanks(copy);
  const char* end = word;
  while (*end && !IsBlank(*end)) ++end;
  return std::string(word, end);
}

// Where a skip from If or Else can stop: the last line of the file whose
// first word is Else, and the last whose first word is Endif (0: none).
struct SkipTargets {
  long lastElse = 0;
  long lastEndif = 0;
};

SkipTargets FindSkipTargets(const ScriptText& script) {
  SkipTargets targets;
  for (const Line& line : script.lines) {
    std::string word = FirstWordOf(line.text);
    if (EqualsNoCase(word.c_str(), "Else")) targets.lastElse = line.number;
    if (EqualsNoCase(word.c_str(), "Endif")) targets.lastEndif = line.number;
  }
  return targets;
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

// Whether slot 1, taken as written, is a variable's name. CD takes its
// folder as written, and that is no variable.
bool FirstSlotNamesAVariable(CommandId id) {
  const CommandRow* row = CommandRowOf(id);
  if (!row || id == kCmdCD) return false;
  return row->slot1 == kSlotWritten || row->slot1 == kSlotBoth;
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

// Every variable a statement sets, as written.
std::vector<std::string> VariablesWrittenBy(const Parsed& st) {
  std::vector<std::string> names;
  if (FirstSlotNamesAVariable(st.id) && !st.text1.empty()) names.push_back(st.text1);
  for (const char* const* name = VariablesSetBy(st.id); *name; ++name) {
    names.push_back(*name);
  }
  return names;
}

// The messages of the language file that a command shows on its ordinary
// paths and on error paths the checker cannot rule out (the disk decides).
// The errors of calls and blocks are judged where they are written.
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
    default: return "";
  }
}

const char kUnclosedBlockMessages[] = "ERROR_TTL ERROR_SYNTAX";
const char kMissingSectionMessages[] = "ERROR_TTL ERROR_INI_INC";
const char kTooDeepMessage[] = "ERROR_TTL";

// A section run: the file as the checker names it and the section,
// both upper-cased.
typedef std::pair<std::string, std::string> SectionKey;

// A call of a section run (goto, Include, ParseFile, ApplyOnFiles), or
// the lines of a label after blanks, which a run goes on into at its level.
struct Call {
  SectionKey target;
  std::string file;     // where it is written
  long line;
  std::string keyword;  // "" for going on into a label's lines
  bool everyRun;        // made on every run of its section
  bool goesOn() const { return keyword.empty(); }
  int levels() const { return goesOn() ? 0 : 1; }
};

struct SectionRun {
  std::string file;   // as named
  std::string label;  // as written
  std::vector<Call> calls;
};

// The section whose run the current line belongs to, with what the lines
// before it in that run decided.
struct OpenRun {
  SectionRun* run = nullptr;
  bool inBlock = false;       // between If or Else and Endif
  bool mayHaveEnded = false;  // after a return, quit or quiterr, in a block or not
  bool everyRun() const { return !inBlock && !mayHaveEnded; }
};

bool EndsTheRun(CommandId id) {
  return id == kCmdReturn || id == kCmdQuit || id == kCmdQuiterr;
}

class Checker {
 public:
  Checker(const std::string& directory, std::vector<Finding>* findings)
      : directory_(directory), findings_(findings) {}

  bool Run(const std::string& scriptName, std::string* problem);

 private:
  // Variables: where the script sets them, and where it reads them.
  struct Use {
    std::string file;
    long line;
    std::string what;  // "" for a read of the script; a keyword for a message it shows
  };
  struct Pending {
    const ScriptText* script;
    bool languageFile;  // reached through languagefile: its values hold for it alone
  };

  void Report(const std::string& file, long line, bool error, const std::string& message) {
    findings_->push_back(Finding{file, line, error, message});
  }
  void Report(const ScriptText& script, long line, bool error, const std::string& message) {
    Report(script.name, line, error, message);
  }
  void QueueFile(const ScriptText& script, bool languageFile);
  void CheckFile(const ScriptText& script, bool languageFile);
  void CheckStartSections(const ScriptText& script);
  void CheckBlocks(const ScriptText& script);
  void CheckStatement(const ScriptText& script, const Line& line, const Parsed& st);
  void CheckInclude(const ScriptText& script, const Line& line, const Parsed& st);
  std::vector<std::string> IncludedFiles(const Parsed& st, bool* known);
  bool IncludeCanMissItsSection(const Parsed& st);
  bool CallCanMissItsSection(const ScriptText& script, const Parsed& st);
  std::string ErrorPathMessages(const ScriptText& script, const SkipTargets& skips,
                                const Line& line, const Parsed& st);
  void NoteVariables(const ScriptText& script, const Line& line, const Parsed& st,
                     bool languageFile, const std::string& errorMessages);
  void NoteMessages(const std::string& file, long line, const std::string& keyword,
                    const std::string& keys);
  void NoteCalls(const ScriptText& script);
  SectionRun* RunStartedAt(const ScriptText& script, const Line& line);
  void FollowStatement(const ScriptText& script, const Line& line, const Parsed& st,
                       OpenRun* open);
  std::vector<SectionKey> CallTargets(const ScriptText& script, const Parsed& st);
  std::vector<SectionKey> CallOrder();
  template <typename Follows, typename BackIntoOpenRun, typename Done>
  void WalkCalls(Follows follows, BackIntoOpenRun backIntoOpenRun, Done done);
  void CheckCallCycles();
  void CheckCallDepth();
  std::map<SectionKey, int> RunHeights();
  void ReportTooDeepChain(const SectionKey& start, const std::map<SectionKey, int>& heights);
  std::string Describe(const SectionKey& key);
  void CheckReachability(const ScriptText& script);
  void CheckVariables();
  const std::vector<std::string>& LanguageFiles();
  const ScriptText* Loaded(const std::string& name, std::string* reason = nullptr);

  std::string directory_;
  std::vector<Finding>* findings_;
  std::string mainFile_;                      // upper-cased
  std::map<std::string, ScriptText> loaded_;  // by upper-cased name; unreadable: no name
  std::set<std::string> checked_;
  std::deque<Pending> pending_;
  bool languageFilesListed_ = false;
  std::vector<std::string> languageFiles_;
  bool writesUninstallEntry_ = false;
  std::map<SectionKey, SectionRun> runs_;
  std::set<std::string> setByScript_;              // upper-cased names
  std::map<std::string, std::vector<Use>> reads_;  // upper-cased name -> uses
  std::map<std::string, std::string> spelled_;     // upper-cased -> as written
};

const ScriptText* Checker::Loaded(const std::string& name, std::string* reason) {
  std::string key = Upper(name);
  auto found = loaded_.find(key);
  if (found != loaded_.end()) return found->second.name.empty() ? nullptr : &found->second;
  ScriptText& script = loaded_[key];
  std::string why;
  if (ReadScript(directory_, name, &script, &why)) return &script;
  script = ScriptText();
  if (reason) *reason = why;
  return nullptr;
}

const std::vector<std::string>& Checker::LanguageFiles() {
  if (languageFilesListed_) return languageFiles_;
  languageFilesListed_ = true;
  DIR* dir = opendir(directory_.c_str());
  if (!dir) return languageFiles_;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > 10 && Upper(name.substr(0, 6)) == "SETUP." &&
        Upper(name.substr(name.size() - 4)) == ".TXT") {
      languageFiles_.push_back(name);
    }
  }
  closedir(dir);
  std::sort(languageFiles_.begin(), languageFiles_.end());
  return languageFiles_;
}

bool Checker::Run(const std::string& scriptName, std::string* problem) {
  std::string reason;
  const ScriptText* script = Loaded(scriptName, &reason);
  if (!script) {
    *problem = "cannot read " + directory_ + "/" + scriptName + ": " + reason;
    return false;
  }
  mainFile_ = Upper(scriptName);
  QueueFile(*script, false);
  while (!pending_.empty()) {
    Pending next = pending_.front();
    pending_.pop_front();
    CheckFile(*next.script, next.languageFile);
  }
  CheckStartSections(*script);
  CheckReachability(*script);
  CheckCallCycles();
  CheckCallDepth();
  CheckVariables();
  return true;
}

// Each file is checked once, however often it is included.
void Checker::QueueFile(const ScriptText& script, bool languageFile) {
  if (!checked_.insert(Upper(script.name)).second) return;
  pending_.push_back(Pending{&script, languageFile});
}

void Checker::CheckFile(const ScriptText& script, bool languageFile) {
  SkipTargets skips = FindSkipTargets(script);
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
    NoteVariables(script, line, st, languageFile,
                  ErrorPathMessages(script, skips, line, st));
  }
  CheckBlocks(script);
  NoteCalls(script);
}

void Checker::CheckStartSections(const ScriptText& script) {
  if (!script.sections.count("SETUP")) Report(script, 0, true, "no [Setup] section");
  if (writesUninstallEntry_ && !script.sections.count("UNINSTALL")) {
    Report(script, 0, true, "SetUninstall writes an uninstall entry, but there is no "
                            "[Uninstall] section");
  }
}

// Blocks do not nest: a skip from If stops at the first Else or Endif of any
// block, and it runs on past the section's end.
void Checker::CheckBlocks(const ScriptText& script) {
  long openIf = 0;
  bool seenElse = false;
  for (const Line& line : script.lines) {
    if (!LabelOf(line.text).empty() && EndsASection(line.text)) {
      if (openIf) {
        Report(script, openIf, true, "If has no Endif before its section ends: its skip "
                                     "would run into the next section");
      }
      openIf = 0;
      continue;
    }
    Parsed st;
    if (!ParseLine(line.text, &st) || st.id == kCmdInvalid) continue;
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

// The files an Include runs a section of; `known` is false when a variable
// names the file.
std::vector<std::string> Checker::IncludedFiles(const Parsed& st, bool* known) {
  *known = true;
  if (st.quoted1) return {st.text1};
  if (EqualsNoCase(st.text1.c_str(), "languagefile")) return LanguageFiles();
  *known = false;
  return {};
}

void Checker::CheckInclude(const ScriptText& script, const Line& line, const Parsed& st) {
  if (!st.quoted2) return;  // a section named by a variable is not known here
  bool known = false;
  std::vector<std::string> files = IncludedFiles(st, &known);
  if (!known) return;
  bool languageFile = !st.quoted1;
  if (languageFile && files.empty()) {
    Report(script, line.number, true, "no language file setup.*.txt");
  }
  for (const std::string& file : files) {
    const ScriptText* included = Loaded(file);
    if (!included) {
      Report(script, line.number, true, "Include names the file \"" + file +
                                            "\", which cannot be read");
    } else if (!included->sections.count(Upper(st.text2))) {
      Report(script, line.number, true, "Include names the section [" + st.text2 +
                                            "], which \"" + file + "\" does not have");
    } else {
      QueueFile(*included, languageFile);
    }
  }
}

void Checker::CheckStatement(const ScriptText& script, const Line& line, const Parsed& st) {
  const CommandRow* row = CommandRowOf(st.id);
  if (FirstSlotNamesAVariable(st.id) && st.quoted1) {
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

// A file that cannot be opened is no error of Include (its test fails
// quietly); one that opens without the section is.
bool Checker::IncludeCanMissItsSection(const Parsed& st) {
  bool known = false;
  std::vector<std::string> files = IncludedFiles(st, &known);
  if (!known || !st.quoted2) return true;
  for (const std::string& file : files) {
    const ScriptText* included = Loaded(file);
    if (included && !included->sections.count(Upper(st.text2))) return true;
  }
  return false;
}

bool Checker::CallCanMissItsSection(const ScriptText& script, const Parsed& st) {
  if (st.id == kCmdGoto) return !st.quoted1 || !script.sections.count(Upper(st.text1));
  if (st.id == kCmdInclude) return IncludeCanMissItsSection(st);
  return false;
}

// The messages only an error of this statement shows, when that error can
// happen: a skip that finds no Else or Endif before the file ends, a call
// whose section is not there. (The run-depth error is judged with the
// whole call graph.)
std::string Checker::ErrorPathMessages(const ScriptText& script, const SkipTargets& skips,
                                       const Line& line, const Parsed& st) {
  if (st.id == kCmdIf) {
    bool stops = skips.lastElse > line.number || skips.lastEndif > line.number;
    return stops ? "" : kUnclosedBlockMessages;
  }
  if (st.id == kCmdElse) return skips.lastEndif > line.number ? "" : kUnclosedBlockMessages;
  if (CallCanMissItsSection(script, st)) return kMissingSectionMessages;
  return "";
}

void Checker::NoteMessages(const std::string& file, long line, const std::string& keyword,
                           const std::string& keys) {
  std::istringstream words(keys);
  for (std::string key; words >> key;) {
    reads_[Upper(key)].push_back(Use{file, line, keyword});
    spelled_.emplace(Upper(key), key);
  }
}

void Checker::NoteVariables(const ScriptText& script, const Line& line, const Parsed& st,
                            bool languageFile, const std::string& errorMessages) {
  if (!languageFile) {
    for (const std::string& name : VariablesWrittenBy(st)) setByScript_.insert(Upper(name));
  }
  for (int slot = 1; slot <= 2; ++slot) {
    const std::string& text = slot == 1 ? st.text1 : st.text2;
    bool quoted = slot == 1 ? st.quoted1 : st.quoted2;
    if (quoted || text.empty() || !ReadsValue(st.id, slot)) continue;
    reads_[Upper(text)].push_back(Use{script.name, line.number, ""});
    spelled_.emplace(Upper(text), text);
  }
  const char* keyword = CommandRowOf(st.id)->keyword;
  NoteMessages(script.name, line.number, keyword, MessagesShownBy(st.id));
  NoteMessages(script.name, line.number, keyword, errorMessages);
}

// The section runs a statement starts, where the checker knows them.
std::vector<SectionKey> Checker::CallTargets(const ScriptText& script, const Parsed& st) {
  std::vector<SectionKey> targets;
  std::string here = Upper(script.name);
  if (st.id == kCmdGoto && st.quoted1 && script.sections.count(Upper(st.text1))) {
    targets.push_back(SectionKey(here, Upper(st.text1)));
  } else if ((st.id == kCmdParseFile || st.id == kCmdApplyOnFiles) && st.quoted2 &&
             script.sections.count(Upper(st.text2))) {
    targets.push_back(SectionKey(here, Upper(st.text2)));
  } else if (st.id == kCmdInclude && st.quoted2) {
    bool known = false;
    for (const std::string& file : IncludedFiles(st, &known)) {
      const ScriptText* included = Loaded(file);
      if (included && included->sections.count(Upper(st.text2))) {
        targets.push_back(SectionKey(Upper(file), Upper(st.text2)));
      }
    }
  }
  return targets;
}

void Checker::FollowStatement(const ScriptText& script, const Line& line, const Parsed& st,
                              OpenRun* open) {
  if (st.id == kCmdIf || st.id == kCmdElse) {
    open->inBlock = true;
    return;
  }
  if (st.id == kCmdEndif) {
    open->inBlock = false;
    return;
  }
  bool everyRun = open->everyRun();
  if (EndsTheRun(st.id)) open->mayHaveEnded = true;
  // ParseFile and ApplyOnFiles call once per line or file found: maybe never.
  bool callsOnce = st.id == kCmdGoto || st.id == kCmdInclude;
  for (const SectionKey& target : CallTargets(script, st)) {
    open->run->calls.push_back(Call{target, script.name, line.number,
                                    CommandRowOf(st.id)->keyword, everyRun && callsOnce});
  }
}

// The run a label starts, or null when an earlier label of its name is the
// one found.
SectionRun* Checker::RunStartedAt(const ScriptText& script, const Line& line) {
  std::string label = LabelOf(line.text);
  auto first = script.sections.find(Upper(label));
  if (label.empty() || first == script.sections.end() || first->second != line.number) {
    return nullptr;
  }
  SectionRun& run = runs_[SectionKey(Upper(script.name), Upper(label))];
  run.file = script.name;
  run.label = label;
  return &run;
}

// The calls each section of the file makes. A section runs from its label
// to the next line whose first byte is '['; a label after blanks starts a
// run of its own, and the run it is in goes on into that run's lines.
// Only the first label of a name is ever found.
void Checker::NoteCalls(const ScriptText& script) {
  OpenRun open;
  for (const Line& line : script.lines) {
    if (EndsASection(line.text)) open = OpenRun();
    if (StartsWithLabelBracket(line.text)) {
      SectionRun* started = RunStartedAt(script, line);
      if (!started) continue;
      if (open.run) {
        open.run->calls.push_back(Call{SectionKey(Upper(script.name), Upper(started->label)),
                                       script.name, line.number, "", open.everyRun()});
      }
      open = OpenRun();
      open.run = started;
      continue;
    }
    if (!open.run || line.text.size() > kLineMax - 1) continue;
    Parsed st;
    if (!ParseLine(line.text, &st) || st.id == kCmdInvalid) continue;
    FollowStatement(script, line, st, &open);
  }
}

std::string Checker::Describe(const SectionKey& key) {
  auto found = runs_.find(key);
  if (found == runs_.end()) return "[" + key.second + "] of " + key.first;
  return "[" + found->second.label + "] of " + found->second.file;
}

// The sections setup.exe starts from first, then every other, so that a
// finding names the path a run takes where it can.
std::vector<SectionKey> Checker::CallOrder() {
  std::vector<SectionKey> order = {SectionKey(mainFile_, "SETUP"),
                                   SectionKey(mainFile_, "UNINSTALL")};
  for (const auto& run : runs_) order.push_back(run.first);
  return order;
}

// Depth first over the calls that `follows` accepts, from every section in
// call order: `backIntoOpenRun(call)` for a call into a run still open
// (unless the call can end its run first), `done(key)` once every call of
// a section has been walked.
template <typename Follows, typename BackIntoOpenRun, typename Done>
void Checker::WalkCalls(Follows follows, BackIntoOpenRun backIntoOpenRun, Done done) {
  enum State { kOpen = 1, kDone = 2 };
  std::map<SectionKey, int> state;
  for (const SectionKey& start : CallOrder()) {
    if (!runs_.count(start) || state[start]) continue;
    std::vector<std::pair<SectionKey, size_t>> stack = {{start, 0}};
    state[start] = kOpen;
    while (!stack.empty()) {
      SectionKey key = stack.back().first;
      size_t next = stack.back().second++;
      const std::vector<Call>& calls = runs_[key].calls;
      if (next >= calls.size()) {
        state[key] = kDone;
        done(key);
        stack.pop_back();
        continue;
      }
      const Call& call = calls[next];
      if (!follows(call) || !runs_.count(call.target)) continue;
      if (state[call.target] == kOpen && !call.goesOn()) {
        backIntoOpenRun(call);
      } else if (!state[call.target]) {
        state[call.target] = kOpen;
        stack.push_back({call.target, 0});
      }
    }
  }
}

// A run that calls its own section again on every run never ends before
// setup's nesting limit, and setup stops there with an error.
void Checker::CheckCallCycles() {
  WalkCalls([](const Call& call) { return call.everyRun; },
            [this](const Call& call) {
              Report(call.file, call.line, true, Describe(call.target) +
                         " calls itself through this line on every run: setup stops at its "
                         "nesting limit of " + std::to_string(kMaxRunDepth) + " levels");
              NoteMessages(call.file, call.line, call.keyword, kTooDeepMessage);
            },
            [](const SectionKey&) {});
}

// How many levels of runs each section can open, itself included, over
// every call; a call back into an open run counts no further, and may meet
// the nesting limit: its message is noted.
std::map<SectionKey, int> Checker::RunHeights() {
  std::map<SectionKey, int> heights;  // of the sections walked to their end
  WalkCalls([](const Call&) { return true; },
            [this](const Call& call) {
              NoteMessages(call.file, call.line, call.keyword, kTooDeepMessage);
            },
            [&](const SectionKey& key) {
              int height = 1;
              for (const Call& call : runs_[key].calls) {
                auto walked = heights.find(call.target);
                if (walked != heights.end()) {
                  height = std::max(height, call.levels() + walked->second);
                }
              }
              heights[key] = height;
            });
  return heights;
}

// From a start section down the deepest chain of calls to the one that
// would open a run past the limit.
void Checker::ReportTooDeepChain(const SectionKey& start,
                                 const std::map<SectionKey, int>& heights) {
  SectionKey key = start;
  std::set<SectionKey> onChain = {start};
  int level = 1;
  for (;;) {
    const Call* deepest = nullptr;
    int best = 0;
    for (const Call& call : runs_[key].calls) {
      auto height = heights.find(call.target);
      if (onChain.count(call.target) || height == heights.end()) continue;
      if (call.levels() + height->second > best) {
        best = call.levels() + height->second;
        deepest = &call;
      }
    }
    if (!deepest) return;
    if (level == kMaxRunDepth && !deepest->goesOn()) {
      Report(deepest->file, deepest->line, true,
             "calls nest deeper than setup's limit of " + std::to_string(kMaxRunDepth) +
                 " levels from " + Describe(start) + ": setup stops at this line");
      NoteMessages(deepest->file, deepest->line, deepest->keyword, kTooDeepMessage);
      return;
    }
    level += deepest->levels();
    key = deepest->target;
    onChain.insert(key);
  }
}

void Checker::CheckCallDepth() {
  std::map<SectionKey, int> heights = RunHeights();
  for (const char* section : {"SETUP", "UNINSTALL"}) {
    SectionKey start(mainFile_, section);
    auto height = heights.find(start);
    if (height != heights.end() && height->second > kMaxRunDepth) {
      ReportTooDeepChain(start, heights);
    }
  }
}

// The variables a language file sets, upper-cased, with their lines; their
// spelling goes to `spelled`.
std::map<std::string, long> SetInLanguageFile(const ScriptText& file,
                                              std::map<std::string, std::string>* spelled) {
  std::map<std::string, long> names;
  for (const Line& line : file.lines) {
    Parsed st;
    if (line.text.size() > kLineMax - 1 || !ParseLine(line.text, &st)) continue;
    for (const std::string& name : VariablesWrittenBy(st)) {
      names.emplace(Upper(name), line.number);
      spelled->emplace(Upper(name), name);
    }
  }
  return names;
}

// Every variable read must be set by the script, the program or every
// language file (what one language file sets holds for that language
// alone); language files define the same keys; setup types have no gaps.
void Checker::CheckVariables() {
  std::map<std::string, std::map<std::string, long>> defined;  // file -> names
  for (const std::string& name : LanguageFiles()) {
    const ScriptText* file = Loaded(name);
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
      Report(first.file, first.line, false,
             who.empty() ? name + " is read but never set" : who + name + ", which is never set");
      continue;
    }
    for (const std::string& language : lacking) {
      Report(first.file, first.line, false,
             (who.empty() ? name : who + name) + " is not defined in " + language);
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
      Report(language.first, 0, false, "defines no " + spelled_[key.first] + ", which " +
                                            key.second + " defines");
    }
  }
  for (const auto& language : defined) {
    int lastDefined = -1;
    for (int n = 0; n <= 9; ++n) {
      std::string key = "SETUPTYPE" + std::to_string(n);
      auto found = language.second.find(key);
      if (found == language.second.end()) continue;
      if (n != lastDefined + 1) {
        Report(language.first, found->second, false,
               key + " follows a gap: SETUPTYPE" + std::to_string(lastDefined + 1) +
                   " is not defined");
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
    if (!label.empty() && EndsASection(line.text)) {
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
  Checker checker(directory, findings);
  return checker.Run(scriptName, problem);
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

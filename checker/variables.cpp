// setupcheck's checks of variables and language files: every variable the
// script reads and every message a command shows (as the command table's
// rows say, an error's messages only where that error can happen) must be
// set by the script or the program, or defined in every language file
// (what one language file sets holds for that language alone); language
// files define the same keys; setup types have no gaps.
#include "checker/check_run.h"
#include "checker/command_facts.h"

void NoteMessagesShown(CheckRun& run, const std::string& file, long line, CommandId command,
                       ShownWhen when) {
  const CommandRow& row = *CommandRowOf(command);
  for (const std::string& key : MessagesShownBy(row, when)) {
    run.reads[Upper(key)].push_back(VariableUse{file, line, row.keyword});
    run.spelled.emplace(Upper(key), key);
  }
}

// A file that cannot be opened is no error of Include (its test fails
// quietly); one that opens without the section is.
static bool IncludeCanMissItsSection(CheckRun& run, const ParsedStatement& st) {
  bool known = false;
  std::vector<std::string> files = IncludedFiles(run, st, &known);
  if (!known || !st.quoted2) return true;
  for (const std::string& file : files) {
    const ScriptText* included = LoadedFile(run.files, file);
    if (included && !included->HasSection(st.text2)) return true;
  }
  return false;
}

static bool CallCanMissItsSection(CheckRun& run, const ScriptText& script,
                                  const ParsedStatement& st) {
  if (st.id == kCmdGoto) return !st.quoted1 || !script.HasSection(st.text1);
  if (st.id == kCmdInclude) return IncludeCanMissItsSection(run, st);
  return false;
}

// Whether a skip from this If or Else can find no Else or Endif before the
// file ends.
static bool BlockCanStayOpen(const ScriptText& script, const ScriptLine& line) {
  const SkipTargets& skips = script.skips;
  if (line.statement.id == kCmdIf) {
    return skips.lastElse <= line.number && skips.lastEndif <= line.number;
  }
  return line.statement.id == kCmdElse && skips.lastEndif <= line.number;
}

// The messages a statement shows: those of its ordinary path, of failed
// calls and of abandonment always (the disk and the user decide), those of
// an error of the script where that error can happen (the run-depth error
// is judged with the whole call graph).
static void NoteMessagesOf(CheckRun& run, const ScriptText& script, const ScriptLine& line) {
  CommandId id = line.statement.id;
  for (ShownWhen when : {kShownAlways, kShownOnFailure, kShownOnAbandon}) {
    NoteMessagesShown(run, script.name, line.number, id, when);
  }
  if (BlockCanStayOpen(script, line)) {
    NoteMessagesShown(run, script.name, line.number, id, kShownOnUnclosedBlock);
  }
  if (CallCanMissItsSection(run, script, line.statement)) {
    NoteMessagesShown(run, script.name, line.number, id, kShownOnMissingSection);
  }
}

void NoteVariables(CheckRun& run, const ScriptText& script, const ScriptLine& line,
                   bool languageFile) {
  const ParsedStatement& st = line.statement;
  if (!languageFile) {
    for (const std::string& name : VariablesWrittenBy(st)) run.setByScript.insert(Upper(name));
  }
  const CommandRow& row = *CommandRowOf(st.id);
  for (int slot = 1; slot <= 2; ++slot) {
    const std::string& text = slot == 1 ? st.text1 : st.text2;
    bool quoted = slot == 1 ? st.quoted1 : st.quoted2;
    if (quoted || text.empty() || !ReadsValue(row, slot)) continue;
    run.reads[Upper(text)].push_back(VariableUse{script.name, line.number, ""});
    run.spelled.emplace(Upper(text), text);
  }
  NoteMessagesOf(run, script, line);
}

// The variables a language file sets, upper-cased, with their lines; their
// spelling goes to `spelled`.
static std::map<std::string, long> SetInLanguageFile(const ScriptText& file,
                                                     std::map<std::string, std::string>* spelled) {
  std::map<std::string, long> names;
  for (const ScriptLine& line : file.lines) {
    if (line.overLong || !line.isStatement) continue;
    for (const std::string& name : VariablesWrittenBy(line.statement)) {
      names.emplace(Upper(name), line.number);
      spelled->emplace(Upper(name), name);
    }
  }
  return names;
}

typedef std::map<std::string, std::map<std::string, long>> DefinedKeys;  // file -> keys

// Every variable read must be set by the script, the program or every
// language file.
static void CheckReads(CheckRun& run, const DefinedKeys& defined) {
  for (const auto& read : run.reads) {
    if (run.setByScript.count(read.first)) continue;
    std::vector<std::string> lacking;
    for (const auto& language : defined) {
      if (!language.second.count(read.first)) lacking.push_back(language.first);
    }
    const VariableUse& first = read.second.front();
    const std::string& name = run.spelled[read.first];
    std::string who = first.shownBy.empty() ? "" : first.shownBy + " shows the message ";
    if (lacking.size() == defined.size()) {
      run.Report(first.file, first.line, false,
                 who.empty() ? name + " is read but never set"
                             : who + name + ", which is never set");
      continue;
    }
    for (const std::string& language : lacking) {
      run.Report(first.file, first.line, false,
                 (who.empty() ? name : who + name) + " is not defined in " + language);
    }
  }
}

// Keys that one language file defines and another lacks (those the script
// reads are reported where it reads them).
static void CheckSameKeys(CheckRun& run, const DefinedKeys& defined) {
  std::map<std::string, std::string> firstDefinedIn;  // key -> language file
  for (const auto& language : defined) {
    for (const auto& key : language.second) firstDefinedIn.emplace(key.first, language.first);
  }
  for (const auto& language : defined) {
    for (const auto& key : firstDefinedIn) {
      if (language.second.count(key.first) || run.reads.count(key.first)) continue;
      run.Report(language.first, 0, false, "defines no " + run.spelled[key.first] + ", which " +
                                               key.second + " defines");
    }
  }
}

static void CheckSetupTypes(CheckRun& run, const DefinedKeys& defined) {
  for (const auto& language : defined) {
    int lastDefined = -1;
    for (int n = 0; n <= 9; ++n) {
      std::string key = "SETUPTYPE" + std::to_string(n);
      auto found = language.second.find(key);
      if (found == language.second.end()) continue;
      if (n != lastDefined + 1) {
        run.Report(language.first, found->second, false,
                   key + " follows a gap: SETUPTYPE" + std::to_string(lastDefined + 1) +
                       " is not defined");
      }
      lastDefined = n;
    }
  }
}

void CheckVariables(CheckRun& run) {
  DefinedKeys defined;
  for (const std::string& name : LanguageFiles(run.files)) {
    const ScriptText* file = LoadedFile(run.files, name);
    if (file) defined[name] = SetInLanguageFile(*file, &run.spelled);
  }
  CheckReads(run, defined);
  CheckSameKeys(run, defined);
  CheckSetupTypes(run, defined);
}

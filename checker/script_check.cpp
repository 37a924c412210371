// setupcheck's driver: reads the script, then checks each file it runs a
// section of (once, however often it is included) line by line — lines
// setup cannot read, unknown keywords, statements with more arguments than
// their command reads, quoted text where a variable's name belongs, goto
// and Include targets — and hands the parsed lines to the checks of blocks
// and calls (blocks_and_calls.cpp) and of variables and messages
// (variables.cpp).
#include "checker/script_check.h"

#include "checker/check_run.h"
#include "checker/command_facts.h"
#include "script/text.h"

std::vector<std::string> IncludedFiles(CheckRun& run, const ParsedStatement& st, bool* known) {
  *known = true;
  if (st.quoted1) return {st.text1};
  if (EqualsNoCase(st.text1.c_str(), "languagefile")) return LanguageFiles(run.files);
  *known = false;
  return {};
}

// Each file is checked once, however often it is included.
static void QueueFile(CheckRun& run, const ScriptText& script, bool languageFile) {
  if (!run.queued.insert(Upper(script.name)).second) return;
  run.pending.push_back(PendingFile{&script, languageFile});
}

static void CheckInclude(CheckRun& run, const ScriptText& script, const ScriptLine& line) {
  const ParsedStatement& st = line.statement;
  if (!st.quoted2) return;  // a section named by a variable is not known here
  bool known = false;
  std::vector<std::string> files = IncludedFiles(run, st, &known);
  if (!known) return;
  bool languageFile = !st.quoted1;
  if (languageFile && files.empty()) {
    run.Report(script.name, line.number, true, "no language file setup.*.txt");
  }
  for (const std::string& file : files) {
    const ScriptText* included = LoadedFile(run.files, file);
    if (!included) {
      run.Report(script.name, line.number, true,
                 "Include names the file \"" + file + "\", which cannot be read");
    } else if (!included->HasSection(st.text2)) {
      run.Report(script.name, line.number, true, "Include names the section [" + st.text2 +
                                                     "], which \"" + file + "\" does not have");
    } else {
      QueueFile(run, *included, languageFile);
    }
  }
}

static void CheckArguments(CheckRun& run, const ScriptText& script, const ScriptLine& line) {
  const ParsedStatement& st = line.statement;
  const CommandRow& row = *CommandRowOf(st.id);
  int read = ArgumentsRead(row);
  if (st.given > read) {
    run.Report(script.name, line.number, false,
               std::string(row.keyword) + " takes " + std::to_string(read) + " argument" +
                   (read == 1 ? "" : "s") + "; the rest is ignored");
  } else if (!st.ignored.empty()) {
    run.Report(script.name, line.number, false, "text after the second argument is ignored: \"" +
                                                    st.ignored + "\" (a ';' there is no comment)");
  }
}

static void CheckStatement(CheckRun& run, const ScriptText& script, const ScriptLine& line) {
  const ParsedStatement& st = line.statement;
  const CommandRow& row = *CommandRowOf(st.id);
  if (FirstSlotNamesAVariable(row) && st.quoted1) {
    run.Report(script.name, line.number, false,
               std::string(row.keyword) + " takes a variable's name first; the quoted \"" +
                   st.text1 + "\" is taken as a name as written");
  }
  if (st.id == kCmdGoto && st.quoted1 && !script.HasSection(st.text1)) {
    run.Report(script.name, line.number, true, "goto names the section [" + st.text1 +
                                                   "], which this file does not have");
  }
  if (st.id == kCmdInclude) CheckInclude(run, script, line);
  if (st.id == kCmdSetUninstall) run.writesUninstallEntry = true;
  CheckArguments(run, script, line);
}

static void CheckFile(CheckRun& run, const ScriptText& script, bool languageFile) {
  for (const ScriptLine& line : script.lines) {
    if (line.overLong) {
      run.Report(script.name, line.number, true,
                 "line of " + std::to_string(line.text.size()) + " bytes: setup reads at most " +
                     std::to_string(kLineMax - 1));
      continue;
    }
    if (!line.isStatement) continue;
    if (line.statement.id == kCmdInvalid) {
      run.Report(script.name, line.number, true,
                 "unknown keyword \"" + line.statement.keyword + "\"");
      continue;
    }
    CheckStatement(run, script, line);
    NoteVariables(run, script, line, languageFile);
  }
  CheckBlocks(run, script);
  NoteCalls(run, script);
}

bool CheckScript(const std::string& directory, const std::string& scriptName,
                 std::vector<Finding>* findings, std::string* problem) {
  CheckRun run;
  run.files.directory = directory;
  run.findings = findings;
  std::string reason;
  const ScriptText* script = LoadedFile(run.files, scriptName, &reason);
  if (!script) {
    *problem = "cannot read " + directory + "/" + scriptName + ": " + reason;
    return false;
  }
  run.mainFile = Upper(scriptName);
  QueueFile(run, *script, false);
  while (!run.pending.empty()) {
    PendingFile next = run.pending.front();
    run.pending.pop_front();
    CheckFile(run, *next.script, next.languageFile);
  }
  CheckStartSections(run, *script);
  CheckReachability(run, *script);
  CheckCallCycles(run);
  CheckCallDepth(run);
  CheckVariables(run);
  return true;
}

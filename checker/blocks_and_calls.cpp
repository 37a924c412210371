// setupcheck's checks of a script's structure: If/Else/Endif as the runner
// skips them, the sections setup starts from, sections nothing reaches, and
// the calls between section runs — calls that come back into their own run
// on every run, and chains of calls that nest past the run-depth limit.
#include <algorithm>

#include "checker/check_run.h"
#include "script/engine.h"

// Blocks do not nest: a skip from If stops at the first Else or Endif of any
// block, and it runs on past the section's end.
void CheckBlocks(CheckRun& run, const ScriptText& script) {
  long openIf = 0;
  bool seenElse = false;
  for (const ScriptLine& line : script.lines) {
    if (!line.label.empty() && line.endsSection) {
      if (openIf) {
        run.Report(script.name, openIf, true, "If has no Endif before its section ends: its skip "
                                              "would run into the next section");
      }
      openIf = 0;
      continue;
    }
    if (!line.IsKnownStatement()) continue;
    CommandId id = line.statement.id;
    if (id == kCmdIf) {
      if (openIf) {
        run.Report(script.name, line.number, true,
                   "If inside the If of line " + std::to_string(openIf) +
                       ": blocks do not nest, the inner Else or Endif ends the outer skip");
      }
      openIf = line.number;
      seenElse = false;
    } else if (id == kCmdElse) {
      if (!openIf) {
        run.Report(script.name, line.number, true, "Else without If");
      } else if (seenElse) {
        run.Report(script.name, line.number, true,
                   "a second Else in the If of line " + std::to_string(openIf));
      }
      seenElse = true;
    } else if (id == kCmdEndif) {
      openIf = 0;
    }
  }
  if (openIf) run.Report(script.name, openIf, true, "If without Endif");
}

void CheckStartSections(CheckRun& run, const ScriptText& script) {
  if (!script.HasSection("SETUP")) run.Report(script.name, 0, true, "no [Setup] section");
  if (run.writesUninstallEntry && !script.HasSection("UNINSTALL")) {
    run.Report(script.name, 0, true, "SetUninstall writes an uninstall entry, but there is no "
                                     "[Uninstall] section");
  }
}

// Sections that [Setup] and [Uninstall] never reach through goto, ParseFile
// or ApplyOnFiles with a quoted section name.
void CheckReachability(CheckRun& run, const ScriptText& script) {
  std::set<std::string> reached;
  std::vector<std::string> pending = {"SETUP", "UNINSTALL"};
  std::map<std::string, std::vector<std::string>> calls;
  std::string current;
  bool dynamic = false;
  for (const ScriptLine& line : script.lines) {
    if (!line.label.empty() && line.endsSection) {
      current = Upper(line.label);
      continue;
    }
    if (!line.IsKnownStatement()) continue;
    const ParsedStatement& st = line.statement;
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
      run.Report(script.name, section.second, false, "no statement reaches this section");
    }
  }
}

// ---- Calls between section runs ----

// The section whose run the current line belongs to, with what the lines
// before it in that run decided.
struct OpenRun {
  SectionRun* run = nullptr;
  bool inBlock = false;       // between If or Else and Endif
  bool mayHaveEnded = false;  // after a return, quit or quiterr, in a block or not
  bool everyRun() const { return !inBlock && !mayHaveEnded; }
};

static bool EndsTheRun(CommandId id) {
  return id == kCmdReturn || id == kCmdQuit || id == kCmdQuiterr;
}

// The section runs a statement starts, where the checker knows them.
static std::vector<SectionKey> CallTargets(CheckRun& run, const ScriptText& script,
                                           const ParsedStatement& st) {
  std::vector<SectionKey> targets;
  std::string here = Upper(script.name);
  if (st.id == kCmdGoto && st.quoted1 && script.HasSection(st.text1)) {
    targets.push_back(SectionKey(here, Upper(st.text1)));
  } else if ((st.id == kCmdParseFile || st.id == kCmdApplyOnFiles) && st.quoted2 &&
             script.HasSection(st.text2)) {
    targets.push_back(SectionKey(here, Upper(st.text2)));
  } else if (st.id == kCmdInclude && st.quoted2) {
    bool known = false;
    for (const std::string& file : IncludedFiles(run, st, &known)) {
      const ScriptText* included = LoadedFile(run.files, file);
      if (included && included->HasSection(st.text2)) {
        targets.push_back(SectionKey(Upper(file), Upper(st.text2)));
      }
    }
  }
  return targets;
}

static void FollowStatement(CheckRun& run, const ScriptText& script, const ScriptLine& line,
                            OpenRun* open) {
  const ParsedStatement& st = line.statement;
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
  for (const SectionKey& target : CallTargets(run, script, st)) {
    open->run->calls.push_back(
        Call{target, script.name, line.number, st.id, everyRun && callsOnce});
  }
}

// The run a label starts, or null when an earlier label of its name is the
// one found.
static SectionRun* RunStartedAt(CheckRun& run, const ScriptText& script,
                                const ScriptLine& line) {
  auto first = script.sections.find(Upper(line.label));
  if (line.label.empty() || first == script.sections.end() || first->second != line.number) {
    return nullptr;
  }
  SectionRun& started = run.runs[SectionKey(Upper(script.name), Upper(line.label))];
  started.file = script.name;
  started.label = line.label;
  return &started;
}

// The calls each section of the file makes. A section runs from its label
// to the next line whose first byte is '['; a label after blanks starts a
// run of its own, and the run it is in goes on into that run's lines.
// Only the first label of a name is ever found.
void NoteCalls(CheckRun& run, const ScriptText& script) {
  OpenRun open;
  for (const ScriptLine& line : script.lines) {
    if (line.endsSection) open = OpenRun();
    if (line.labelBracket) {
      SectionRun* started = RunStartedAt(run, script, line);
      if (!started) continue;
      if (open.run) {
        open.run->calls.push_back(Call{SectionKey(Upper(script.name), Upper(started->label)),
                                       script.name, line.number, kCmdInvalid, open.everyRun()});
      }
      open = OpenRun();
      open.run = started;
      continue;
    }
    if (!open.run || line.overLong || !line.IsKnownStatement()) continue;
    FollowStatement(run, script, line, &open);
  }
}

static std::string Describe(const CheckRun& run, const SectionKey& key) {
  auto found = run.runs.find(key);
  if (found == run.runs.end()) return "[" + key.second + "] of " + key.first;
  return "[" + found->second.label + "] of " + found->second.file;
}

// The sections setup.exe starts from first, then every other, so that a
// finding names the path a run takes where it can.
static std::vector<SectionKey> CallOrder(const CheckRun& run) {
  std::vector<SectionKey> order = {SectionKey(run.mainFile, "SETUP"),
                                   SectionKey(run.mainFile, "UNINSTALL")};
  for (const auto& section : run.runs) order.push_back(section.first);
  return order;
}

// Depth first over the calls that `follows` accepts, from every section in
// call order: `backIntoOpenRun(call)` for a call into a run still open
// (unless the call can end its run first), `done(key)` once every call of
// a section has been walked.
template <typename Follows, typename BackIntoOpenRun, typename Done>
static void WalkCalls(CheckRun& run, Follows follows, BackIntoOpenRun backIntoOpenRun,
                      Done done) {
  enum State { kOpen = 1, kDone = 2 };
  std::map<SectionKey, int> state;
  for (const SectionKey& start : CallOrder(run)) {
    if (!run.runs.count(start) || state[start]) continue;
    std::vector<std::pair<SectionKey, size_t>> stack = {{start, 0}};
    state[start] = kOpen;
    while (!stack.empty()) {
      SectionKey key = stack.back().first;
      size_t next = stack.back().second++;
      const std::vector<Call>& calls = run.runs[key].calls;
      if (next >= calls.size()) {
        state[key] = kDone;
        done(key);
        stack.pop_back();
        continue;
      }
      const Call& call = calls[next];
      if (!follows(call) || !run.runs.count(call.target)) continue;
      if (state[call.target] == kOpen && !call.goesOn()) {
        backIntoOpenRun(call);
      } else if (!state[call.target]) {
        state[call.target] = kOpen;
        stack.push_back({call.target, 0});
      }
    }
  }
}

// The messages setup shows when a call would nest too deeply.
static void NoteTooDeepMessages(CheckRun& run, const Call& call) {
  NoteMessagesShown(run, call.file, call.line, call.command, kShownOnTooDeepCall);
}

// A run that calls its own section again on every run never ends before
// setup's nesting limit, and setup stops there with an error.
void CheckCallCycles(CheckRun& run) {
  WalkCalls(run, [](const Call& call) { return call.everyRun; },
            [&run](const Call& call) {
              run.Report(call.file, call.line, true,
                         Describe(run, call.target) +
                             " calls itself through this line on every run: setup stops at "
                             "its nesting limit of " + std::to_string(kMaxRunDepth) + " levels");
              NoteTooDeepMessages(run, call);
            },
            [](const SectionKey&) {});
}

// How many levels of runs each section can open, itself included, over
// every call; a call back into an open run counts no further, and may meet
// the nesting limit: its messages are noted.
static std::map<SectionKey, int> RunHeights(CheckRun& run) {
  std::map<SectionKey, int> heights;  // of the sections walked to their end
  WalkCalls(run, [](const Call&) { return true; },
            [&run](const Call& call) { NoteTooDeepMessages(run, call); },
            [&](const SectionKey& key) {
              int height = 1;
              for (const Call& call : run.runs[key].calls) {
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
static void ReportTooDeepChain(CheckRun& run, const SectionKey& start,
                               const std::map<SectionKey, int>& heights) {
  SectionKey key = start;
  std::set<SectionKey> onChain = {start};
  int level = 1;
  for (;;) {
    const Call* deepest = nullptr;
    int best = 0;
    for (const Call& call : run.runs[key].calls) {
      auto height = heights.find(call.target);
      if (onChain.count(call.target) || height == heights.end()) continue;
      if (call.levels() + height->second > best) {
        best = call.levels() + height->second;
        deepest = &call;
      }
    }
    if (!deepest) return;
    if (level == kMaxRunDepth && !deepest->goesOn()) {
      run.Report(deepest->file, deepest->line, true,
                 "calls nest deeper than setup's limit of " + std::to_string(kMaxRunDepth) +
                     " levels from " + Describe(run, start) + ": setup stops at this line");
      NoteTooDeepMessages(run, *deepest);
      return;
    }
    level += deepest->levels();
    key = deepest->target;
    onChain.insert(key);
  }
}

void CheckCallDepth(CheckRun& run) {
  std::map<SectionKey, int> heights = RunHeights(run);
  for (const char* section : {"SETUP", "UNINSTALL"}) {
    SectionKey start(run.mainFile, section);
    auto height = heights.find(start);
    if (height != heights.end() && height->second > kMaxRunDepth) {
      ReportTooDeepChain(run, start, heights);
    }
  }
}

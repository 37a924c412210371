// Fixture for engine tests: a fresh engine with the platform-free command
// groups bound, a recording host, and an in-memory machine for the effects
// that holds the script files too (relative names start in C:\setup).
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "program/command_groups.h"
#include "script/engine.h"
#include "script/install_state.h"
#include "script/journal.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "tests/common/trace.h"
#include "tests/native/fake_host.h"
#include "sim/memory_effects.h"

// The one message set of the engine tests: short texts that show their
// inserts.
const char* const kTestMessages[][2] = {
    {"ERROR_TTL", "Error"},
    {"ERROR_INI_SYNTAX", "Unknown: %s"},
    {"ERROR_INI_INC", "No such section"},
    {"ERROR_SYNTAX", "missing %s"},
    {"COPY_MSG", "Copying %s"},
    {"MOVE_MSG", "Moving %s"},
    {"ERROR_COPY_TTL", "Copy failed"},
    {"ERROR_COPY_MSG", "Cannot copy %s to %s"},
    {"ERROR_MOVE_TTL", "Move failed"},
    {"ERROR_MOVE_MSG", "Cannot move %s to %s"},
    {"ERROR_CRDIR_MSG", "Cannot create %s"},
    {"CREATING_DIR_MSG", "Creating %s"},
    {"SEARCHING_FILES_MSG", "Searching %s"},
    {"ERROR_OPEN_TTL", "Open failed"},
    {"ERROR_OPEN_MSG", "Cannot open %s"},
    {"ABORT_MSG", "Setup ends"},
    {"ERROR_LOAD_DLL", "Cannot load %s"},
    {"ERROR_REG_DLL", "Cannot register %s"},
    {"ERROR_UREG_DLL", "Cannot unregister %s"},
    {"REGISTERING_MSG", "Registering %s"},
    {"CREATELINK_MSG", "Link %s"},
    {"CREATEPGMGROUP_MSG", "Group %s"},
};

// A script line that records `tag` in out.txt.
inline std::string Mark(const std::string& tag) {
  return "AppendFile \"" + tag + "\" \"out.txt\"\n";
}

class EngineTest : public ::testing::Test, public JournalSink {
 protected:
  void SetUp() override {
    engine_ = std::make_unique<Engine>();
    engine_->host = &host_;
    engine_->effects = &machine_;
    machine_.SetFailureLog(&host_);
    BindPlatformFreeCommandGroups(*engine_);
  }
  void WriteFile(const std::string& name, const std::string& content) {
    machine_.WriteFile(name, content);
  }
  std::string ReadFile(const std::string& name) { return machine_.ReadFile(name); }
  // Writes `content` as the current script file and runs `section`.
  void Run(const std::string& content, const char* section = "Setup") {
    WriteFile("setup.ini", content);
    ASSERT_EQ(script_.Open(machine_, "setup.ini"), kOk);
    engine_->script = &script_;
    RunSection(*engine_, nullptr, section);
  }
  // The lines "AppendFile" wrote to out.txt, joined by '|'.
  std::string Trace() { return JoinCrLfLines(ReadFile("out.txt")); }
  void ClearTrace() {
    if (machine_.Exists("out.txt")) machine_.DeleteFile("out.txt");
  }
  // The install-state record's failure marker is there.
  bool FailureMarkerSet() {
    return RegText(kHkeyLocalMachine, kInstallStateKey, "InstallFailled") != "(none)";
  }
  void SetFailureMarker() {
    machine_.SetRegString(kHkeyLocalMachine, kInstallStateKey, "InstallFailled", "1");
  }
  char* Var(const char* name) { return VarGet(engine_->vars, name); }
  RunFlags& Flags() { return engine_->flags; }

  // The test message set, then `settings` ("NAME", "value").
  void SetVariables(std::initializer_list<std::pair<const char*, const char*>> settings) {
    for (const auto& message : kTestMessages) VarSet(engine_->vars, message[0], message[1]);
    for (const auto& setting : settings) VarSet(engine_->vars, setting.first, setting.second);
  }
  // Journal lines go to journal_ from now on.
  void KeepJournal() { engine_->journal = this; }
  void WriteLine(const char* text) override { journal_.push_back(text); }
  // Fresh flags, host events, journal and records of the machine.
  void Reset() {
    Flags() = RunFlags();
    host_.events.clear();
    journal_.clear();
    machine_.processesStarted.clear();
    machine_.entriesCalled.clear();
    machine_.linksSaved.clear();
  }
  // Runs one statement (or several lines) as section [Setup], after Reset().
  void Statement(const std::string& line) {
    Reset();
    Run("[Setup]\n" + line + "\n");
  }
  // The run flags that are set, in their order: "condition=N" for any
  // condition but 0, a name for a flag that is 1, "name=N" for other values;
  // "" when none is.
  std::string SetFlags() {
    const RunFlags& f = Flags();
    std::string set = f.condition ? "condition=" + std::to_string(f.condition) : "";
    const std::pair<const char*, int> flags[] = {{"stop", f.stop},       {"quit", f.quit},
                                                 {"failure", f.failure}, {"reboot", f.reboot},
                                                 {"failedThisRun", f.failedThisRun}};
    for (const auto& flag : flags) {
      if (flag.second == 0) continue;
      set += (set.empty() ? "" : " ") + std::string(flag.first);
      if (flag.second != 1) set += "=" + std::to_string(flag.second);
    }
    return set;
  }
  // A script and what its run leaves; ExpectRun runs it after Reset() and
  // with an empty out.txt.
  struct ScriptCase {
    const char* name;
    std::string script;  // setup.ini, run from [Setup]
    std::string trace;   // Trace(): what AppendFile wrote to out.txt
    std::string boxes;   // Boxes()
    std::string flags;   // SetFlags()
  };
  void ExpectRun(const ScriptCase& c) {
    SCOPED_TRACE(c.name);
    Reset();
    ClearTrace();
    Run(c.script);
    EXPECT_EQ(engine_->runDepth, 0);  // every run unwinds its calls
    EXPECT_EQ(engine_->script, &script_);
    EXPECT_EQ(Trace(), c.trace);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(SetFlags(), c.flags);
  }
  // The failures the run reported: those of the effects and its own lines.
  std::vector<std::string> Reported() const {
    std::vector<std::string> found = host_.Matching("log ");
    for (const std::string& line : journal_) {
      if (line.find(": failure: ") != std::string::npos) found.push_back(line);
    }
    return found;
  }
  // A file's attributes; 0 when it is not there.
  unsigned long Attributes(const std::string& path) {
    unsigned long attributes = 0;
    machine_.GetFileAttributes(path.c_str(), &attributes);
    return attributes;
  }
  // Writes files given as "path=content"; "!" first makes one read-only,
  // "-path" deletes one.
  void WriteFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
      if (file[0] == '-') {
        machine_.DeleteFile(file.c_str() + 1);
        continue;
      }
      size_t start = file[0] == '!' ? 1 : 0, equals = file.find('=');
      machine_.WriteFile(file.substr(start, equals - start), file.substr(equals + 1),
                         start ? kAttrReadOnly : kAttrNormal);
    }
  }
  // A file's content as WriteFiles takes it, "!" first when it is read-only;
  // "(none)" when it is not there.
  std::string File(const std::string& path) {
    if (!machine_.Exists(path)) return "(none)";
    return (Attributes(path) & kAttrReadOnly ? "!" : "") + machine_.ReadFile(path);
  }
  // A registry value's data, or "(none)".
  std::string RegText(RegRoot root, const std::string& key, const char* name) {
    std::string data;
    return machine_.RegValue(root, key, name, &data) ? data : "(none)";
  }
  // The host events that start with `prefix`, each followed by '|'.
  std::string Events(const std::string& prefix) {
    std::string all;
    for (const std::string& e : host_.Matching(prefix)) all += e + "|";
    return all;
  }
  std::string Boxes() { return Events("box"); }
  // The journal's failure lines, without their place in the script, each
  // followed by '|'.
  std::string Failures() {
    std::string all;
    for (const std::string& line : journal_) {
      size_t kind = line.find("failure: ");
      if (kind != std::string::npos) all += line.substr(kind + 9) + "|";
    }
    return all;
  }

  FakeHost host_;
  MemoryEffects machine_;
  std::unique_ptr<Engine> engine_;
  ScriptFile script_;
  std::vector<std::string> journal_;
};

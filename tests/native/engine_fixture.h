// Fixture for engine tests: a fresh engine with the platform-free command
// groups bound, a recording host, and an in-memory machine for the effects
// that holds the script files too (relative names start in C:\setup).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "program/command_groups.h"
#include "script/engine.h"
#include "script/install_state.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "tests/common/trace.h"
#include "tests/native/fake_host.h"
#include "tests/native/memory_effects.h"

class EngineTest : public ::testing::Test {
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
    std::string data;
    return machine_.RegValue(kHkeyLocalMachine, kInstallStateKey,
                             "InstallFailled", &data);
  }
  void SetFailureMarker() {
    machine_.SetRegString(kHkeyLocalMachine, kInstallStateKey, "InstallFailled", "1");
  }
  char* Var(const char* name) { return VarGet(engine_->vars, name); }
  RunFlags& Flags() { return engine_->flags; }

  FakeHost host_;
  MemoryEffects machine_;
  std::unique_ptr<Engine> engine_;
  ScriptFile script_;
};

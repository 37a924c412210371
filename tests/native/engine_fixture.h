// Fixture for engine tests: a fresh engine with the platform-free command
// groups bound, a recording host, an in-memory machine for the effects, and
// script files written into a scratch directory.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "actions/action_groups.h"
#include "runtimecfg/runtime_config.h"
#include "script/commands.h"
#include "script/engine.h"
#include "script/runner.h"
#include "script/script_file.h"
#include "shell/shell_commands.h"
#include "tests/common/trace.h"
#include "tests/native/fake_host.h"
#include "tests/native/memory_effects.h"

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorn-engine-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ASSERT_EQ(getcwd(oldCwd_, sizeof oldCwd_), oldCwd_);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    engine_ = std::make_unique<Engine>();
    engine_->host = &host_;
    engine_->effects = &machine_;
    machine_.SetFailureLog(&host_);
    for (auto bind : {BindVariableCommands, BindMessageCommands,
                      BindControlFlowCommands, BindHostCommands,
                      BindStringCommands, BindTextFileCommands,
                      BindFileTransferCommands, BindFileTreeCommands,
                      BindFileSearchCommands, BindProbeCommands,
                      BindProgramCommands, BindShortcutCommands,
                      BindUninstallEntryCommands, BindRuntimeConfigCommands}) {
      bind(*engine_);
    }
  }
  void TearDown() override {
    script_.Close();
    ASSERT_EQ(chdir(oldCwd_), 0);
    std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(system(command.c_str()), 0);
  }

  void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream out(name, std::ios::binary);
    out << content;
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Writes `content` as the current script file and runs `section`.
  void Run(const std::string& content, const char* section = "Setup") {
    WriteFile("setup.ini", content);
    ASSERT_TRUE(script_.Open("setup.ini"));
    engine_->script = &script_;
    RunSection(*engine_, nullptr, section);
  }
  // The lines "AppendFile" wrote to out.txt, joined by '|'.
  std::string Trace() { return JoinCrLfLines(ReadFile("out.txt")); }
  char* Var(const char* name) { return VarGet(engine_->vars, name); }
  RunFlags& Flags() { return engine_->flags; }

  FakeHost host_;
  MemoryEffects machine_;
  std::unique_ptr<Engine> engine_;
  ScriptFile script_;
  std::string dir_;
  char oldCwd_[4096];
};

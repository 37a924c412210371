// The contract that every implementation of the effects keeps, as far as
// the program relies on it: the same tests run natively against the
// in-memory machine and under Wine against the real Win32 API, so the fake
// the command tests use behaves as Windows does.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "script/effects.h"

// Provided by each build (effects_contract_native.cpp, tests/win/...).
class ContractMachine {
 public:
  virtual ~ContractMachine() {}
  virtual Effects& effects() = 0;
  // An empty directory that the test may fill; removed afterwards.
  virtual std::string Scratch() = 0;
  virtual void WriteFile(const std::string& path,
                         const std::string& content) = 0;
  virtual std::string ReadFile(const std::string& path) = 0;
  // Wine's CopyFile replaces a read-only target, where Windows refuses with
  // access denied; the in-memory machine follows Windows.
  virtual bool RefusesReadOnlyTargets() { return true; }
  // In the scratch directory: a program that exits with 0, and a library
  // whose DllRegisterServer returns S_OK.
  virtual std::string Program() = 0;
  virtual std::string Library() = 0;
  // Holds TCP port `port` on all addresses, or lets it go.
  virtual void HoldPort(unsigned short port, bool held) = 0;
};
ContractMachine* NewContractMachine();

// A registry key for the tests, below HKEY_CURRENT_USER.
extern const char kContractKey[];

class EffectsContract : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  Effects& fx() { return machine_->effects(); }
  // The path of `name` in the scratch directory, kept until the test ends.
  const char* In(const std::string& name) {
    paths_.push_back(dir_ + "\\" + name);
    return paths_.back().c_str();
  }

  // GetFileAttributes of `path` into attributes_.
  Status AttributesOf(const char* path) { return fx().GetFileAttributes(path, &attributes_); }

  ContractMachine* machine_ = nullptr;
  std::string dir_;
  unsigned long attributes_ = 0;

 private:
  std::deque<std::string> paths_;  // growing at its end moves none of them
};

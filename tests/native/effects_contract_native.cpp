// The effect contract's machine for native tests: the in-memory one.
#include "tests/common/effects_contract.h"
#include "tests/native/memory_effects.h"

namespace {

class MemoryMachine : public ContractMachine {
 public:
  Effects& effects() override { return machine_; }
  std::string Scratch() override {
    machine_.CreateDirectory("C:\\contract");
    return "C:\\contract";
  }
  void WriteFile(const std::string& path, const std::string& content) override {
    machine_.WriteFile(path, content);
  }
  std::string ReadFile(const std::string& path) override {
    return machine_.ReadFile(path);
  }

 private:
  MemoryEffects machine_;
};

}  // namespace

ContractMachine* NewContractMachine() { return new MemoryMachine; }

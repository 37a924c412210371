// The effect contract's machine for native tests: the in-memory one.
#include "tests/common/effects_contract.h"
#include "sim/memory_effects.h"

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
  std::string Program() override {
    machine_.WriteFile("C:\\contract\\record_args.exe", "MZ");
    return "C:\\contract\\record_args.exe";
  }
  std::string Library() override {
    machine_.WriteFile("C:\\contract\\reg_ok.dll", "MZ");
    machine_.libraries["C:\\CONTRACT\\REG_OK.DLL"]["DllRegisterServer"] = 0;
    return "C:\\contract\\reg_ok.dll";
  }
  void HoldPort(unsigned short port, bool held) override {
    if (held) {
      machine_.takenPorts.insert(port);
    } else {
      machine_.takenPorts.erase(port);
    }
  }

 private:
  MemoryEffects machine_;
};

}  // namespace

ContractMachine* NewContractMachine() { return new MemoryMachine; }

// Fuzz target: the files that describe a dry run's machine, read from any
// bytes: a saved machine state and a registry export. Either reads whole or
// names its line; nothing it reads may crash or exhaust the reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/machine_state.h"
#include "sim/registry_file.h"
#include "sim/simulated_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size), error;
  SimulatedMachine state;
  ReadMachineState(state, "vorn dry-run machine 1\n" + text, "state", &error);
  SimulatedMachine registry;
  ReadRegistryText(registry, text, "registry", &error);
  return 0;
}

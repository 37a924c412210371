// Script commands that look at the machine: the system variables, TCP/IP,
// the runtime's port, whether a DLL loads, and the free-space test.
#include "actions/action_groups.h"
#include "actions/system_vars.h"
#include "script/effects.h"
#include "script/engine.h"

// Port on which a running Vorn runtime listens.
const unsigned short kVornPort = 1200;

static void CmdGetSystemVars(Engine& engine, const Statement&) {
  GetSystemVars(engine);
}

static void CmdDetectTCPIP(Engine& engine, const Statement&) {
  engine.flags.condition = engine.effects->DetectTcpIp() == kOk ? 1 : 0;
}

// A port that cannot be listened on means a running runtime.
static void CmdIsVornRunning(Engine& engine, const Statement&) {
  engine.flags.condition =
      engine.effects->ListenOnTcpPort(kVornPort) != kOk ? 1 : 0;
}

// 1 when the library loads; it is freed again at once.
static void CmdCheckForDLL(Engine& engine, const Statement& st) {
  LibraryRef library = nullptr;
  bool loads =
      st.value1 && engine.effects->LoadLibrary(st.value1, &library) == kOk;
  if (loads) engine.effects->FreeLibrary(library);
  engine.flags.condition = loads ? 1 : 0;
}

// The free-space test always passes.
static void CmdIsSpace(Engine& engine, const Statement&) {
  engine.flags.condition = 1;
}

void BindProbeCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdGetSystemVars, CmdGetSystemVars},
      {kCmdDetectTCPIP, CmdDetectTCPIP},
      {kCmdIsVornRunning, CmdIsVornRunning},
      {kCmdCheckForDLL, CmdCheckForDLL},
      {kCmdIsSpace, CmdIsSpace},
  };
  BindCommands(engine, kBindings);
}

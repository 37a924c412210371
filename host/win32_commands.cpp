// Script commands that call Windows directly: the system variables and the
// machine probes.
#include "host/win32_commands.h"

#include "actions/probes.h"
#include "actions/system_vars.h"
#include "script/engine.h"

static void CmdGetSystemVars(Engine& engine, const Statement&) {
  GetSystemVars(engine);
}

static void CmdDetectTCPIP(Engine& engine, const Statement&) {
  engine.flags.condition = DetectTcpIp();
}

// A taken port means a running runtime.
static void CmdIsVornRunning(Engine& engine, const Statement&) {
  engine.flags.condition = ProbeVornPort(kVornPort) != 0 ? 1 : 0;
}

static void CmdCheckForDLL(Engine& engine, const Statement& st) {
  engine.flags.condition = CanLoadLibrary(st.value1);
}

// The free-space test always passes.
static void CmdIsSpace(Engine& engine, const Statement&) {
  engine.flags.condition = 1;
}

void BindWin32Commands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdGetSystemVars, CmdGetSystemVars},
      {kCmdDetectTCPIP, CmdDetectTCPIP},
      {kCmdIsVornRunning, CmdIsVornRunning},
      {kCmdCheckForDLL, CmdCheckForDLL},
      {kCmdIsSpace, CmdIsSpace},
  };
  BindCommands(engine, kBindings);
}

// Script commands on the variable store: set, get, Clr.
#include <cstring>

#include "script/commands.h"
#include "script/engine.h"

// set NAME VALUE: stores value 2 under text 1. Setting "SETUPNAME" (exactly
// so written) outside mini mode first invalidates the main window so the
// banner repaints. Without a value 2 there is nothing to store and the
// statement is ignored.
static void CmdSet(Engine& engine, const Statement& st) {
  if (!st.value2) return;
  if (strcmp(st.text1, "SETUPNAME") == 0 && !engine.modes.mini) {
    engine.host->InvalidateMainWindow();
  }
  VarSet(engine.vars, st.text1, st.value2);
}

// get: accepted and skipped.
static void CmdGet(Engine&, const Statement&) {}

static void CmdClr(Engine& engine, const Statement& st) {
  VarRemove(engine.vars, st.text1);
}

void BindVariableCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdSet, CmdSet},
      {kCmdGet, CmdGet},
      {kCmdClr, CmdClr},
  };
  BindCommands(engine, kBindings);
}

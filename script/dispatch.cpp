// Command dispatch: a lookup of the bound handler and a call.
#include "script/commands.h"
#include "script/engine.h"

void BindCommands(Engine& engine, const CommandBinding* bindings, int count) {
  for (int i = 0; i < count; ++i) {
    engine.handlers[bindings[i].id] = bindings[i].handler;
  }
}

void BindEngineCommands(Engine& engine) {
  BindVariableCommands(engine);
  BindMessageCommands(engine);
  BindControlFlowCommands(engine);
  BindHostCommands(engine);
  BindStringCommands(engine);
}

static void ReportInternalError(Engine& engine, const Statement& st) {
  if (!engine.modes.silent) {
    engine.host->ShowMessageBox("Invalid File Operation",
                                "Install Internal Error", kBoxOk);
  }
  SetFailure(engine);
  engine.host->DismissDialog(st.owner);
}

void DispatchCommand(Engine& engine, const Statement& st) {
  CommandHandler handler =
      (st.id > kCmdInvalid && st.id < kCommandCount) ? engine.handlers[st.id]
                                                      : nullptr;
  if (!handler) {
    ReportInternalError(engine, st);
    return;
  }
  handler(engine, st);
}

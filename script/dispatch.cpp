// Command dispatch: a lookup of the bound handler and a call.
#include "script/engine.h"
#include "script/errors.h"

void BindCommands(Engine& engine, const CommandBinding* bindings, int count) {
  for (int i = 0; i < count; ++i) {
    engine.handlers[bindings[i].id] = bindings[i].handler;
  }
}

// An identifier without a handler: the failure flag is set and the run's
// progress dialog dismissed; the run goes on.
static void ReportInternalError(Engine& engine, const Statement& st) {
  ReportError(engine, kSeverityGoOn, st.owner,
              {"internal error: the command has no handler"},
              "Install Internal Error", "Invalid File Operation");
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

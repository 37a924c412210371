// Command dispatch: a lookup of the bound handler and a call with the
// argument values its command-table row reads.
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

// The handler gets the values of the slots its row reads and no other,
// whether or not the journal looked the others up.
void DispatchCommand(Engine& engine, const Statement& st) {
  CommandHandler handler =
      (st.id > kCmdInvalid && st.id < kCommandCount) ? engine.handlers[st.id]
                                                      : nullptr;
  if (!handler) {
    ReportInternalError(engine, st);
    return;
  }
  const CommandRow& row = *CommandRowOf(st.id);
  Statement read = st;
  if (row.slot1 == kSlotUnused) read.value1 = nullptr;
  if (row.slot2 == kSlotUnused) read.value2 = nullptr;
  handler(engine, read);
}

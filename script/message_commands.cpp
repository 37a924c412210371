// Script commands that show message boxes or set the status line. Value 1 is
// the text, value 2 the caption; texts are formatted with no values.
#include "script/commands.h"
#include "script/engine.h"
#include "script/messages.h"

static void CmdMsgBoxOK(Engine& engine, const Statement& st) {
  if (engine.modes.silent) return;
  engine.flags.condition = ShowMsgBox(engine, kBoxOk, st.value2, st.value1);
}

static void CmdMsgBoxOKCancel(Engine& engine, const Statement& st) {
  if (engine.modes.silent) return;
  int answer = ShowMsgBox(engine, kBoxOkCancel, st.value2, st.value1);
  engine.flags.condition = answer == kIdOk ? 1 : 0;
}

static void CmdMsgBoxYESNO(Engine& engine, const Statement& st) {
  if (engine.modes.silent) return;
  int answer = ShowMsgBox(engine, kBoxYesNo, st.value2, st.value1);
  engine.flags.condition = answer == kIdYes ? 1 : 0;
}

static void CmdSetText(Engine& engine, const Statement& st) {
  SetItemTextFmt(engine, st.owner, kStatusLineId, st.value1);
}

void BindMessageCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdMsgBoxOK, CmdMsgBoxOK},
      {kCmdMsgBoxOKCancel, CmdMsgBoxOKCancel},
      {kCmdMsgBoxYESNO, CmdMsgBoxYESNO},
      {kCmdSetText, CmdSetText},
  };
  BindCommands(engine, kBindings);
}

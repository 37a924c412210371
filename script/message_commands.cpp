// Script commands that show message boxes or set the status line. Value 1 is
// the text, value 2 the caption; texts are formatted with no values.
#include "script/commands.h"
#include "script/engine.h"
#include "script/messages.h"

// A box that silent mode kept hidden leaves the condition as it was.
static void TakeAnswer(Engine& engine, int answer, int yes) {
  if (answer == kBoxHidden) return;
  engine.flags.condition = answer == yes ? 1 : 0;
}

// The OK box sets the condition to the button's identifier (0 when the box
// could not be shown).
static void CmdMsgBoxOK(Engine& engine, const Statement& st) {
  int answer = ShowMsgBox(engine, kBoxOk, st.value2, st.value1);
  if (answer != kBoxHidden) engine.flags.condition = answer;
}

static void CmdMsgBoxOKCancel(Engine& engine, const Statement& st) {
  TakeAnswer(engine, ShowMsgBox(engine, kBoxOkCancel, st.value2, st.value1),
             kIdOk);
}

static void CmdMsgBoxYESNO(Engine& engine, const Statement& st) {
  TakeAnswer(engine, ShowMsgBox(engine, kBoxYesNo, st.value2, st.value1),
             kIdYes);
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

// Script commands that show message boxes or set the status line. Value 1 is
// the text, value 2 the caption; texts are formatted with no values. The
// questions of OK/Cancel and Yes/No boxes take an answer given in advance
// (/ANSWERS=) instead, and the user's is recorded (/SAVEANSWERS=).
#include "script/answers.h"
#include "script/commands.h"
#include "script/engine.h"
#include "script/messages.h"
#include "script/unattended.h"

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

// A box that asks: the answer given in advance, else the user's, recorded.
static void AskInBox(Engine& engine, const Statement& st, int type, int yes) {
  char question[kQuestionMax];
  bool named = QuestionOf(st.id, st.text1, st.quoted1, question);
  int given = named ? GivenChoice(engine, question) : -1;
  if (given >= 0) {
    engine.flags.condition = given;
    return;
  }
  int answer = ShowMsgBox(engine, type, st.value2, st.value1);
  TakeAnswer(engine, answer, yes);
  if (named && answer != kBoxHidden && answer != 0) {
    RecordGivenChoice(engine, question, engine.flags.condition);
  }
}

static void CmdMsgBoxOKCancel(Engine& engine, const Statement& st) {
  AskInBox(engine, st, kBoxOkCancel, kIdOk);
}

static void CmdMsgBoxYESNO(Engine& engine, const Statement& st) {
  AskInBox(engine, st, kBoxYesNo, kIdYes);
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

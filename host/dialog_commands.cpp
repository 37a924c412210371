// IShowInstallDlg, ShowFile, SetupType and GetSMTPServer: the setup dialogs
// a script shows, with the owner window (the run's progress dialog) as
// their parent. Each answer goes to the condition flag. An answer given in
// advance (/ANSWERS=) is taken instead of asking; an answer the user gives
// is recorded (/SAVEANSWERS=).
#include "dialogs/setup_dialogs.h"
#include "host/dialog_commands.h"

#include <cstring>

#include "dialogs/dialog_rules.h"
#include "script/answers.h"
#include "script/engine.h"
#include "script/journal.h"
#include "script/messages.h"
#include "script/unattended.h"
#include "script/var_store.h"

static HWND AsWindow(WindowRef ref) { return static_cast<HWND>(ref); }

// The run's progress dialog is on screen behind a dialog that asks, as
// the run began (a run's dialog may still be waiting to be shown).
static void ShowOwner(Engine& engine, const Statement& st) {
  if (!engine.modes.silent) engine.host->RepaintNow(st.owner);
}

// The dialog's answer, as the condition flag has it.
static void JournalAnswer(Engine& engine, const char* dialog) {
  char answer[12];
  FormatDecimal(answer, engine.flags.condition);
  Journal(engine, "dialog", {dialog, " -> ", answer});
}

// The destination given in advance becomes DSTDIR, as the chooser's would.
static void TakeGivenDestination(Engine& engine) {
  const char* destination = GivenAnswer(engine, "DSTDIR");
  if (destination) VarSet(engine.vars, "DSTDIR", destination);
}

// The destination the user chose on the page, when it changed.
static void RecordChosenDestination(Engine& engine, const char* before) {
  const char* after = VarGet(engine.vars, "DSTDIR");
  if (after && strcmp(after, before) != 0) RecordGivenAnswer(engine, "DSTDIR", after);
}

// The page counts as confirmed when nobody is there to see it, or when the
// destination came with the command line.
static void CmdIShowInstallDlg(Engine& engine, const Statement& st) {
  if (engine.modes.commandLineDir[0]) {
    engine.flags.condition = 1;
    return;
  }
  TakeGivenDestination(engine);
  int given = GivenChoice(engine, "IShowInstallDlg");
  if (given >= 0 || engine.modes.silent) {
    engine.flags.condition = given >= 0 ? given : 1;
    return;
  }
  char before[kPathMax];
  CopyText(before, TextOrEmpty(VarGet(engine.vars, "DSTDIR")));
  ShowOwner(engine, st);
  engine.flags.condition = RunIntroPage(engine, AsWindow(st.owner));
  JournalAnswer(engine, "intro page");
  RecordGivenChoice(engine, "IShowInstallDlg", engine.flags.condition);
  RecordChosenDestination(engine, before);
  if (engine.flags.condition < 0) {
    ShowMsgBox(engine, kBoxOk, Message(engine, "ERROR_TTL"),
               Message(engine, "ERROR_DIALOG_MSG"));
  }
}

static void CmdShowFile(Engine& engine, const Statement& st) {
  char question[kQuestionMax];
  bool named = QuestionOf(st.id, st.text1, st.quoted1, question);
  int given = named ? GivenChoice(engine, question) : -1;
  if (given >= 0 || engine.modes.silent) {
    engine.flags.condition = given >= 0 ? given : 1;
    return;
  }
  ShowOwner(engine, st);
  engine.flags.condition = ShowTextFile(engine, AsWindow(st.owner), st.value1);
  JournalAnswer(engine, "licence");
  if (named) RecordGivenChoice(engine, question, engine.flags.condition);
}

// The setup type given in advance: the row with its text (ASCII case
// ignored) sets SETUPTYPE. False when it names no row.
static bool TakeGivenSetupType(Engine& engine, const char* given) {
  const char* row = SetupTypeRowText(engine.vars, given);
  if (row) return VarSet(engine.vars, "SETUPTYPE", row) >= 0;
  Journal(engine, "error", {"the answer SETUPTYPE = ", given, " names no setup type"});
  return false;
}

static void CmdSetupType(Engine& engine, const Statement& st) {
  const char* given = GivenAnswer(engine, "SETUPTYPE");
  if (given && TakeGivenSetupType(engine, given)) {
    engine.flags.condition = 1;
    return;
  }
  if (EndUnanswered(engine, "SETUPTYPE", st.owner)) return;
  ShowOwner(engine, st);
  engine.flags.condition = RunSetupTypeDialog(engine, AsWindow(st.owner));
  JournalAnswer(engine, "setup type");
  if (engine.flags.condition == 1) {
    RecordGivenAnswer(engine, "SETUPTYPE", VarGet(engine.vars, "SETUPTYPE"));
  }
  if (engine.flags.condition != 0) return;
  ShowAbortBox(engine);
  engine.host->DismissDialog(st.owner);
  engine.flags.abandoned = true;
  engine.flags.stop = 1;
  engine.flags.quit = 1;
}

static void CmdGetSMTPServer(Engine& engine, const Statement& st) {
  const char* given = GivenAnswer(engine, "STMPServer");
  if (given && VarSet(engine.vars, "STMPServer", given) >= 0) {
    engine.flags.condition = 1;
    return;
  }
  if (EndUnanswered(engine, "STMPServer", st.owner)) return;
  ShowOwner(engine, st);
  engine.flags.condition = RunSmtpPrompt(engine, AsWindow(st.owner));
  JournalAnswer(engine, "SMTP server");
  if (engine.flags.condition == 1) {
    RecordGivenAnswer(engine, "STMPServer", VarGet(engine.vars, "STMPServer"));
  }
  if (engine.flags.condition != 0) return;
  ShowAbortBox(engine);
  engine.host->DismissDialog(st.owner);
  SetFailure(engine);
  engine.flags.abandoned = true;
  engine.flags.stop = 1;
}

void BindDialogCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdIShowInstallDlg, CmdIShowInstallDlg},
      {kCmdShowFile, CmdShowFile},
      {kCmdSetupType, CmdSetupType},
      {kCmdGetSMTPServer, CmdGetSMTPServer},
  };
  BindCommands(engine, kBindings);
}

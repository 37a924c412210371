// IShowInstallDlg, ShowFile, SetupType and GetSMTPServer: the setup dialogs
// a script shows, with the owner window (the run's progress dialog) as
// their parent. Each answer goes to the condition flag.
#include "dialogs/setup_dialogs.h"
#include "host/dialog_commands.h"
#include "script/engine.h"
#include "script/journal.h"
#include "script/messages.h"
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

// The page counts as confirmed when nobody is there to see it, or when the
// destination came with the command line.
static void CmdIShowInstallDlg(Engine& engine, const Statement& st) {
  if (engine.modes.silent || engine.modes.commandLineDir[0]) {
    engine.flags.condition = 1;
    return;
  }
  ShowOwner(engine, st);
  engine.flags.condition = RunIntroPage(engine, AsWindow(st.owner));
  JournalAnswer(engine, "intro page");
  if (engine.flags.condition < 0) {
    ShowMsgBox(engine, kBoxOk, Message(engine, "ERROR_TTL"),
               Message(engine, "ERROR_DIALOG_MSG"));
  }
}

static void CmdShowFile(Engine& engine, const Statement& st) {
  if (engine.modes.silent) {
    engine.flags.condition = 1;
    return;
  }
  ShowOwner(engine, st);
  engine.flags.condition = ShowTextFile(engine, AsWindow(st.owner), st.value1);
  JournalAnswer(engine, "licence");
}

// The abort message, shown in silent mode too: the user chose to stop.
static void ShowAbortMessage(Engine& engine) {
  char text[kMsgMax];
  CopyText(text, TextOrEmpty(Message(engine, "ABORT_MSG")));
  ExpandNewlines(text);
  char formatted[kMsgMax];
  FormatMessageText(formatted, sizeof formatted, text, {});
  engine.host->ShowMessageBox(formatted, VarGet(engine.vars, "SETUPNAME"), kBoxOk);
}

static void CmdSetupType(Engine& engine, const Statement& st) {
  ShowOwner(engine, st);
  engine.flags.condition = RunSetupTypeDialog(engine, AsWindow(st.owner));
  JournalAnswer(engine, "setup type");
  if (engine.flags.condition != 0) return;
  ShowAbortMessage(engine);
  engine.host->DismissDialog(st.owner);
  engine.flags.abandoned = true;
  engine.flags.stop = 1;
  engine.flags.quit = 1;
}

static void CmdGetSMTPServer(Engine& engine, const Statement& st) {
  ShowOwner(engine, st);
  engine.flags.condition = RunSmtpPrompt(engine, AsWindow(st.owner));
  JournalAnswer(engine, "SMTP server");
  if (engine.flags.condition != 0) return;
  ShowAbortMessage(engine);
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

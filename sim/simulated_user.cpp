// The simulated user's answers to message boxes and the setup dialogs.
#include "sim/simulated_user.h"

#include <string>

#include "dialogs/dialog_rules.h"
#include "script/answers.h"
#include "script/engine.h"
#include "script/messages.h"
#include "script/script_file.h"
#include "script/text.h"
#include "script/unattended.h"
#include "script/var_store.h"

void SimulatedUser::WriteLine(const char* text) {
  PlanStep step;
  std::string line = text;
  ScriptFile* script = engine_.script;
  if (script && script->IsOpen() && engine_.runDepth > 0) {
    step.place = script->Path();
    if (script->LineNumber() > 0) step.place += ":" + std::to_string(script->LineNumber());
    line.erase(0, step.place.size() + 2);
  }
  size_t cut = line.find(": ");
  step.kind = line.substr(0, cut);
  step.detail = cut == std::string::npos ? "" : line.substr(cut + 2);
  steps.push_back(step);
}

int SimulatedUser::ShowMessageBox(const char* text, const char* caption, int type) {
  int answer = type == kBoxYesNo ? kIdYes : kIdOk;
  std::string number = std::to_string(answer);
  Journal(engine_, "message box",
          {caption ? caption : "", ": ", text, " -> button ", number.c_str(),
           " (the simulated user: the first button)"});
  return answer;
}

void SimulatedUser::RequestReboot() {
  Journal(engine_, "reboot", {"requested (not done by the simulation)"});
}

void SimulatedUser::LogFailure(const char* operation, const char* subject, unsigned long code) {
  std::string number = std::to_string(code);
  Journal(engine_, "failure", {operation, " ", subject, ": error ", number.c_str()});
}

namespace {

// The simulated user's answer to a dialog, as the condition has it.
void JournalUsersAnswer(Engine& engine, const char* dialog, const char* what) {
  std::string answer = std::to_string(engine.flags.condition);
  Journal(engine, "dialog", {dialog, " -> ", answer.c_str(), " (the simulated user: ", what, ")"});
}

// A choice question: the answer given in advance, or in silent mode the
// dialog's confirmation, or the simulated user's first button.
void AskChoice(Engine& engine, const char* question, const char* dialog, const char* what) {
  int given = question ? GivenChoice(engine, question) : -1;
  if (given >= 0 || engine.modes.silent) {
    engine.flags.condition = given >= 0 ? given : 1;
    return;
  }
  engine.flags.condition = 1;
  JournalUsersAnswer(engine, dialog, what);
  if (question) RecordGivenChoice(engine, question, 1);
}

void SimIShowInstallDlg(Engine& engine, const Statement&) {
  if (engine.modes.commandLineDir[0]) {
    engine.flags.condition = 1;
    return;
  }
  const char* destination = GivenAnswer(engine, "DSTDIR");
  if (destination) VarSet(engine.vars, "DSTDIR", destination);
  std::string what = std::string("continue to ") + TextOrEmpty(VarGet(engine.vars, "DSTDIR"));
  AskChoice(engine, "IShowInstallDlg", "intro page", what.c_str());
}

void SimShowFile(Engine& engine, const Statement& st) {
  char question[kQuestionMax];
  bool named = QuestionOf(st.id, st.text1, st.quoted1, question);
  AskChoice(engine, named ? question : nullptr, "licence", "agree");
}

void SimSetupType(Engine& engine, const Statement& st) {
  const char* given = GivenAnswer(engine, "SETUPTYPE");
  const char* row = given ? SetupTypeRowText(engine.vars, given) : nullptr;
  if (given && !row) {
    Journal(engine, "error", {"the answer SETUPTYPE = ", given, " names no setup type"});
  }
  if (row) {
    engine.flags.condition = VarSet(engine.vars, "SETUPTYPE", row) >= 0 ? 1 : 0;
    return;
  }
  if (EndUnanswered(engine, "SETUPTYPE", st.owner)) return;
  SetupTypeRow rows[kSetupTypeRowsMax];
  if (CollectSetupTypeRows(engine.vars, rows) == 0) {
    // An empty list cannot be confirmed: the user can only abort.
    engine.flags.condition = 0;
    JournalUsersAnswer(engine, "setup type", "abort, the list is empty");
    ShowAbortBox(engine);
    engine.host->DismissDialog(st.owner);
    engine.flags.abandoned = true;
    engine.flags.stop = 1;
    engine.flags.quit = 1;
    return;
  }
  engine.flags.condition = VarSet(engine.vars, "SETUPTYPE", rows[0].text) >= 0 ? 1 : 0;
  JournalUsersAnswer(engine, "setup type", (std::string("the first row, ") + rows[0].text).c_str());
  RecordGivenAnswer(engine, "SETUPTYPE", rows[0].text);
}

void SimGetSMTPServer(Engine& engine, const Statement& st) {
  const char* given = GivenAnswer(engine, "STMPServer");
  if (given && VarSet(engine.vars, "STMPServer", given) >= 0) {
    engine.flags.condition = 1;
    return;
  }
  if (EndUnanswered(engine, "STMPServer", st.owner)) return;
  engine.flags.condition = VarSet(engine.vars, "STMPServer", kOfferedSmtpServer) >= 0 ? 1 : 0;
  JournalUsersAnswer(engine, "SMTP server",
                     (std::string("the server offered, ") + kOfferedSmtpServer).c_str());
  RecordGivenAnswer(engine, "STMPServer", kOfferedSmtpServer);
}

}  // namespace

void BindSimulatedDialogs(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdIShowInstallDlg, SimIShowInstallDlg},
      {kCmdShowFile, SimShowFile},
      {kCmdSetupType, SimSetupType},
      {kCmdGetSMTPServer, SimGetSMTPServer},
  };
  BindCommands(engine, kBindings);
}

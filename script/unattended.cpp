// Answers given in advance, answers recorded, and the unattended run that
// lacks one.
#include "script/unattended.h"

#include "script/answers.h"
#include "script/engine.h"
#include "script/errors.h"
#include "script/journal.h"
#include "script/messages.h"

void RecordGivenAnswer(Engine& engine, const char* question, const char* answer) {
  if (!engine.recorded || !answer) return;
  if (!RecordAnswer(*engine.recorded, question, answer)) {
    Journal(engine, "error", {"the answer cannot be recorded: ", question, " = ", answer});
  }
}

// A given answer is recorded too, so that a record of a replayed run holds
// every answer it used.
const char* GivenAnswer(Engine& engine, const char* question) {
  if (!engine.answers) return nullptr;
  const char* answer = FindAnswer(*engine.answers, question);
  if (!answer) return nullptr;
  Journal(engine, "answer", {question, " = ", answer, " (answers file)"});
  RecordGivenAnswer(engine, question, answer);
  return answer;
}

int GivenChoice(Engine& engine, const char* question) {
  const char* answer = GivenAnswer(engine, question);
  return answer ? ChoiceValue(question, answer) : -1;
}

void RecordGivenChoice(Engine& engine, const char* question, int condition) {
  if (condition < 0) return;  // the dialog could not be shown
  RecordGivenAnswer(engine, question, ChoiceWord(question, condition));
}

bool EndUnanswered(Engine& engine, const char* question, WindowRef dialog) {
  if (!engine.answers || !engine.modes.silent) return false;
  Journal(engine, "error", {"unattended run: no answer for ", question});
  engine.flags.unanswered = true;
  TakeSeverity(engine, kSeverityEndEveryRun, dialog);
  return true;
}

// The error of an answers file, in the journal and (not in silent mode) a
// box; nothing has been installed yet.
static void ReportAnswersFile(Engine& engine, const char* path, const char* what) {
  Journal(engine, "error", {"answers file ", path, ": ", what});
  ShowMsgBox(engine, kBoxOk, "Setup", "The answers file cannot be used:\n%s\n%s",
             {path, what});
}

bool LoadRunAnswers(Engine& engine, AnswerStore& given, AnswerStore& recorded) {
  const RunModes& modes = engine.modes;
  engine.answers = nullptr;
  engine.recorded = nullptr;
  if (modes.saveAnswersRequested) {
    recorded.count = 0;
    engine.recorded = &recorded;
  }
  if (!modes.answersRequested) return true;
  AnswersError error = {0, nullptr};
  Status status = LoadAnswers(*engine.effects, modes.answersPath, given, error);
  if (status != kOk) {
    ReportAnswersFile(engine, modes.answersPath[0] ? modes.answersPath : "(no usable path)",
                      "it cannot be read");
    return false;
  }
  if (error.reason) {
    char line[12];
    FormatDecimal(line, error.line);
    char what[kMsgMax];
    JoinText(what, {"line ", line, ": ", error.reason});
    ReportAnswersFile(engine, modes.answersPath, what);
    return false;
  }
  engine.answers = &given;
  return true;
}

void SaveRunAnswers(Engine& engine) {
  if (!engine.recorded) return;
  const char* path = engine.modes.saveAnswersPath;
  if (path[0] && WriteAnswers(*engine.effects, path, *engine.recorded) == kOk) {
    Journal(engine, "answers", {"recorded in ", path});
    return;
  }
  ReportError(engine, kSeverityCounted, nullptr,
              {"the answers cannot be recorded in ", path[0] ? path : "(no usable path)"},
              "Setup", "The answers cannot be recorded in %s", {path});
}

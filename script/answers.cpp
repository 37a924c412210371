// The answers file: its question table, the line reader, the checks every
// answer passes (read or recorded), the lookup and the writer.
#include "script/answers.h"

#include <cstring>

#include "script/byte_buffer.h"

namespace {

// One question: its keyword, the command that asks it, whether the
// command's first argument is part of it, and what answers it.
struct QuestionRule {
  const char* keyword;
  const char* firstWord;     // a choice: its two words; null: a free text
  const char* secondWord;
  const char* wrongAnswer;   // the reason for an answer that does not fit
  unsigned short answerMax;  // a free text's most characters
  CommandId asker;           // kCmdInvalid: asked by no command of its own
  bool takesArgument;
};

const QuestionRule kQuestionRules[] = {
    {"IShowInstallDlg", "continue", "abort",
     "the answer is neither continue nor abort", 0, kCmdIShowInstallDlg, false},
    {"DSTDIR", nullptr, nullptr,
     "the folder is longer than 259 characters", kPathMax - 1, kCmdInvalid, false},
    {"ShowFile", "agree", "disagree",
     "the answer is neither agree nor disagree", 0, kCmdShowFile, true},
    {"SETUPTYPE", nullptr, nullptr,
     "the setup type is longer than 259 characters", kAnswerMax - 1, kCmdSetupType, false},
    {"STMPServer", nullptr, nullptr,
     "the server name is longer than 254 characters", 254, kCmdGetSMTPServer, false},
    {"MsgBoxYESNO", "yes", "no",
     "the answer is neither yes nor no", 0, kCmdMsgBoxYESNO, true},
    {"MsgBoxOKCancel", "ok", "cancel",
     "the answer is neither ok nor cancel", 0, kCmdMsgBoxOKCancel, true},
};

const char* const kNotText = "a NUL byte: this is not a text file";
const char* const kLineTooLong = "the line is longer than 1,023 bytes";
const char* const kNoEquals = "expected \"question = answer\"";
const char* const kUnknownQuestion = "unknown question";
const char* const kArgumentNeeded = "the question needs the command's first argument";
const char* const kNoArgument = "the question takes no argument";
const char* const kOneArgument = "expected one bare name or one quoted text";
const char* const kQuestionTooLong = "the question is longer than 299 characters";
const char* const kEmptyAnswer = "empty answer";
const char* const kAnsweredTwice = "the question is answered on an earlier line";
const char* const kStoreFull = "more than 64 answers";

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

template <typename Text>
Text* SkipSpaces(Text* text) {
  while (IsSpaceOrTab(*text)) ++text;
  return text;
}

void TrimEnd(char* text) {
  size_t length = strlen(text);
  while (length > 0 && IsSpaceOrTab(text[length - 1])) text[--length] = 0;
}

bool IsWhollyQuoted(const char* text, size_t length) {
  return length >= 2 && text[0] == '"' && text[length - 1] == '"';
}

// The rule whose keyword is the first word of `question`, or null.
const QuestionRule* RuleOfQuestion(const char* question) {
  size_t length = 0;
  while (question[length] && !IsSpaceOrTab(question[length])) ++length;
  for (const QuestionRule& rule : kQuestionRules) {
    if (strlen(rule.keyword) == length && StartsWithNoCase(question, rule.keyword)) {
      return &rule;
    }
  }
  return nullptr;
}

// A bare name has no blank; a quoted text ends at its one closing quote.
bool IsOneArgument(const char* argument) {
  if (argument[0] == '"') {
    const char* close = strchr(argument + 1, '"');
    return close && close[1] == 0;
  }
  for (; *argument; ++argument) {
    if (IsSpaceOrTab(*argument)) return false;
  }
  return true;
}

// Writes `written` (no blanks at its ends) in its normalised form. Returns
// why it is no question, or null.
const char* NormaliseQuestion(const char* written, const QuestionRule** rule,
                              char (&question)[kQuestionMax]) {
  *rule = RuleOfQuestion(written);
  if (!*rule) return kUnknownQuestion;
  const char* argument = SkipSpaces(written + strlen((*rule)->keyword));
  if (!(*rule)->takesArgument) {
    if (*argument) return kNoArgument;
    CopyText(question, (*rule)->keyword);
    return nullptr;
  }
  if (!*argument) return kArgumentNeeded;
  if (!IsOneArgument(argument)) return kOneArgument;
  if (!JoinText(question, {(*rule)->keyword, " ", argument})) return kQuestionTooLong;
  return nullptr;
}

int WordValue(const QuestionRule& rule, const char* answer) {
  if (!rule.firstWord) return -1;
  if (EqualsNoCase(answer, rule.firstWord)) return 1;
  if (EqualsNoCase(answer, rule.secondWord)) return 0;
  return -1;
}

AnswerRow* RowOf(AnswerStore& store, const char* question) {
  for (int i = 0; i < store.count; ++i) {
    if (strcmp(store.rows[i].question, question) == 0) return &store.rows[i];
  }
  return nullptr;
}

// Checks and adds one answer. Returns why it cannot be stored, or null; a
// question already there is kAnsweredTwice, the store left as it was.
const char* AddAnswer(AnswerStore& store, const char* writtenQuestion,
                      const char* answer) {
  char question[kQuestionMax];
  const QuestionRule* rule = nullptr;
  if (const char* reason = NormaliseQuestion(writtenQuestion, &rule, question)) {
    return reason;
  }
  if (!*answer) return kEmptyAnswer;
  if (rule->firstWord) {
    int value = WordValue(*rule, answer);
    if (value < 0) return rule->wrongAnswer;
    answer = value ? rule->firstWord : rule->secondWord;
  } else if (!FitsIn(answer, rule->answerMax + 1)) {
    return rule->wrongAnswer;
  }
  if (RowOf(store, question)) return kAnsweredTwice;
  if (store.count >= kAnswersMax) return kStoreFull;
  AnswerRow& row = store.rows[store.count++];
  CopyText(row.question, question);
  CopyText(row.answer, answer);
  row.used = false;
  return nullptr;
}

// Takes one line (terminated, without its end). Returns why it is
// malformed, or null for an answer or a comment.
const char* TakeLine(char* line, AnswerStore& store) {
  char* question = SkipSpaces(line);
  if (!*question || *question == ';' || *question == '#') return nullptr;
  char* equals = question;
  for (bool inQuotes = false; *equals && (inQuotes || *equals != '='); ++equals) {
    if (*equals == '"') inQuotes = !inQuotes;
  }
  if (!*equals) return kNoEquals;
  *equals = 0;
  TrimEnd(question);
  char* answer = SkipSpaces(equals + 1);
  TrimEnd(answer);
  size_t length = strlen(answer);
  if (IsWhollyQuoted(answer, length)) {
    answer[length - 1] = 0;
    ++answer;
  }
  return AddAnswer(store, question, answer);
}

// Copies the line at `*pos` into `line` and moves past its end. Returns why
// it cannot be read as text, or null.
const char* CutLine(const char* text, size_t size, size_t* pos,
                    char (&line)[kLineMax]) {
  size_t start = *pos;
  size_t end = start;
  while (end < size && text[end] != '\n' && text[end] != '\r') {
    if (text[end] == 0) return kNotText;
    ++end;
  }
  if (end - start > kAnswerLineMax) return kLineTooLong;
  memcpy(line, text + start, end - start);
  line[end - start] = 0;
  bool crLf = end + 1 < size && text[end] == '\r' && text[end + 1] == '\n';
  *pos = end < size ? end + (crLf ? 2 : 1) : end;
  return nullptr;
}

// A line break would end the answer's line early.
bool IsWritable(const char* answer) {
  for (const char* p = answer; *p; ++p) {
    if (*p == '\r' || *p == '\n') return false;
  }
  return true;
}

// Quotes keep what the reader would take off: blanks at its ends, or
// quotes around the whole of it.
bool NeedsQuotes(const char* answer) {
  size_t length = strlen(answer);
  return length > 0 && (IsSpaceOrTab(answer[0]) || IsSpaceOrTab(answer[length - 1]) ||
                        IsWhollyQuoted(answer, length));
}

}  // namespace

bool ParseAnswers(const char* text, size_t size, AnswerStore& store,
                  AnswersError& error) {
  store.count = 0;
  error.line = 0;
  error.reason = nullptr;
  size_t pos = size >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  char line[kLineMax];
  while (pos < size) {
    ++error.line;
    error.reason = CutLine(text, size, &pos, line);
    if (!error.reason) error.reason = TakeLine(line, store);
    if (error.reason) {
      store.count = 0;
      return false;
    }
  }
  error.line = 0;
  return true;
}

Status LoadAnswers(Effects& effects, const char* path, AnswerStore& store,
                   AnswersError& error) {
  store.count = 0;
  error.line = 0;
  error.reason = nullptr;
  ByteBuffer contents;
  Status status = effects.ReadWholeFile(path, &contents);
  if (status == kOk) ParseAnswers(contents.data(), contents.size(), store, error);
  return status;
}

bool QuestionOf(CommandId id, const char* argument, bool quoted,
                char (&question)[kQuestionMax]) {
  question[0] = 0;
  for (const QuestionRule& rule : kQuestionRules) {
    if (id == kCmdInvalid || rule.asker != id) continue;
    if (!rule.takesArgument) return JoinText(question, {rule.keyword});
    if (!quoted && !*TextOrEmpty(argument)) return false;
    const char* quote = quoted ? "\"" : "";
    return JoinText(question, {rule.keyword, " ", quote, TextOrEmpty(argument), quote});
  }
  return false;
}

const char* FindAnswer(AnswerStore& store, const char* question) {
  char normalised[kQuestionMax];
  const QuestionRule* rule = nullptr;
  if (NormaliseQuestion(question, &rule, normalised)) return nullptr;
  AnswerRow* row = RowOf(store, normalised);
  if (!row) return nullptr;
  row->used = true;
  return row->answer;
}

int ChoiceValue(const char* question, const char* answer) {
  const QuestionRule* rule = RuleOfQuestion(question);
  return rule && answer ? WordValue(*rule, answer) : -1;
}

const char* ChoiceWord(const char* question, int value) {
  const QuestionRule* rule = RuleOfQuestion(question);
  if (!rule || !rule->firstWord) return nullptr;
  return value == 1 ? rule->firstWord : rule->secondWord;
}

bool RecordAnswer(AnswerStore& store, const char* question, const char* answer) {
  if (!answer || !IsWritable(answer)) return false;
  const char* reason = AddAnswer(store, question, answer);
  return !reason || reason == kAnsweredTwice;
}

Status WriteAnswers(Effects& effects, const char* path,
                    const AnswerStore& store) {
  ByteBuffer text;
  text.AppendText(
      "; Answers recorded by setup.exe\r\n"
      "; One answer a line, \"question = answer\"; replay them with "
      "setup.exe /SILENT /ANSWERS=<this file>\r\n");
  for (int i = 0; i < store.count; ++i) {
    const AnswerRow& row = store.rows[i];
    const char* quote = NeedsQuotes(row.answer) ? "\"" : "";
    for (const char* part : {row.question, " = ", quote, row.answer, quote, "\r\n"}) {
      text.AppendText(part);
    }
  }
  if (text.failed()) return kErrNotEnoughMemory;
  unsigned long attributes = 0;
  bool existed = effects.GetFileAttributes(path, &attributes) == kOk;
  Status status = effects.WriteNewFile(path, text.data(), text.size());
  if (status != kOk && !existed) effects.DeleteFile(path);
  return status;
}

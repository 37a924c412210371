// The answers file of unattended runs: a plain text of "question = answer"
// lines that answers a run's questions in advance (/ANSWERS=), and the
// same text recorded from the answers of an interactive run (/SAVEANSWERS=).
// This module reads, checks, looks up, records and writes answers; the
// dialogs and the command line decide when to ask it.
//
// The file: one answer a line, "<question> = <answer>". The question is
// the text before the first '=' outside double quotes, the answer the rest;
// both lose their blanks (space, tab) at either end, and an answer wholly in
// double quotes loses them (so "  x" keeps its blanks). Blank lines and
// lines whose first non-blank byte is ';' or '#' are comments. Lines end in
// CR LF, LF or a lone CR, hold at most 1,023 bytes, and a UTF-8 byte-order
// mark at the start is skipped.
//
// The questions (keywords ignore ASCII case; an argument is compared as
// written, a bare variable name or a quoted text with its quotes):
//   IShowInstallDlg          the intro page          continue | abort
//   DSTDIR                   the intro page's folder a path, 1..259 chars
//   ShowFile <arg>           the licence             agree | disagree
//   SETUPTYPE                the setup-type list     a row's text, 1..259
//                            chars; the row is found with ASCII case ignored
//   STMPServer               the mail-server prompt  1..254 chars
//   MsgBoxYESNO <arg>        a Yes/No box            yes | no
//   MsgBoxOKCancel <arg>     an OK/Cancel box        ok | cancel
// The choice words ignore ASCII case; free texts are taken as written.
// Questions are stored normalised (the keyword as above, one blank, the
// argument), choices as the word above in lower case.
//
// Use:
//   Status status = LoadAnswers(effects, path, store, error);
//   status != kOk: the file cannot be read; error.reason set: it is
//   malformed at error.line. Then, where a statement asks:
//   QuestionOf(statement.id, statement.text1, statement.quoted1, question)
//   and FindAnswer(store, question); ChoiceValue gives a choice's result.
//   Recording: RecordAnswer(store, question, ChoiceWord(question, result)
//   or the text given), then WriteAnswers once at the end.
#pragma once

#include <cstddef>

#include "script/command_table.h"
#include "script/effects.h"
#include "script/text.h"

const int kAnswersMax = 64;           // answers a store holds
const size_t kQuestionMax = 300;      // a normalised question, with its NUL
const size_t kAnswerMax = kPathMax;   // an answer, with its NUL
const size_t kAnswerLineMax = kLineMax - 1;  // bytes of a line, without its end

struct AnswerRow {
  char question[kQuestionMax];
  char answer[kAnswerMax];
  bool used;  // FindAnswer returned it
};

// Zero-initialised it is empty: a process-wide store costs no file size.
struct AnswerStore {
  int count;
  AnswerRow rows[kAnswersMax];  // the first `count`, in the order given
};

// What is wrong with a file: its 1-based line and a short English reason
// (a text of this module); line 0 and a null reason when nothing is.
struct AnswersError {
  long line;
  const char* reason;
};

// Reads `size` bytes of answers into `store`, emptied first. False at the
// first malformed line, with `error` naming it and `store` empty.
bool ParseAnswers(const char* text, size_t size, AnswerStore& store,
                  AnswersError& error);
// Reads the file whole and parses it. Returns the read's status; with kOk,
// `error.reason` is null for a well-formed file and names the malformed line
// otherwise. A file that cannot be read leaves `store` empty.
Status LoadAnswers(Effects& effects, const char* path, AnswerStore& store,
                   AnswersError& error);

// The question that command `id` asks, built from its first argument as
// written (`quoted`: a quoted text, which gets its quotes back): "ShowFile
// \"licence.txt\"", "SETUPTYPE". The intro page asks two: "IShowInstallDlg"
// (this one) and "DSTDIR". False when the command asks nothing, or its
// question cannot be written in a file (a bare argument that is empty, a
// question longer than kQuestionMax-1 bytes): then it is asked as usual.
bool QuestionOf(CommandId id, const char* argument, bool quoted,
                char (&question)[kQuestionMax]);
// The answer to `question` (normalised here, so keywords ignore case),
// marking its row used; null when the store does not answer it.
const char* FindAnswer(AnswerStore& store, const char* question);
// For a choice question: 1 for its first word (continue, agree, yes, ok),
// 0 for its second; -1 for any other answer or question.
int ChoiceValue(const char* question, const char* answer);
// The word of a choice's result (1: the first word, else the second), for
// recording: ChoiceWord("MsgBoxYESNO X", 1) is "yes". Null when `question`
// is no choice question.
const char* ChoiceWord(const char* question, int value);

// Adds an answer, as the file would give it; a question already recorded
// keeps its first answer (true). False when the answer would not read back
// (an unknown question, no answer, a wrong or empty one, one too long or
// holding a line break) or the store is full.
bool RecordAnswer(AnswerStore& store, const char* question, const char* answer);
// Writes a header comment and the recorded answers, in the order given,
// with CR LF line ends, in one WriteNewFile. A failed write removes the file
// when this call created it; one that was there before is left as the
// write left it. Returns the status of the write (or of memory).
Status WriteAnswers(Effects& effects, const char* path,
                    const AnswerStore& store);

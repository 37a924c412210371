// The questions of a run and their answers: those given in advance with
// /ANSWERS= (looked up, journaled as used), those a user gives (recorded
// for /SAVEANSWERS=), and the end of an unattended run that lacks one.
// The dialogs and the boxes ask here before they ask the user.
#pragma once

#include "script/host.h"

struct AnswerStore;
struct Engine;

// The answer given in advance to `question`, journaled as used; null when
// the run has no answers file or the file does not answer it.
const char* GivenAnswer(Engine& engine, const char* question);
// The condition a choice question's given answer sets (1 for continue,
// agree, yes, ok; 0 for the other word); -1 when it has none.
int GivenChoice(Engine& engine, const char* question);

// Records the answer the user gave, when the run records its answers.
void RecordGivenAnswer(Engine& engine, const char* question, const char* answer);
// The same for a choice question, from the condition the answer set.
void RecordGivenChoice(Engine& engine, const char* question, int condition);

// An unattended run (/ANSWERS= with /SILENT) cannot ask `question`, which
// silent mode still asks: the journal names it and every run ends; the
// exit code is 3. False, with nothing done, when the run is not unattended.
bool EndUnanswered(Engine& engine, const char* question, WindowRef dialog);

// Reads the answers file the command line names, when it names one, and
// prepares the record of answers when one is asked for. False, with the
// journal line and the box (not in silent mode) that say what is wrong,
// when the file cannot be read or is malformed: nothing may be installed.
bool LoadRunAnswers(Engine& engine, AnswerStore& given, AnswerStore& recorded);
// Writes the recorded answers where /SAVEANSWERS= asked; a write that fails
// is an error of the run, journaled and shown.
void SaveRunAnswers(Engine& engine);

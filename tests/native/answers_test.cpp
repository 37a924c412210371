// The answers file of unattended runs: what well-formed files answer, the
// line and reason of each malformed one, the questions statements ask and
// the choices' words, and recorded answers written and read back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/answers.h"
#include "sim/memory_effects.h"

namespace {

// Every stored answer, "question=answer|" each, or "N: reason" for line N.
std::string Parsed(const std::string& text) {
  auto store = std::make_unique<AnswerStore>();
  AnswersError error{-1, "unset"};
  bool read = ParseAnswers(text.data(), text.size(), *store, error);
  std::string found = read ? "" : std::to_string(error.line) + ": " + error.reason;
  EXPECT_EQ(read, error.reason == nullptr);
  for (int i = 0; i < store->count; ++i) {  // none after an error
    found += std::string(store->rows[i].question) + "=" + store->rows[i].answer + "|";
  }
  return found;
}

// `count` answered boxes: the file's lines, or what Parsed gives for them.
std::string Boxes(int count, bool asParsed = false) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "MsgBoxYESNO Q" + std::to_string(i) + (asParsed ? "=no|" : " = No\n");
  }
  return text;
}

const std::string kBom = "\xEF\xBB\xBF";
const std::string kExample =
    "; Answers for setup.exe /ANSWERS=answers.txt\r\n# a comment\r\n"
    "IShowInstallDlg = continue\r\nDSTDIR = C:\\Program Files\\Quill\r\n"
    "ShowFile LICENCE = agree\r\nSETUPTYPE = Full installation\r\n"
    "STMPServer = mail.example.com\r\nMsgBoxYESNO WELCOME_MSG = yes\r\n"
    "MsgBoxOKCancel \"Insert the second disk\" = ok\r\n";

TEST(Answers, WellFormedFilesGiveTheirAnswers) {
  struct Case { std::string text, answers; };
  const Case cases[] = {
      {kExample,
       "IShowInstallDlg=continue|DSTDIR=C:\\Program Files\\Quill|ShowFile LICENCE=agree|"
       "SETUPTYPE=Full installation|STMPServer=mail.example.com|"
       "MsgBoxYESNO WELCOME_MSG=yes|MsgBoxOKCancel \"Insert the second disk\"=ok|"},
      {"", ""},
      {kBom + "; only\n# comments\n \t \n\n", ""},
      {kBom + "DSTDIR=C:\\x", "DSTDIR=C:\\x|"},
      // LF, lone CR and CR LF ends, and a last line without one
      {"IShowInstallDlg = abort\rSETUPTYPE = Mini\n\r\nSTMPServer = m\r\n\r;x\rDSTDIR = D:\\",
       "IShowInstallDlg=abort|SETUPTYPE=Mini|STMPServer=m|DSTDIR=D:\\|"},
      // keywords and words in any case, runs of blanks, arguments as written
      {"  msgboxyesno \t  welcome_MSG \t=\t YES  \nshowFILE  \"a.txt\"=Disagree\n"
       "MSGBOXOKCANCEL X = Cancel\n",
       "MsgBoxYESNO welcome_MSG=yes|ShowFile \"a.txt\"=disagree|MsgBoxOKCancel X=cancel|"},
      // an '=' inside the quoted argument or in the answer, quoted answers
      {"MsgBoxOKCancel \"Disk = 2; go #\" = ok\nDSTDIR = C:\\a=b\n"
       "SETUPTYPE = \"  Full \"\nSTMPServer = \"mail\nMsgBoxYESNO \"\" = no\n",
       "MsgBoxOKCancel \"Disk = 2; go #\"=ok|DSTDIR=C:\\a=b|SETUPTYPE=  Full |"
       "STMPServer=\"mail|MsgBoxYESNO \"\"=no|"},
      // the longest answers, line (1,023 bytes) and store
      {"DSTDIR = " + std::string(259, 'd') + "\nSTMPServer = " + std::string(254, 's') +
           "\nSETUPTYPE =" + std::string(1000, ' ') + "x" + std::string(11, ' '),
       "DSTDIR=" + std::string(259, 'd') + "|STMPServer=" + std::string(254, 's') +
           "|SETUPTYPE=x|"},
      {Boxes(kAnswersMax), Boxes(kAnswersMax, true)},
  };
  for (const Case& c : cases) EXPECT_EQ(Parsed(c.text), c.answers) << c.text;
}

TEST(Answers, MalformedFilesNameTheirLineAndReason) {
  const std::string kArgument = "expected one bare name or one quoted text";
  const std::string kTwice = "the question is answered on an earlier line";
  struct Case { std::string text, error; };
  const Case cases[] = {
      {"DSTDIR C:\\x\n", "1: expected \"question = answer\""},
      {"MsgBoxYESNO \"open = yes\n", "1: expected \"question = answer\""},
      {"; a\r; b\rFrobnicate = 1\n", "3: unknown question"},
      {kBom + "\r\n\r\n = x", "3: unknown question"},
      {"MsgBoxYESNO = yes", "1: the question needs the command's first argument"},
      {"DSTDIR C = C:\\x", "1: the question takes no argument"},
      {"MsgBoxYESNO A B = yes", "1: " + kArgument},
      {"MsgBoxYESNO \"A\" B = yes", "1: " + kArgument},
      {"ShowFile L = maybe", "1: the answer is neither agree nor disagree"},
      {"IShowInstallDlg = yes", "1: the answer is neither continue nor abort"},
      {"MsgBoxYESNO X = \"yes\"x", "1: the answer is neither yes nor no"},
      {"MsgBoxOKCancel X = yes", "1: the answer is neither ok nor cancel"},
      {"SETUPTYPE = \t\n", "1: empty answer"},
      {"DSTDIR = \"\"", "1: empty answer"},
      {"DSTDIR = " + std::string(260, 'd'), "1: the folder is longer than 259 characters"},
      {"STMPServer = " + std::string(255, 's'), "1: the server name is longer than 254 characters"},
      {"SETUPTYPE = " + std::string(260, 't'), "1: the setup type is longer than 259 characters"},
      {"MsgBoxYESNO \"" + std::string(286, 'q') + "\" = no",
       "1: the question is longer than 299 characters"},
      {"; x\r\n;" + std::string(1023, ' '), "2: the line is longer than 1,023 bytes"},
      {"DSTDIR = a\r\ndstdir = b", "2: " + kTwice},
      {"MsgBoxYESNO X = yes\nMsgBoxYESNO  \tX = no", "2: " + kTwice},
      {Boxes(kAnswersMax + 1), "65: more than 64 answers"},
      {std::string("DSTDIR = a\nDSTDIR\0 = b\n", 23), "2: a NUL byte: this is not a text file"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parsed(c.text), c.error) << c.text;
}

TEST(Answers, StatementsAskTheQuestionsTheFileAnswers) {
  struct Case { CommandId id; std::string argument; bool quoted; const char* question; };
  const Case cases[] = {
      {kCmdIShowInstallDlg, "", false, "IShowInstallDlg"},
      {kCmdShowFile, "licence.txt", true, "ShowFile \"licence.txt\""},
      {kCmdSetupType, "", false, "SETUPTYPE"},
      {kCmdGetSMTPServer, "", false, "STMPServer"},
      {kCmdMsgBoxYESNO, "WELCOME_MSG", false, "MsgBoxYESNO WELCOME_MSG"},
      {kCmdMsgBoxOKCancel, "", true, "MsgBoxOKCancel \"\""},
      {kCmdMsgBoxYESNO, std::string(288, 'a'), false, nullptr},  // 300 characters
      {kCmdMsgBoxYESNO, std::string(286, 'a'), true, nullptr},
      {kCmdMsgBoxYESNO, "", false, nullptr},  // no argument: not answerable
      {kCmdMsgBoxOK, "X", false, nullptr},
      {kCmdInvalid, "X", false, nullptr},
  };
  for (const Case& c : cases) {
    char question[kQuestionMax] = "stale";
    EXPECT_EQ(QuestionOf(c.id, c.argument.c_str(), c.quoted, question), c.question != nullptr);
    EXPECT_STREQ(question, c.question ? c.question : "") << c.argument;
  }
  char longest[kQuestionMax], disk[kQuestionMax];
  ASSERT_TRUE(QuestionOf(kCmdMsgBoxYESNO, std::string(287, 'a').c_str(), false, longest));
  ASSERT_TRUE(QuestionOf(kCmdMsgBoxOKCancel, "Insert the second disk", true, disk));
  std::string file = kExample + longest + " = no\n";
  auto store = std::make_unique<AnswerStore>();
  AnswersError error{};
  ASSERT_TRUE(ParseAnswers(file.data(), file.size(), *store, error));
  EXPECT_STREQ(FindAnswer(*store, disk), "ok");
  EXPECT_STREQ(FindAnswer(*store, longest), "no");
  EXPECT_STREQ(FindAnswer(*store, "dstdir"), "C:\\Program Files\\Quill");
  EXPECT_STREQ(FindAnswer(*store, "msgboxyesno  WELCOME_MSG"), "yes");
  EXPECT_EQ(FindAnswer(*store, "MsgBoxYESNO welcome_msg"), nullptr);  // arguments are exact
  EXPECT_EQ(FindAnswer(*store, "ShowFile \"LICENCE\""), nullptr);
  EXPECT_EQ(FindAnswer(*store, "Frobnicate"), nullptr);
  std::string used;
  for (int i = 0; i < store->count; ++i) used += store->rows[i].used ? "u" : "-";
  EXPECT_EQ(used, "-u---uuu");
}

TEST(Answers, ChoicesReadAndGiveTheirWords) {
  struct Case { const char* question; const char* answer; int value; const char* word; };
  const Case cases[] = {
      {"IShowInstallDlg", "Continue", 1, "continue"},
      {"ShowFile \"l.txt\"", "disagree", 0, "disagree"},
      {"msgboxyesno X", "YES", 1, "yes"},
      {"MsgBoxOKCancel X", "cancel", 0, "cancel"},
      {"MsgBoxYESNO X", "ok", -1, "no"},
      {"MsgBoxYESNO X", nullptr, -1, "no"},
      {"DSTDIR", "yes", -1, nullptr},
      {"Frobnicate", "yes", -1, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChoiceValue(c.question, c.answer), c.value) << c.question;
    EXPECT_STREQ(ChoiceWord(c.question, c.value), c.word) << c.question;
  }
}

TEST(Answers, RecordedAnswersAreWrittenAndReadBack) {
  auto recorded = std::make_unique<AnswerStore>();
  struct Case { const char* question; const char* answer; bool taken; };
  const Case cases[] = {
      {"IShowInstallDlg", ChoiceWord("IShowInstallDlg", 1), true},
      {"DSTDIR", "\"C:\\Program Files\\Quill\"", true},
      {"MsgBoxYESNO WELCOME_MSG", "YES", true},
      {"MsgBoxYESNO WELCOME_MSG", "no", true},  // the first answer stays
      {"MsgBoxOKCancel \"a = b\"", "cancel", true},
      {"SETUPTYPE", "  Full", true},
      {"STMPServer", "mail\t", true},
      {"Frobnicate", "x", false},
      {"ShowFile L", "maybe", false},
      {"ShowFile", "agree", false},
      {"STMPServer", "", false},
      {"SETUPTYPE", "two\nlines", false},
      {"STMPServer", ChoiceWord("STMPServer", 1), false},
      {"DSTDIR", "C:\\no\rline", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecordAnswer(*recorded, c.question, c.answer), c.taken) << c.question;
  }
  MemoryEffects machine;
  const char* path = "C:\\setup\\answers.txt";
  ASSERT_EQ(WriteAnswers(machine, path, *recorded), kOk);
  EXPECT_EQ(machine.ReadFile(path),
            "; Answers recorded by setup.exe\r\n; One answer a line, \"question = answer\"; "
            "replay them with setup.exe /SILENT /ANSWERS=<this file>\r\n"
            "IShowInstallDlg = continue\r\nDSTDIR = \"\"C:\\Program Files\\Quill\"\"\r\n"
            "MsgBoxYESNO WELCOME_MSG = yes\r\nMsgBoxOKCancel \"a = b\" = cancel\r\n"
            "SETUPTYPE = \"  Full\"\r\nSTMPServer = \"mail\t\"\r\n");
  auto loaded = std::make_unique<AnswerStore>();
  AnswersError error{};
  ASSERT_EQ(LoadAnswers(machine, path, *loaded, error), kOk);
  EXPECT_EQ(error.reason, nullptr);
  ASSERT_EQ(loaded->count, recorded->count);
  for (int i = 0; i < loaded->count; ++i) {
    EXPECT_STREQ(loaded->rows[i].question, recorded->rows[i].question);
    EXPECT_STREQ(loaded->rows[i].answer, recorded->rows[i].answer);
  }
  for (int i = recorded->count; i < kAnswersMax; ++i) {
    EXPECT_TRUE(RecordAnswer(*recorded, ("MsgBoxYESNO Q" + std::to_string(i)).c_str(), "no"));
  }
  EXPECT_FALSE(RecordAnswer(*recorded, "MsgBoxYESNO Full", "no"));
  EXPECT_TRUE(RecordAnswer(*recorded, "MsgBoxYESNO Q63", "yes"));  // already there
}

TEST(Answers, FailedReadsAndWritesAreReported) {
  MemoryEffects machine;
  auto store = std::make_unique<AnswerStore>();
  ASSERT_TRUE(RecordAnswer(*store, "DSTDIR", "C:\\Quill"));
  AnswersError error{};
  EXPECT_EQ(LoadAnswers(machine, "C:\\setup\\missing.txt", *store, error), kErrFileNotFound);
  EXPECT_EQ(store->count, 0);
  EXPECT_EQ(error.reason, nullptr);
  machine.WriteFile("C:\\setup\\bad.txt", "DSTDIR = a\nSETUPTYPE\n");
  ASSERT_EQ(LoadAnswers(machine, "C:\\setup\\bad.txt", *store, error), kOk);
  EXPECT_EQ(std::to_string(error.line) + ": " + error.reason, "2: expected \"question = answer\"");

  ASSERT_TRUE(RecordAnswer(*store, "DSTDIR", "C:\\Quill"));
  machine.InjectFailure(EffectCall::kWriteNewFile, "new.txt", kErrDiskFull, 1);
  EXPECT_EQ(WriteAnswers(machine, "C:\\setup\\new.txt", *store), kErrDiskFull);
  EXPECT_FALSE(machine.Exists("C:\\setup\\new.txt"));  // a part of the answers is no file
  machine.WriteFile("C:\\setup\\old.txt", "theirs");
  machine.InjectFailure(EffectCall::kWriteNewFile, "old.txt", kErrDiskFull, 1);
  EXPECT_EQ(WriteAnswers(machine, "C:\\setup\\old.txt", *store), kErrDiskFull);
  EXPECT_TRUE(machine.Exists("C:\\setup\\old.txt"));  // not this call's to delete
}

}  // namespace

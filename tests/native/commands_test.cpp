// Engine commands: variables, message boxes and the status line, run modes,
// the main window, the success record, the string commands, and the
// uninstall entry's parent keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/engine_fixture.h"

using Commands = EngineTest;

TEST_F(Commands, SetGetClr) {
  Run("[Setup]\nset B \"text\"\nset A B\nset B \"changed\"\n"
      "set \"Quoted Name\" \"q\"\nset dstdir \"x\"\nset DSTDIR \"y\"\n"
      "set NOVALUE UNDEFINED\nget A B\nset GONE \"1\"\nClr gone\nClr NOSUCH\n");
  EXPECT_STREQ(Var("A"), "text");
  EXPECT_STREQ(Var("quoted name"), "q");
  EXPECT_STREQ(Var("DSTDIR"), "y");
  EXPECT_EQ(Var("NOVALUE"), nullptr);
  EXPECT_EQ(Var("GONE"), nullptr);
}

TEST_F(Commands, SetupNameRepaintsTheBannerOnlyWhenSpelledSoOutsideMiniMode) {
  Run("[Setup]\nset SETUPNAME \"One\"\nset setupname \"Two\"\n"
      "set SETUPNAME UNDEFINED\n");
  EXPECT_EQ(host_.Matching("invalidate main").size(), 1u);
  EXPECT_STREQ(Var("SETUPNAME"), "Two");
  engine_->modes.mini = true;
  Run("[Setup]\nset SETUPNAME \"Three\"\n");
  EXPECT_EQ(host_.Matching("invalidate main").size(), 1u);
}

TEST_F(Commands, MessageBoxesSetTheConditionFromTheAnswer) {
  struct Case { const char* keyword; int answer; int flag; int type; };
  const Case cases[] = {
      {"MsgBoxOK", kIdOk, 1, kBoxOk},
      {"MsgBoxOK", 0, 0, kBoxOk},  // a box that could not be shown
      {"MsgBoxOKCancel", kIdOk, 1, kBoxOkCancel},
      {"MsgBoxOKCancel", kIdCancel, 0, kBoxOkCancel},
      {"MsgBoxYESNO", kIdYes, 1, kBoxYesNo},
      {"MsgBoxYESNO", kIdNo, 0, kBoxYesNo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keyword << " " << c.answer);
    host_.boxAnswers.push_back(c.answer);
    Reset();
    Flags().condition = 5;
    Run(std::string("[Setup]\n") + c.keyword + " \"50%% done\" \"Caption\"\n");
    EXPECT_EQ(Flags().condition, c.flag);
    EXPECT_EQ(Boxes(), "box " + std::to_string(c.type) + " [Caption] 50% done|");
  }
}

TEST_F(Commands, MessageBoxesInSilentModeKeepTheCondition) {
  engine_->modes.silent = true;
  Flags().condition = 7;
  Run("[Setup]\nMsgBoxOK \"a\"\nMsgBoxOKCancel \"b\"\nMsgBoxYESNO \"c\"\n");
  EXPECT_EQ(Flags().condition, 7);
  EXPECT_TRUE(host_.Matching("box").empty());
}

TEST_F(Commands, UndefinedTextShowsInvalidMessageAndLeavesTheStatusLine) {
  Run("[Setup]\nSetText \"Copying\\nfiles %s\"\nSetText UNDEFINED\n"
      "MsgBoxOK UNDEFINED\n");
  EXPECT_EQ(host_.statusLine, "Copying\r\nfiles %s");
  EXPECT_EQ(host_.Matching("box")[0],
            "box 0 [(default)] *** invalid message ***");
}

TEST_F(Commands, RunModesAndTheMainWindow) {
  engine_->modes.mini = true;
  Run("[Setup]\nIsMini\nset M \"1\"\nIsSilent\nShowWindow\nHideWindow\n");
  EXPECT_EQ(Flags().condition, 0);
  EXPECT_EQ(host_.Matching("main shown").size(), 1u);
  EXPECT_EQ(host_.Matching("main hidden").size(), 1u);
  Run("[Setup]\nIsMini\n");
  EXPECT_EQ(Flags().condition, 1);
  engine_->modes.silent = true;
  Run("[Setup]\nIsSilent\nShowWindow\n");
  EXPECT_EQ(Flags().condition, 1);
  EXPECT_EQ(host_.Matching("main shown").size(), 1u);
}

TEST_F(Commands, InstallSuccessRecordsAppVersionWhateverVersionHolds) {
  auto State = [&](const char* name) { return RegText(kHkeyLocalMachine, kInstallStateKey, name); };
  SetFailureMarker();
  Run("[Setup]\nInstallSuccess\n");
  EXPECT_EQ(State("IE"), std::string("", 1));  // APP_VERSION undefined
  EXPECT_FALSE(FailureMarkerSet());
  Run("[Setup]\nset VERSION \"1\"\nset APP_VERSION \"4.12 long\"\nInstallSuccess\n");
  EXPECT_EQ(State("IE"), std::string("4.12 long", 10));
  EXPECT_EQ(State("Netscape"), std::string("4.12 long", 10));
  EXPECT_EQ(State("Success"), "1");  // one byte, no NUL
  EXPECT_EQ(Flags().failure, 0);
}

// Arming reports the marker the run before left; a key that cannot be
// opened gives -1 and writes nothing.
TEST_F(Commands, InstallStateRecordReportsTheRunBefore) {
  EXPECT_EQ(ArmInstallState(machine_), 0);
  EXPECT_TRUE(FailureMarkerSet());
  EXPECT_EQ(RegText(kHkeyLocalMachine, kInstallStateKey, "Success"), "0");
  EXPECT_EQ(ArmInstallState(machine_), 1);  // the first run never ended
  ClearFailureMarker(machine_);
  EXPECT_FALSE(FailureMarkerSet());
  EXPECT_EQ(ArmInstallState(machine_), 0);
  machine_.InjectFailure(EffectCall::kRegCreateKeyEx, "Kelvaro", kErrAccessDenied);
  ClearFailureMarker(machine_);
  EXPECT_TRUE(FailureMarkerSet());
  EXPECT_EQ(ArmInstallState(machine_), -1);
}

// String comparisons, and the text file searches.
TEST_F(Commands, TestCommandsSetTheCondition) {
  WriteFile("indented.txt", "first\n \t  Key=value\n");
  WriteFile("empty.txt", "");
  struct Case { const char* line; int flag; };
  const Case cases[] = {
      {"Strcmp \"Abc\" \"Abc\"", 1},  {"Strcmp \"Abc\" \"abc\"", 0},
      {"Stricmp \"Abc\" \"aBC\"", 1}, {"Stricmp \"Abc\" \"Abd\"", 0},
      {"Strcmp UNDEFINED \"\"", 1},   {"Stricmp \"\xe9\" \"\xc9\"", 0},
      {"FindInFile \"key=\" \"indented.txt\"", 1}, {"FindInFile \"value\" \"indented.txt\"", 0},
      {"FindInFile \"\" \"indented.txt\"", 1},     {"FindInFile \"\" \"empty.txt\"", 0},
      {"FindInFile \"first\" \"none.txt\"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Statement(c.line);
    EXPECT_EQ(Flags().condition, c.flag);
  }
}

TEST_F(Commands, AppendFileCreatesAndAppendsCrLfLines) {
  Run("[Setup]\nAppendFile \"one\" \"new.txt\"\nAppendFile UNDEFINED "
      "\"new.txt\"\nAppendFile \"x\" \"no/such/dir/f.txt\"\n");
  EXPECT_EQ(ReadFile("new.txt"), "one\r\n\r\n");
  EXPECT_EQ(Flags().condition, 0);
  Run("[Setup]\nAppendFile \"two\" \"new.txt\"\n");
  EXPECT_EQ(Flags().condition, 1);
  EXPECT_EQ(ReadFile("new.txt"), "one\r\n\r\ntwo\r\n");
  Run("[Setup]\nset F \"new.txt\"\nset T \"open quote\n\nAppendFile T F\n");
  EXPECT_EQ(ReadFile("new.txt"), "one\r\n\r\ntwo\r\nopen quote\r\n");
}

TEST_F(Commands, StringCommandsWriteTheirResultVariables) {
  Run("[Setup]\nset X \"abc\"\nStrcat X \"def\"\nStrcat \"Y\" \"z\"\n"
      "MkStr \"C:\\Program Files\"\nCopyWord \"C:\\Program Files\tx\"\n"
      "Strcat NEW UNDEFINED\n");
  EXPECT_STREQ(Var("X"), "abcdef");
  EXPECT_STREQ(Var("Y"), "Yz");
  EXPECT_STREQ(Var("QTSTR"), "\"C:\\Program Files\"");
  EXPECT_STREQ(Var("WORD"), "C:\\\\Program\\ Files\\009x");
  EXPECT_STREQ(Var("NEW"), "");
  std::string longText(2000, '\xe9');  // each byte needs four
  VarSet(engine_->vars, "LONG", longText.c_str());
  Run("[Setup]\nCopyWord LONG\n");
  EXPECT_EQ(strlen(Var("WORD")), 8000u);
}

TEST_F(Commands, ComparisonsUseUnsignedByteOrder) {
  struct Case { const char* a; const char* b; int greater; int lower; };
  const Case cases[] = {
      {"0004-0012", "0004-0009", 1, 0}, {"0004-0009", "0004-0012", 0, 1},
      {"same", "same", 0, 0},           {"abc", "ab", 1, 0},
      {"\xe9", "z", 1, 0},              {"A", "a", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " " + c.b);
    std::string args = std::string(" \"") + c.a + "\" \"" + c.b + "\"\n";
    Run("[Setup]\nIsGreater" + args);
    EXPECT_EQ(Flags().condition, c.greater);
    Run("[Setup]\nIsLower" + args);
    EXPECT_EQ(Flags().condition, c.lower);
  }
}

TEST_F(Commands, GetVersionReadsTheFirstMatchingLine) {
  WriteFile("ver.txt", "name vorn\r\nrelease 5\r\nRELEASE 4 12 1\r\nrelease 9 9\r\n");
  Run("[Setup]\nGetVersion \"ver.txt\" \"release\"\n");
  EXPECT_STREQ(Var("MAJMIN"), "0004-0012-0001");
  Run("[Setup]\nGetVersion \"none.txt\" \"release\"\n");
  EXPECT_STREQ(Var("MAJMIN"), "0000-0000");
}

// Each line runs the section, which may Return, change the variables the
// command was given, and walk another file.
TEST_F(Commands, ParseFileRunsTheSectionPerLine) {
  WriteFile("outer.txt", "one\n  two\nthree");
  WriteFile("inner.txt", "a\nb\n");
  Run("[Setup]\nset F \"outer.txt\"\nset S \"Line\"\nParseFile F S\n"
      "AppendFile TempLine \"out.txt\"\n"
      "[Line]\nAppendFile TempStripped \"out.txt\"\nset F \"inner.txt\"\n"
      "Clr S\nStrcmp TempLine \"  two\"\nIf\nParseFile F \"Inner\"\nReturn\nEndif\n"
      "AppendFile \"after\" \"out.txt\"\n"
      "[Inner]\nAppendFile TempLine \"out.txt\"\n");
  EXPECT_EQ(Trace(), "one|after|two|a|b|three|after|three");
  Run("[Setup]\nParseFile \"empty.txt\" \"Line\"\n[Line]\nAppendFile \"x\" \"out.txt\"\n");
  EXPECT_EQ(Trace(), "one|after|two|a|b|three|after|three");
}

// A nested uninstall entry takes its parents with it when SetUninstall
// created them and nothing else has moved in; a parent that was there
// before, or holds another key, stays, and so does the Uninstall key.
TEST_F(Commands, DelUninstallRemovesTheEmptyParentsSetUninstallCreated) {
  const std::string list = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  struct Case {
    const char* before;   // a key made first ("" none), with a value
    const char* between;  // a key made between Set and Del ("" none)
    const char* name;
    std::vector<const char*> gone;
    std::vector<const char*> kept;
  } cases[] = {
      {"", "", "Vorn\\Sub\\Deep", {"Vorn\\Sub\\Deep", "Vorn\\Sub", "Vorn"}, {}},
      {"Vorn", "", "Vorn\\Sub\\Deep", {"Vorn\\Sub\\Deep", "Vorn\\Sub"}, {"Vorn"}},
      {"", "Vorn\\Other", "Vorn\\Sub\\Deep", {"Vorn\\Sub\\Deep", "Vorn\\Sub"},
       {"Vorn", "Vorn\\Other"}},
      {"", "Vorn\\Sub\\Deep\\Child", "Vorn\\Sub\\Deep", {}, {"Vorn\\Sub\\Deep", "Vorn"}},
      {"", "", "Vorn", {"Vorn"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryEffects machine;
    engine_->effects = &machine;
    Flags() = RunFlags();
    machine.SetRegString(kHkeyLocalMachine, list + "\\Neighbour", "DisplayName", "N");
    if (*c.before) machine.SetRegString(kHkeyLocalMachine, list + "\\" + c.before, "V", "1");
    Run(std::string("[Setup]\nSetUninstall \"") + c.name + "\" \"u.exe\"\n");
    if (*c.between) machine.RegCreateKeyEx(kHkeyLocalMachine, (list + "\\" + c.between).c_str());
    Run(std::string("[Setup]\nDelUninstall \"") + c.name + "\"\n");
    for (const char* key : c.gone) {
      EXPECT_FALSE(machine.RegKeyExists(kHkeyLocalMachine, list + "\\" + key)) << key;
    }
    for (const char* key : c.kept) {
      EXPECT_TRUE(machine.RegKeyExists(kHkeyLocalMachine, list + "\\" + key)) << key;
    }
    EXPECT_TRUE(machine.RegKeyExists(kHkeyLocalMachine, list + "\\Neighbour"));
    EXPECT_FALSE(Flags().failure);
  }
  engine_->effects = &machine_;
}

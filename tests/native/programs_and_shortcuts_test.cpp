// Programs, DLLs, fonts, shortcuts and program groups against the
// in-memory machine: which file RunWait starts and with what command line,
// which registrations count as done, what each shortcut holds, and that a
// group deletion or a failed folder lookup never reaches outside the group
// (the names DelPgmGroup refuses are rows of the file commands' tables).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/engine_fixture.h"

namespace {

const char kPrograms[] = "C:\\users\\test\\Start Menu\\Programs";

class ProgramsAndShortcuts : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetVariables({{"SRCDIR", "C:\\src"}, {"DSTDIR", "C:\\prog"}, {"PROGRAMGROUP", "Vorn"}});
    machine_.CreateDirectory("C:\\setup");
    machine_.CreateDirectory("C:\\prog");
    machine_.WriteFile(std::string(kPrograms) + "\\keep.lnk", "k");
    machine_.WriteFile("C:\\users\\test\\Desktop\\keep.lnk", "k");
  }
};

TEST_F(ProgramsAndShortcuts, RunWaitFindsTheProgramAndPassesXExe) {
  struct Case {
    std::vector<std::string> files;
    const char* line;
    const char* started;  // "" when nothing starts
    const char* flags;    // a test for the script, never an error
    const char* logged;   // the failure logged
  } cases[] = {
      {{"C:\\setup\\conv.exe", "C:\\setup\\conv.bat"}, "RunWait \"conv\" \"-q file.txt\"",
       "C:\\setup\\conv.exe <- x.exe -q file.txt", "condition=5", ""},
      {{"C:\\setup\\conv.com", "C:\\setup\\conv.exe"}, "RunWait \"conv\"",
       "C:\\setup\\conv.com <- x.exe", "condition=5", ""},
      {{"C:\\tools\\conv.cmd"}, "RunWait \"C:\\tools\\conv\" \"a b\"",
       "C:\\tools\\conv.cmd <- \"C:\\tools\\conv.cmd\" a b", "condition=5", ""},
      {{"C:\\setup\\conv.bat"}, "RunWait \"conv.bat\"",
       "C:\\setup\\conv.bat <- \"C:\\setup\\conv.bat\"", "condition=5", ""},
      {{"C:\\setup\\conv"}, "RunWait \"conv.exe\"", "", "condition=-1",  // extension given
       "log RunWait conv.exe 2|"},
      {{}, "RunWait \"missing.exe\"", "", "condition=-1", "log RunWait missing.exe 2|"},
      {{"C:\\setup\\conv.exe"}, "RunWait UNDEFINED", "", "condition=-1",
       "log RunWait (no program named) 2|"},
      {{"C:\\setup\\conv.exe"}, "RunWait \"\"", "", "condition=-1",
       "log RunWait (no program named) 2|"},
  };
  machine_.processExitCode = 5;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    for (const std::string& file : c.files) machine_.WriteFile(file, "program");
    Statement(c.line);
    std::string started = machine_.processesStarted.empty() ? "" : machine_.processesStarted[0];
    EXPECT_EQ(started, c.started);
    EXPECT_EQ(SetFlags(), c.flags);
    EXPECT_EQ(Boxes(), "");
    EXPECT_EQ(Events("log RunWait"), c.logged);
    for (const std::string& file : c.files) machine_.DeleteFile(file.c_str());
  }
}

TEST_F(ProgramsAndShortcuts, RegistrationsCountOnlyWhenTheyWork) {
  machine_.libraries["C:\\PROG\\OK.DLL"] = {{"DllRegisterServer", 0},
                                            {"DllUnregisterServer", -2147467259L}};
  machine_.libraries["C:\\PROG\\BAD.DLL"] = {{"DllRegisterServer", -2147467259L}};
  machine_.libraries["C:\\PROG\\NONE.DLL"] = {};
  struct Case {
    const char* line;
    const char* called;  // the entry found first, or ""
    const char* boxes;
    bool failure;
  } cases[] = {
      {"Register \"ok.dll\"", "C:\\PROG\\OK.DLL DllRegisterServer", "", false},
      {"Register \"bad.dll\"", "C:\\PROG\\BAD.DLL DllRegisterServer",
       "box 0 [Error] Cannot register C:\\prog\\bad.dll|", true},
      {"Register \"none.dll\"", "C:\\PROG\\NONE.DLL DllRegisterServer",
       "box 0 [Error] Cannot register C:\\prog\\none.dll|", true},
      {"Register \"gone.dll\"", "", "box 0 [Error] Cannot load C:\\prog\\gone.dll|", true},
      {"Register UNDEFINED", "", "box 0 [Error] Cannot load |", true},
      // A failing unregistration still counts: the entries may be gone.
      {"Unregister \"ok.dll\" DSTDIR", "C:\\PROG\\OK.DLL DllUnregisterServer", "", false},
      {"Unregister \"C:\\prog\\ok.dll\"", "C:\\PROG\\OK.DLL DllUnregisterServer", "", false},
      {"Unregister \"none.dll\" DSTDIR", "C:\\PROG\\NONE.DLL DllUnregisterServer",
       "box 0 [Error] Cannot unregister C:\\prog\\none.dll|", true},
      {"Unregister \"ok.dll\" UNDEFINED", "", "box 0 [Error] Cannot load ok.dll|", true},
      {"Unregister \"ok.dll\" \"\"", "", "box 0 [Error] Cannot load ok.dll|", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Statement(c.line + std::string("\nset AFTER \"1\""));
    std::string called = machine_.entriesCalled.empty() ? "" : machine_.entriesCalled[0];
    EXPECT_EQ(called, c.called);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Flags().failure != 0, c.failure);
    EXPECT_STREQ(Var("AFTER"), "1");  // the run goes on
  }
  Statement("Register \"ok.dll\"");
  EXPECT_EQ(host_.statusLine, "Registering C:\\prog\\ok.dll");
}

TEST_F(ProgramsAndShortcuts, RunAndFontsNeedAFile) {
  machine_.WriteFile("C:\\prog\\readme.txt", "r");
  machine_.WriteFile("C:\\prog\\f.ttf", "font");
  Statement("Run \"C:\\prog\\readme.txt\" \"-p\"\nRun UNDEFINED\nRun \"\"");
  EXPECT_EQ(machine_.processesStarted,
            std::vector<std::string>{"open C:\\prog\\readme.txt -p"});
  Statement("RegisterFont \"C:\\prog\\f.ttf\"\nRegisterFont UNDEFINED");
  EXPECT_EQ(machine_.fontsAdded.size(), 1u);
  Statement("UnregisterFont \"C:\\prog\\f.ttf\"\nUnregisterFont \"\"");
  EXPECT_TRUE(machine_.fontsAdded.empty());
}

TEST_F(ProgramsAndShortcuts, ShortcutsHoldTargetArgumentsFolderAndIcon) {
  const std::string group = std::string(kPrograms) + "\\Vorn";
  Statement("MkPgmGroup \"Vorn\"\nMkPgmGroup \"Vorn\"");
  EXPECT_TRUE(machine_.IsDirectory(group));
  EXPECT_EQ(host_.statusLine, "Group Vorn");
  EXPECT_EQ(Events("log"), "");  // the group there already is no failure
  Statement("set LINKARG \"-x\"\nset LINKICO \"C:\\prog\\i.ico\"\n"
            "MkLink \"bin\\a.exe\" \"App\"\nMkLink \"b.exe\" \"B\"\n"
            "CreateSourceLink \"s.exe\" \"Src\"\nCreateStartLink \"a.exe\" \"Start\"\n"
            "set LINKARG \"-d\"\nCreateDesktopLink \"a.exe\" \"Desk\"\n"
            "CreateDesktopLink \"a.exe\" \"Plain\"");
  EXPECT_EQ(machine_.linksSaved,
            (std::vector<std::string>{
                group + "\\App.lnk -> C:\\prog\\bin\\a.exe args[-x] in C:\\prog",
                group + "\\B.lnk -> C:\\prog\\b.exe args[] in C:\\prog",
                group + "\\Src.lnk -> C:\\src\\s.exe args[] in C:\\prog",
                std::string(kPrograms) + "\\StartUp\\Start.lnk -> C:\\prog\\a.exe args[] in C:\\prog",
                "C:\\users\\test\\Desktop\\Desk.lnk -> C:\\prog\\a.exe args[-d] in C:\\prog "
                "icon C:\\prog\\i.ico,0",
                "C:\\users\\test\\Desktop\\Plain.lnk -> C:\\prog\\a.exe in C:\\prog"}));
  EXPECT_STREQ(Var("LINKARG"), "");
  EXPECT_STREQ(Var("LINKICO"), "");
  EXPECT_EQ(host_.statusLine, "Link Plain");
  Statement("DestroyDesktopLink \"Desk\"\nDestroyStartLink \"Start\"\nDestroyStartLink \"None\"");
  EXPECT_FALSE(machine_.Exists("C:\\users\\test\\Desktop\\Desk.lnk"));
  EXPECT_FALSE(machine_.Exists(std::string(kPrograms) + "\\StartUp\\Start.lnk"));
  EXPECT_FALSE(Flags().failure);
}

TEST_F(ProgramsAndShortcuts, ShortcutsThatCannotBeMadeWriteNothing) {
  // No link name: the status line, nothing else, LINKARG kept.
  Statement("set LINKARG \"-x\"\nMkLink \"a.exe\" UNDEFINED");
  EXPECT_TRUE(machine_.linksSaved.empty());
  EXPECT_STREQ(Var("LINKARG"), "-x");
  EXPECT_EQ(host_.statusLine, "Link (null)");
  // A failed folder lookup: nothing written, the flag, LINKARG used up.
  machine_.InjectFailure(EffectCall::kSHGetSpecialFolderPath, "", kErrPathNotFound, 1);
  Statement("MkLink \"a.exe\" \"App\"");
  EXPECT_TRUE(machine_.linksSaved.empty());
  EXPECT_TRUE(Flags().failure);
  EXPECT_STREQ(Var("LINKARG"), "");
  // No program group, and a target that does not fit.
  Statement("set PROGRAMGROUP \"\"\nMkLink \"a.exe\" \"App\"");
  EXPECT_TRUE(Flags().failure);
  VarSet(engine_->vars, "PROGRAMGROUP", "Vorn");
  VarSet(engine_->vars, "DSTDIR", ("C:\\" + std::string(250, 'd')).c_str());
  Statement("CreateStartLink \"a-long-name.exe\" \"App\"");
  EXPECT_TRUE(Flags().failure);
  EXPECT_TRUE(machine_.linksSaved.empty());
}

TEST_F(ProgramsAndShortcuts, DelPgmGroupStaysInsideItsGroup) {
  const std::string group = std::string(kPrograms) + "\\Vorn";
  machine_.WriteFile(group + "\\App.lnk", "a");
  machine_.WriteFile("C:\\outside\\keep.txt", "k");
  machine_.CreateDirectory((group + "\\link").c_str());
  machine_.MakeReparsePoint(group + "\\link");
  machine_.InjectFailure(EffectCall::kSHGetSpecialFolderPath, "", kErrPathNotFound, 1);
  Statement("DelPgmGroup \"Vorn\"");
  EXPECT_TRUE(machine_.Exists(group + "\\App.lnk"));
  EXPECT_TRUE(Flags().failure);
  Statement("DelPgmGroup \"Vorn\"");
  EXPECT_FALSE(machine_.Exists(group));
  EXPECT_TRUE(machine_.Exists(std::string(kPrograms) + "\\keep.lnk"));
  EXPECT_TRUE(machine_.Exists("C:\\outside\\keep.txt"));
}

TEST_F(ProgramsAndShortcuts, GetPgmGroupStoresTheProgramsFolder) {
  Statement("GetPgmGroup PG");
  EXPECT_STREQ(Var("PG"), kPrograms);
  machine_.InjectFailure(EffectCall::kSHGetSpecialFolderPath, "", kErrPathNotFound, 1);
  Statement("GetPgmGroup OTHER");
  EXPECT_EQ(Var("OTHER"), nullptr);
  EXPECT_TRUE(Flags().failure);
}

}  // namespace

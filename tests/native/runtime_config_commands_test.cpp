// The runtime configuration commands and the uninstall-entry commands
// against the in-memory machine: zek.ini is replaced whole or not at all,
// no temporary file stays behind, every line keeps its line end, only real
// failures are journaled, and the registry commands touch exactly what
// they name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/engine_fixture.h"

namespace {

const char kInstalled[] = "C:\\dst\\zek.ini";
const char kShipped[] = "C:\\src\\zek.ini";
const char kOldConfig[] = "vorn 1\r\nupdate no\r\nplugin net-1.dll\r\n";

class RuntimeConfig : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    KeepJournal();
    SetVariables({{"SRCDIR", "C:\\src"}, {"DSTDIR", "C:\\dst"}, {"SETUPNAME", "Vorn"}});
    machine_.CreateDirectory("C:\\src");
    machine_.CreateDirectory("C:\\dst");
    machine_.WriteFile(kShipped, "vorn 0\r\nplugin net-2.dll\r\n");
  }
  // The failures the run reported: those of the effects and its own lines.
  std::vector<std::string> Reported() const {
    std::vector<std::string> found = host_.Matching("log ");
    for (const std::string& line : journal_) {
      if (line.find(": failure: ") != std::string::npos) found.push_back(line);
    }
    return found;
  }
  // Whatever happened, nothing temporary is left.
  void ExpectNoTemporaryFile() {
    EXPECT_FALSE(machine_.Exists("C:\\dst\\newzek.ini"));
    EXPECT_FALSE(machine_.Exists("C:\\dst\\zektemp.ini"));
  }
};

TEST_F(RuntimeConfig, UpgradeMergesRewritesAndReplacesOnce) {
  machine_.WriteFile(kInstalled, kOldConfig, kAttrReadOnly);
  Statement("ImportOldVorn \"3\" \"auto\"");
  EXPECT_EQ(machine_.ReadFile(kInstalled),
            "vorn 3\r\nupdate auto\r\nplugin net-2.dll\r\n");
  unsigned long attributes = 0;
  machine_.GetFileAttributes(kInstalled, &attributes);
  EXPECT_FALSE(attributes & kAttrReadOnly);  // replaced like any other file
  EXPECT_FALSE(Flags().failure);
  ExpectNoTemporaryFile();
}

TEST_F(RuntimeConfig, FailedUpgradeStepsLeaveZekIniAsItWas) {
  struct Case {
    EffectCall operation;
    const char* path;
    Status status;
  } cases[] = {
      {EffectCall::kReadWholeFile, kInstalled, kErrSharingViolation},  // in use
      {EffectCall::kWriteNewFile, "newzek.ini", kErrDiskFull},
      {EffectCall::kWriteNewFile, "zektemp.ini", kErrDiskFull},
      {EffectCall::kReadWholeFile, "newzek.ini", kErrAccessDenied},
      {EffectCall::kMoveFileEx, "zektemp.ini", kErrAccessDenied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(EffectCallName(c.operation)) + " " + c.path);
    machine_.WriteFile(kInstalled, kOldConfig, kAttrReadOnly);
    machine_.InjectFailure(c.operation, c.path, c.status, 1);
    Statement("ImportOldVorn \"3\" \"auto\"");
    EXPECT_EQ(machine_.ReadFile(kInstalled), kOldConfig);
    unsigned long attributes = 0;
    machine_.GetFileAttributes(kInstalled, &attributes);
    EXPECT_TRUE(attributes & kAttrReadOnly);
    EXPECT_TRUE(Flags().failure);
    ExpectNoTemporaryFile();
  }
}

TEST_F(RuntimeConfig, StaleTemporaryFilesAreOverwrittenAndBlockingOnesFail) {
  machine_.WriteFile(kInstalled, kOldConfig);
  machine_.WriteFile("C:\\dst\\newzek.ini", "plugin stale.dll\r\n", kAttrReadOnly);
  machine_.WriteFile("C:\\dst\\zektemp.ini", "stale\r\n");
  Statement("ImportOldVorn \"3\" \"no\"");
  EXPECT_EQ(machine_.ReadFile(kInstalled),
            "vorn 3\r\nupdate no\r\nplugin net-2.dll\r\n");
  ExpectNoTemporaryFile();
  machine_.CreateDirectory("C:\\dst\\zektemp.ini");
  Statement("ImportOldVorn \"4\" \"no\"");
  EXPECT_TRUE(Flags().failure);
  EXPECT_TRUE(machine_.IsDirectory("C:\\dst\\zektemp.ini"));
  EXPECT_FALSE(machine_.Exists("C:\\dst\\newzek.ini"));
  EXPECT_EQ(machine_.ReadFile(kInstalled),
            "vorn 3\r\nupdate no\r\nplugin net-2.dll\r\n");
}

TEST_F(RuntimeConfig, FreshImportCopiesAndCompletes) {
  machine_.WriteFile("C:\\dst\\zekpack.ini", "# disks\r\n\"D:\\My Cache\" 500\r\n");
  machine_.WriteFile("C:\\dst\\zekdll.ini", "quorpdll.dll 1\r\n");
  machine_.WriteFile(kInstalled, "");  // empty counts as missing
  Statement("ImportOldVorn UNDEFINED \"auto\"");
  EXPECT_EQ(machine_.ReadFile(kInstalled),
            "vorn 0\r\nplugin net-2.dll\r\ndisk D:/My\\ Cache 500\r\n"
            "disk ./Partition 0\r\nplugin quorpdll.dll 1\r\n");
  EXPECT_FALSE(Flags().failure);
}

TEST_F(RuntimeConfig, FreshImportWithoutTheShippedFileLeavesNoStub) {
  machine_.DeleteFile(kShipped);
  host_.boxAnswers = {7};  // No to the copy question
  Statement("ImportOldVorn \"1\" \"auto\"");
  EXPECT_FALSE(machine_.Exists(kInstalled));
  EXPECT_TRUE(Flags().failure);
  EXPECT_EQ(host_.Matching("box").size(), 1u);
}

TEST_F(RuntimeConfig, UpgradeWithoutTheShippedFileKeepsPluginsAndFails) {
  machine_.WriteFile(kInstalled, "  plugin   a.dll\r\nvorn 1\r\n");
  machine_.DeleteFile(kShipped);
  Statement("ImportOldVorn \"2\" \"auto\"");
  EXPECT_EQ(machine_.ReadFile(kInstalled), "plugin a.dll\r\nvorn 2\r\n");
  EXPECT_TRUE(Flags().failure);
}

TEST_F(RuntimeConfig, UndefinedValuesAndLongPathsChangeNothing) {
  machine_.WriteFile(kInstalled, kOldConfig);
  for (const char* line : {"ImportOldVorn UNDEFINED \"auto\"",
                           "ImportOldVorn \"1\" UNDEFINED",
                           "AddPartition UNDEFINED"}) {
    Statement(line);
    EXPECT_TRUE(Flags().failure) << line;
  }
  VarSet(engine_->vars, "DSTDIR", ("C:\\" + std::string(252, 'd')).c_str());
  Statement("GetVornSettings");
  EXPECT_TRUE(Flags().failure);
  EXPECT_EQ(Flags().condition, 0);
  Statement("ImportOldVorn \"1\" \"auto\"");
  EXPECT_TRUE(Flags().failure);
  EXPECT_EQ(machine_.ReadFile(kInstalled), kOldConfig);
}

TEST_F(RuntimeConfig, IsVornUpdatedReadsTheInstalledUpdateLine) {
  machine_.WriteFile(kInstalled, "vorn 1\r\nupdate 2.1\r\n");
  Statement("IsVornUpdated \"2.0\"");
  EXPECT_EQ(Flags().condition, 1);
  Statement("IsVornUpdated \"2.2\"");
  EXPECT_EQ(Flags().condition, 0);
  Flags().failure = 1;
  Run("[Setup]\nIsVornUpdated \"2.0\"\n");
  EXPECT_EQ(Flags().condition, 0);
  machine_.DeleteFile(kInstalled);
  Statement("IsVornUpdated \"2.0\"");
  EXPECT_EQ(Flags().condition, 0);
}

TEST_F(RuntimeConfig, AppendedLinesStartOnALineOfTheirOwn) {
  machine_.WriteFile(kInstalled, "vorn 1", kAttrReadOnly);
  Statement("AddPartition \"D:\\Data\"");
  EXPECT_EQ(machine_.ReadFile(kInstalled), "vorn 1\r\ndisk D:\\Data\\part2\\ 0\r\n");
  machine_.WriteFile("C:\\dst\\zekress.ini", "x 1");
  engine_->languageCode = 7;
  Statement("GetVornSettings");
  EXPECT_EQ(machine_.ReadFile("C:\\dst\\zekress.ini"),
            "x 1\r\nDefaultLanguage German\r\nRegistering Yes\r\n");
  EXPECT_EQ(Flags().condition, 1);
}

TEST_F(RuntimeConfig, FilesThatCannotBeOpenedAreReported) {
  machine_.InjectFailure(EffectCall::kAppendToFile, "Zek.ini", kErrAccessDenied, 1);
  Statement("AddPartition \"D:\\Data\"");
  EXPECT_EQ(host_.Matching("box").size(), 1u);
  EXPECT_FALSE(Flags().failure);  // the script goes on, as it always did
  machine_.CreateDirectory("C:\\dst\\zekress.ini");
  Statement("GetVornSettings\nset AFTER \"1\"");
  EXPECT_EQ(host_.Matching("box").size(), 2u);
  EXPECT_EQ(host_.Matching("box").back(), "box 0 [Vorn] Setup ends");
  EXPECT_TRUE(Flags().failure);
  EXPECT_EQ(Var("AFTER"), nullptr);  // the run stopped
  EXPECT_EQ(host_.Matching("dismiss").size(), 1u);
  EXPECT_EQ(Flags().condition, 0);
}

TEST_F(RuntimeConfig, EveryLineKeepsItsLineEnd) {
  struct Case {
    const char* statement;
    const char* path;
    const char* before;
    const char* after;
  } cases[] = {
      {"ImportOldVorn \"4.12\" \"no\"", kInstalled,
       "vorn 4.10\rupdate auto\rplugin net-1.dll\ruser keepme\r",
       "vorn 4.12\rupdate no\rplugin net-2.dll\ruser keepme\r"},
      {"ImportOldVorn \"4.12\" \"no\"", kInstalled,
       "vorn 1\nupdate auto\nuser keepme\n",
       "vorn 4.12\nupdate no\nuser keepme\nplugin net-2.dll\r\n"},
      {"ImportOldVorn \"4.12\" \"no\"", kInstalled,
       "vorn 1\r\nupdate auto\r\nuser keepme\r\n",
       "vorn 4.12\r\nupdate no\r\nuser keepme\r\nplugin net-2.dll\r\n"},
      {"ImportOldVorn \"4.12\" \"no\"", kInstalled,
       "vorn 1\r\nuser keepme\rplugin net-1.dll\nupdate auto",
       "vorn 4.12\r\nuser keepme\rplugin net-2.dll\nupdate no\r\n"},
      {"AddPartition \"D:\\Data\"", kInstalled, "vorn 1\rupdate no\r",
       "vorn 1\rupdate no\rdisk D:\\Data\\part2\\ 0\r\n"},
      {"GetVornSettings", "C:\\dst\\zekress.ini", "Theme dark\r",
       "Theme dark\rDefaultLanguage Neutral\r\nRegistering Yes\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.statement) + " on " + c.before);
    machine_.WriteFile(c.path, c.before);
    Statement(c.statement);
    EXPECT_EQ(machine_.ReadFile(c.path), c.after);
    EXPECT_FALSE(Flags().failure);
    ExpectNoTemporaryFile();
  }
}

// A file that is not lines of text (UTF-16, binary) is left byte for byte
// and attribute for attribute as it was; the run fails and says why.
TEST_F(RuntimeConfig, FilesThatAreNotTextAreLeftAsTheyWere) {
  const char kUtf16[] = "\xff\xfev\0o\0r\0n\0 \0001\0\r\0\n\0";
  const char kBinary[] = "plugin a.dll\r\n\0\x01\x02plugin b.dll\r\n";
  const std::string utf16(kUtf16, sizeof kUtf16 - 1);
  const std::string binary(kBinary, sizeof kBinary - 1);
  struct Case {
    const char* statement;
    const char* path;
    std::string content;
    unsigned long attributes;
  } cases[] = {
      {"ImportOldVorn \"4.12\" \"no\"", kInstalled, utf16, kAttrNormal},
      {"ImportOldVorn \"4.12\" \"no\"", kInstalled, binary, kAttrReadOnly},
      {"AddPartition \"D:\\Data\"", "C:\\dst\\Zek.ini", utf16, kAttrReadOnly},
      {"GetVornSettings", "C:\\dst\\zekress.ini", binary, kAttrNormal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.statement) + " " + c.path);
    machine_.WriteFile(c.path, c.content, c.attributes);
    Statement(c.statement);
    EXPECT_EQ(machine_.ReadFile(c.path), c.content);
    unsigned long attributes = 0;
    machine_.GetFileAttributes(c.path, &attributes);
    EXPECT_EQ(attributes & kAttrReadOnly, c.attributes & kAttrReadOnly);
    EXPECT_TRUE(Flags().failure);
    ASSERT_EQ(Reported().size(), 1u);
    EXPECT_NE(Reported()[0].find(std::string(c.path) + ": holds NUL bytes"),
              std::string::npos)
        << Reported()[0];
    ExpectNoTemporaryFile();
    machine_.DeleteFile(c.path);
  }
}

TEST_F(RuntimeConfig, ShippedFileThatIsNotTextMergesNothing) {
  const char kShippedWithNul[] = "plugin net-2\0.dll\r\n";
  machine_.WriteFile(kShipped, std::string(kShippedWithNul, sizeof kShippedWithNul - 1));
  machine_.WriteFile(kInstalled, kOldConfig);
  Statement("ImportOldVorn \"3\" \"auto\"");
  EXPECT_EQ(machine_.ReadFile(kInstalled),
            "vorn 3\r\nupdate auto\r\nplugin net-1.dll\r\n");
  EXPECT_TRUE(Flags().failure);
  ASSERT_EQ(Reported().size(), 1u);
  EXPECT_NE(Reported()[0].find("C:\\src\\zek.ini: holds NUL bytes"),
            std::string::npos);
}

// A file that is not there is a state these commands expect (a fresh
// install, a helper file not shipped): it is no failure line. A file that
// is there and cannot be read still is one.
TEST_F(RuntimeConfig, OnlyRealFailuresAreReported) {
  struct Case {
    const char* name;
    const char* statement;
    const char* injectedReadFailure;  // a file of C:\dst, or null
    size_t failures;
    bool failed;  // the failure flag afterwards
  } cases[] = {
      {"fresh import: no zek.ini, zekpack.ini or zekdll.ini",
       "ImportOldVorn \"1\" \"no\"", nullptr, 0, false},
      {"no zek.ini to ask", "IsVornUpdated \"1\"", nullptr, 0, false},
      {"no zek.ini to append to", "AddPartition \"D:\\Data\"", nullptr, 0, false},
      {"no zekress.ini to append to", "GetVornSettings", nullptr, 0, false},
      {"an existing zek.ini in use", "ImportOldVorn \"1\" \"no\"", "zek.ini", 1,
       true},
      // As when it is missing, its two default disk lines are written.
      {"an existing zekpack.ini in use", "ImportOldVorn \"1\" \"no\"",
       "zekpack.ini", 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {"zek.ini", "zekpack.ini", "zekdll.ini", "zekress.ini"}) {
      machine_.DeleteFile((std::string("C:\\dst\\") + name).c_str());
    }
    if (c.injectedReadFailure) {
      machine_.WriteFile(std::string("C:\\dst\\") + c.injectedReadFailure, "x 1\r\n");
      machine_.InjectFailure(EffectCall::kReadWholeFile,
                             std::string("dst\\") + c.injectedReadFailure,
                             kErrSharingViolation, 1);
    }
    Statement(c.statement);
    EXPECT_EQ(Reported().size(), c.failures);
    EXPECT_EQ(Flags().failure != 0, c.failed);
  }
}

// A path built from an empty or undefined directory would start at the
// root of the current drive: the command does nothing, fails and says why.
TEST_F(RuntimeConfig, EmptyOrUndefinedDirectoriesWriteNothing) {
  struct Case {
    const char* variable;
    const char* value;  // null: undefined
    const char* statement;
    const char* journaled;
  } cases[] = {
      {"DSTDIR", "", "ImportOldVorn \"1\" \"no\"",
       "DSTDIR\\zek.ini: DSTDIR is empty"},
      {"DSTDIR", nullptr, "ImportOldVorn \"1\" \"no\"",
       "DSTDIR\\zek.ini: DSTDIR is undefined"},
      {"SRCDIR", "", "ImportOldVorn \"1\" \"no\"",
       "SRCDIR\\zek.ini: SRCDIR is empty"},
      {"SRCDIR", nullptr, "ImportOldVorn \"1\" \"no\"",
       "SRCDIR\\zek.ini: SRCDIR is undefined"},
      {"DSTDIR", "", "AddPartition \"D:\\Data\"",
       "DSTDIR\\Zek.ini: DSTDIR is empty"},
      {"DSTDIR", nullptr, "GetVornSettings",
       "DSTDIR\\zekress.ini: DSTDIR is undefined"},
      {"DSTDIR", "", "IsVornUpdated \"1\"", "DSTDIR\\zek.ini: DSTDIR is empty"},
  };
  machine_.WriteFile("C:\\zek.ini", "vorn 1\r\nupdate no\r\n");  // at the root
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.statement) + " " + c.journaled);
    VarSet(engine_->vars, "SRCDIR", "C:\\src");
    VarSet(engine_->vars, "DSTDIR", "C:\\dst");
    if (c.value) {
      VarSet(engine_->vars, c.variable, c.value);
    } else {
      VarRemove(engine_->vars, c.variable);
    }
    Statement(c.statement);
    EXPECT_TRUE(Flags().failure);
    EXPECT_EQ(Flags().condition, 0);
    EXPECT_EQ(machine_.ReadFile("C:\\zek.ini"), "vorn 1\r\nupdate no\r\n");
    for (const char* name : {"C:\\zekress.ini", "C:\\newzek.ini", "C:\\zektemp.ini",
                             "C:\\dst\\zek.ini", "C:\\dst\\zekress.ini"}) {
      EXPECT_FALSE(machine_.Exists(name)) << name;
    }
    ASSERT_EQ(Reported().size(), 1u);
    EXPECT_NE(Reported()[0].find(c.journaled), std::string::npos) << Reported()[0];
  }
}

class UninstallEntry : public RuntimeConfig {};

const char kEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";

TEST_F(UninstallEntry, WrittenTwiceHoldsTheSecondCommandAndIsRemoved) {
  machine_.RegCreateKeyEx(kHkeyLocalMachine,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  Statement("SetUninstall \"Vorn\" \"a.exe\"");
  Statement("SetUninstall \"Vorn\" \"b.exe /u\"");
  std::string data;
  ASSERT_TRUE(machine_.RegValue(kHkeyLocalMachine, kEntry, "UninstallString", &data));
  EXPECT_EQ(data, std::string("b.exe /u", 9));
  ASSERT_TRUE(machine_.RegValue(kHkeyLocalMachine, "SOFTWARE\\Kelvaro",
                                "vorn_uninstall", &data));
  EXPECT_EQ(data, std::string("b.exe /u", 9));
  Statement("DelUninstall \"Vorn\"");
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyLocalMachine, kEntry));
  EXPECT_FALSE(machine_.RegValue(kHkeyLocalMachine, "SOFTWARE\\Kelvaro",
                                 "vorn_uninstall", &data));
}

TEST_F(UninstallEntry, EmptyOrUndefinedNamesTouchNothing) {
  const char kList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  machine_.SetRegString(kHkeyLocalMachine, std::string(kList) + "\\Other",
                        "DisplayName", "Other");
  for (const char* line : {"SetUninstall \"\" \"x.exe\"", "SetUninstall UNDEFINED \"x.exe\"",
                           "SetUninstall \"Vorn\" UNDEFINED", "DelUninstall \"\"",
                           "DelUninstall UNDEFINED"}) {
    Statement(line);
    EXPECT_TRUE(Flags().failure) << line;
  }
  std::string data;
  EXPECT_FALSE(machine_.RegValue(kHkeyLocalMachine, kList, "DisplayName", &data));
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyLocalMachine, kEntry));
  EXPECT_TRUE(machine_.RegKeyExists(kHkeyLocalMachine, std::string(kList) + "\\Other"));
}

TEST_F(UninstallEntry, DetectVornFindsTheRuntimeDirectory) {
  const char kFirst[] = "vorn_file\\shell\\open\\command";
  const char kSecond[] = "vam_auto_file\\shell\\open\\command";
  struct Case {
    const char* first;   // null: no key
    const char* second;  // null: no key
    int found;
    const char* path;
  } cases[] = {
      {"\"C:\\Vorn\\zekwin.exe\" \"%1\"", nullptr, 1, "C:\\Vorn"},
      {"C:\\Vorn\\zekwin.exe %1", nullptr, 1, "C:\\Vorn"},
      {"C:\\Vorn\\zekwin.exe /o:x", nullptr, 1, "C:\\Vorn\\zekwin.exe "},
      {nullptr, "C:\\Other\\zekwin.exe", 1, "C:\\Other"},
      {"C:\\Vorn\\viewer.exe", "C:\\Other\\zekwin.exe", 0, ""},
      {"C:\\Vorn\\ZEKWIN.EXE", nullptr, 0, ""},
      {nullptr, nullptr, 0, ""},
      {"zekwin.exe", nullptr, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first ? c.first : "(none)");
    machine_.RegDeleteKey(kHkeyClassesRoot, kFirst);
    machine_.RegDeleteKey(kHkeyClassesRoot, kSecond);
    if (c.first) machine_.SetRegString(kHkeyClassesRoot, kFirst, "", c.first);
    if (c.second) machine_.SetRegString(kHkeyClassesRoot, kSecond, "", c.second);
    Statement("DetectVORN");
    EXPECT_EQ(Flags().condition, c.found);
    EXPECT_STREQ(Var("VORNpath"), c.path);
  }
  Flags().failure = 1;
  Run("[Setup]\nDetectVORN\n");
  EXPECT_EQ(Flags().condition, 0);
  EXPECT_STREQ(Var("VORNpath"), "");
}

TEST_F(UninstallEntry, CleanRegistryRemovesItsListAndNothingElse) {
  for (const char* key : {"vorn_file\\shell\\open\\command", "vorn_file\\DefaultIcon",
                          "vam_auto_file\\shell\\open\\command", ".vam", ".vorn"}) {
    machine_.SetRegString(kHkeyClassesRoot, key, "", "x");
  }
  machine_.SetRegString(kHkeyClassesRoot, "vorn_file\\shell\\print", "", "keep");
  for (const char* value : {"InstallFailled", "IE", "Netscape", "Success", "Other"}) {
    machine_.SetRegString(kHkeyLocalMachine, "Software\\Kelvaro", value, "1");
  }
  Statement("CleanRegistry");
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyClassesRoot, "vam_auto_file"));
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyClassesRoot, ".vorn"));
  EXPECT_FALSE(machine_.RegKeyExists(kHkeyClassesRoot, "vorn_file\\shell\\open"));
  EXPECT_TRUE(machine_.RegKeyExists(kHkeyClassesRoot, "vorn_file\\shell\\print"));
  std::string data;
  EXPECT_FALSE(machine_.RegValue(kHkeyLocalMachine, "Software\\Kelvaro", "IE", &data));
  EXPECT_TRUE(machine_.RegValue(kHkeyLocalMachine, "Software\\Kelvaro", "Other", &data));
}

}  // namespace

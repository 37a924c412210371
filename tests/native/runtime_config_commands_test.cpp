// The runtime configuration commands and the uninstall-entry commands
// against the in-memory machine: zek.ini is replaced whole or not at all,
// no temporary file stays behind, and the registry commands touch exactly
// what they name.
#include <gtest/gtest.h>

#include <string>

#include "tests/native/engine_fixture.h"

namespace {

const char kInstalled[] = "C:\\dst\\zek.ini";
const char kShipped[] = "C:\\src\\zek.ini";
const char kOldConfig[] = "vorn 1\r\nupdate no\r\nplugin net-1.dll\r\n";

class RuntimeConfig : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    for (auto setting : {std::make_pair("SRCDIR", "C:\\src"),
                         {"DSTDIR", "C:\\dst"},
                         {"ERROR_OPEN_TTL", "Open failed"},
                         {"ERROR_OPEN_MSG", "Cannot open %s"},
                         {"ABORT_MSG", "Setup ends"},
                         {"SETUPNAME", "Vorn"},
                         {"ERROR_COPY_TTL", "Copy failed"},
                         {"ERROR_COPY_MSG", "Cannot copy %s to %s"}}) {
      VarSet(engine_->vars, setting.first, setting.second);
    }
    machine_.CreateDirectory("C:\\src");
    machine_.CreateDirectory("C:\\dst");
    machine_.WriteFile(kShipped, "vorn 0\r\nplugin net-2.dll\r\n");
  }
  void Statement(const std::string& line) {
    Flags() = RunFlags();
    host_.events.clear();
    Run("[Setup]\n" + line + "\n");
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
    const char* operation;
    const char* path;
    Status status;
  } cases[] = {
      {"ReadWholeFile", kInstalled, kErrSharingViolation},  // in use
      {"WriteNewFile", "newzek.ini", kErrDiskFull},
      {"WriteNewFile", "zektemp.ini", kErrDiskFull},
      {"ReadWholeFile", "newzek.ini", kErrAccessDenied},
      {"MoveFileEx", "zektemp.ini", kErrAccessDenied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.operation) + " " + c.path);
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
  machine_.InjectFailure("AppendToFile", "Zek.ini", kErrAccessDenied, 1);
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

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
  // Whatever happened, nothing temporary is left.
  void ExpectNoTemporaryFile() {
    EXPECT_FALSE(machine_.Exists("C:\\dst\\newzek.ini"));
    EXPECT_FALSE(machine_.Exists("C:\\dst\\zektemp.ini"));
  }
};

// Stale temporary files are overwritten (see WhatEachCommandWrites); a
// folder in the way fails the import.
TEST_F(RuntimeConfig, ABlockingTemporaryNameFailsTheImport) {
  machine_.WriteFile(kInstalled, kOldConfig);
  machine_.CreateDirectory("C:\\dst\\zektemp.ini");
  Statement("ImportOldVorn \"4\" \"no\"");
  EXPECT_TRUE(Flags().failure);
  EXPECT_TRUE(machine_.IsDirectory("C:\\dst\\zektemp.ini"));
  EXPECT_FALSE(machine_.Exists("C:\\dst\\newzek.ini"));
  EXPECT_EQ(machine_.ReadFile(kInstalled), kOldConfig);
}

TEST_F(RuntimeConfig, FreshImportWithoutTheShippedFileLeavesNoStub) {
  machine_.DeleteFile(kShipped);
  host_.boxAnswers = {7};  // No to the copy question
  Statement("ImportOldVorn \"1\" \"auto\"");
  EXPECT_FALSE(machine_.Exists(kInstalled));
  EXPECT_TRUE(Flags().failure);
  EXPECT_EQ(host_.Matching("box").size(), 1u);
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

// What each command leaves in the file it writes, from the files there
// before (as WriteFiles takes them; C:\dst starts without configuration
// files, C:\src holds the shipped zek.ini): every line keeps its line end,
// a line added starts on a line of its own, a file that is not lines of
// text (UTF-16, binary) is left byte for byte and attribute for attribute
// as it was, the run fails and says why, and nothing temporary is left.
TEST_F(RuntimeConfig, WhatEachCommandWrites) {
  const char kUtf16[] = "\xff\xfev\0o\0r\0n\0 \0001\0\r\0\n\0";
  const char kBinary[] = "plugin a.dll\r\n\0\x01\x02plugin b.dll\r\n";
  const std::string utf16(kUtf16, sizeof kUtf16 - 1);
  const std::string binary(kBinary, sizeof kBinary - 1);
  const std::string zek = std::string(kInstalled) + "=", ress = "C:\\dst\\zekress.ini=";
  const std::string import = "ImportOldVorn \"4.12\" \"no\"", merged = "vorn 4.12\r\nupdate no\r\n";
  const char* const kFailed = "failure failedThisRun";
  const std::string fresh =
      "vorn 0\r\nplugin net-2.dll\r\ndisk ./Cache 64000\r\ndisk ./Partition 0\r\n";
  const std::string upgrade = "ImportOldVorn \"3\" \"auto\"";
  const std::string oldConfig = std::string("!") + kOldConfig;  // read-only
  struct Case {
    std::string statement;
    std::vector<std::string> files;
    const char* path;
    std::string after;     // as File() gives it
    const char* flags;     // SetFlags()
    std::string reported;  // part of the one failure reported, "" for none
    struct {
      EffectCall call = EffectCall::kAny;
      const char* pathPart = nullptr;  // null: nothing fails
      Status status = 0;
    } failing;
  } cases[] = {
      // An upgrade merges, rewrites and replaces once, like any other file.
      {upgrade, {"!" + zek + kOldConfig}, kInstalled,
       "vorn 3\r\nupdate auto\r\nplugin net-2.dll\r\n", "", "", {}},
      {"ImportOldVorn \"3\" \"no\"",
       {zek + kOldConfig, "!C:\\dst\\newzek.ini=plugin stale.dll\r\n",
        "C:\\dst\\zektemp.ini=stale", {}},
       kInstalled, "vorn 3\r\nupdate no\r\nplugin net-2.dll\r\n", "", "", {}},
      // A failed step of the upgrade leaves zek.ini as it was.
      {upgrade, {"!" + zek + kOldConfig}, kInstalled, oldConfig, kFailed, "zek.ini",
       {EffectCall::kReadWholeFile, kInstalled, kErrSharingViolation}},  // in use
      {upgrade, {"!" + zek + kOldConfig}, kInstalled, oldConfig, kFailed, "newzek.ini",
       {EffectCall::kWriteNewFile, "newzek.ini", kErrDiskFull}},
      {upgrade, {"!" + zek + kOldConfig}, kInstalled, oldConfig, kFailed, "zektemp.ini",
       {EffectCall::kWriteNewFile, "zektemp.ini", kErrDiskFull}},
      {upgrade, {"!" + zek + kOldConfig}, kInstalled, oldConfig, kFailed, "newzek.ini",
       {EffectCall::kReadWholeFile, "newzek.ini", kErrAccessDenied}},
      {upgrade, {"!" + zek + kOldConfig}, kInstalled, oldConfig, kFailed, "zektemp.ini",
       {EffectCall::kMoveFileEx, "zektemp.ini", kErrAccessDenied}},
      // Without the shipped file the plug-in lines stay, and the run fails.
      {"ImportOldVorn \"2\" \"auto\"",
       {"-C:\\src\\zek.ini", zek + "  plugin   a.dll\r\nvorn 1\r\n"}, kInstalled,
       "plugin a.dll\r\nvorn 2\r\n", kFailed, "C:\\src\\zek.ini", {}},
      {"ImportOldVorn \"3\" \"auto\"",
       {"C:\\src\\zek.ini=" + std::string("plugin net-2\0.dll\r\n", 19), zek + kOldConfig},
       kInstalled, "vorn 3\r\nupdate auto\r\nplugin net-1.dll\r\n", kFailed,
       "C:\\src\\zek.ini: holds NUL bytes", {}},
      // A fresh import (an empty zek.ini counts as missing) copies and
      // completes.
      {"ImportOldVorn UNDEFINED \"auto\"",
       {"C:\\dst\\zekpack.ini=# disks\r\n\"D:\\My Cache\" 500\r\n",
        "C:\\dst\\zekdll.ini=quorpdll.dll 1\r\n", zek},
       kInstalled, "vorn 0\r\nplugin net-2.dll\r\ndisk D:/My\\ Cache 500\r\n"
       "disk ./Partition 0\r\nplugin quorpdll.dll 1\r\n", "", "", {}},
      {"AddPartition \"D:\\Data\"", {"!" + zek + "vorn 1"}, kInstalled,
       "vorn 1\r\ndisk D:\\Data\\part2\\ 0\r\n", "", "", {}},
      {"GetVornSettings", {ress + "x 1"}, "C:\\dst\\zekress.ini",
       "x 1\r\nDefaultLanguage German\r\nRegistering Yes\r\n", "condition=1", "", {}},
      // A file that is not there is no failure: a fresh install, a helper
      // file not shipped.
      {"ImportOldVorn \"1\" \"no\"", {}, kInstalled, fresh, "", "", {}},
      {"IsVornUpdated \"1\"", {}, kInstalled, "(none)", "", "", {}},
      {"AddPartition \"D:\\Data\"", {}, kInstalled, "disk D:\\Data\\part2\\ 0\r\n", "", "", {}},
      {"GetVornSettings", {}, "C:\\dst\\zekress.ini",
       "DefaultLanguage German\r\nRegistering Yes\r\n", "condition=1", "", {}},
      // A file that is there and cannot be read is a failure, but a
      // zekpack.ini in use gives its two default disk lines, as when missing.
      {"ImportOldVorn \"1\" \"no\"", {zek + "x 1\r\n"}, kInstalled, "x 1\r\n", kFailed, "zek.ini",
       {EffectCall::kReadWholeFile, "dst\\zek.ini", kErrSharingViolation}},
      {"ImportOldVorn \"1\" \"no\"", {"C:\\dst\\zekpack.ini=x 1\r\n"}, kInstalled, fresh, "",
       "zekpack.ini", {EffectCall::kReadWholeFile, "dst\\zekpack.ini", kErrSharingViolation}},
      // Every line keeps its line end.
      {import, {zek + "vorn 4.10\rupdate auto\rplugin net-1.dll\ruser keepme\r"}, kInstalled,
       "vorn 4.12\rupdate no\rplugin net-2.dll\ruser keepme\r", "", "", {}},
      {import, {zek + "vorn 1\nupdate auto\nuser keepme\n"}, kInstalled,
       "vorn 4.12\nupdate no\nuser keepme\nplugin net-2.dll\r\n", "", "", {}},
      {import, {zek + "vorn 1\r\nupdate auto\r\nuser keepme\r\n"}, kInstalled,
       merged + "user keepme\r\nplugin net-2.dll\r\n", "", "", {}},
      {import, {zek + "vorn 1\r\nuser keepme\rplugin net-1.dll\nupdate auto"}, kInstalled,
       "vorn 4.12\r\nuser keepme\rplugin net-2.dll\nupdate no\r\n", "", "", {}},
      {"AddPartition \"D:\\Data\"", {zek + "vorn 1\rupdate no\r"}, kInstalled,
       "vorn 1\rupdate no\rdisk D:\\Data\\part2\\ 0\r\n", "", "", {}},
      {"GetVornSettings", {ress + "Theme dark\r"}, "C:\\dst\\zekress.ini",
       "Theme dark\rDefaultLanguage German\r\nRegistering Yes\r\n", "condition=1", "", {}},
      // Files that are not text.
      {import, {zek + utf16}, kInstalled, utf16, kFailed, "C:\\dst\\zek.ini: holds NUL bytes",
       {}},
      {import, {"!" + zek + binary}, kInstalled, "!" + binary, kFailed,
       "C:\\dst\\zek.ini: holds NUL bytes", {}},
      {"AddPartition \"D:\\Data\"", {"!C:\\dst\\Zek.ini=" + utf16}, "C:\\dst\\Zek.ini",
       "!" + utf16, kFailed, "C:\\dst\\Zek.ini: holds NUL bytes", {}},
      {"GetVornSettings", {ress + binary}, "C:\\dst\\zekress.ini", binary, kFailed,
       "C:\\dst\\zekress.ini: holds NUL bytes", {}},
  };
  engine_->languageCode = 7;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement + " on " + (c.files.empty() ? "nothing" : c.files.back()));
    for (const char* name : {"zek.ini", "zekpack.ini", "zekdll.ini", "zekress.ini"}) {
      machine_.DeleteFile((std::string("C:\\dst\\") + name).c_str());
    }
    machine_.WriteFile(kShipped, "vorn 0\r\nplugin net-2.dll\r\n");
    WriteFiles(c.files);
    if (c.failing.pathPart) {
      machine_.InjectFailure(c.failing.call, c.failing.pathPart, c.failing.status, 1);
    }
    Statement(c.statement);
    EXPECT_EQ(File(c.path), c.after);
    EXPECT_EQ(SetFlags(), c.flags);
    if (c.reported.empty()) {
      EXPECT_EQ(Reported(), std::vector<std::string>{});
    } else {
      ASSERT_EQ(Reported().size(), 1u);
      EXPECT_NE(Reported()[0].find(c.reported), std::string::npos) << Reported()[0];
    }
    ExpectNoTemporaryFile();
  }
}

class UninstallEntry : public RuntimeConfig {};

const char kEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";

// Every value of the entry after the script, and DelUninstall taking the
// key with all of them: the name and the last command, and each value whose
// variable holds a non-empty text, written whole. A write that fails is the
// effects' failure line; the other values are still written.
TEST_F(UninstallEntry, HoldsWhatTheScriptSetAndGoesWithAllOfIt) {
  const char* const kVariables[] = {"UNINSTALL_VERSION", "UNINSTALL_PUBLISHER",
                                    "UNINSTALL_LOCATION", "UNINSTALL_ICON", "UNINSTALL_QUIET"};
  const std::string all =
      "set UNINSTALL_VERSION \"4.12\"\nset UNINSTALL_PUBLISHER \"Kelvaro\"\n"
      "set UNINSTALL_LOCATION \"C:\\Vorn\"\nset UNINSTALL_ICON \"C:\\Vorn\\zekwin.exe,0\"\n"
      "set UNINSTALL_QUIET \"u.exe /SILENT\"\n";
  const std::vector<std::string> allWritten = {
      "DISPLAYICON=C:\\Vorn\\zekwin.exe,0", "DISPLAYNAME=Vorn", "DISPLAYVERSION=4.12",
      "INSTALLLOCATION=C:\\Vorn", "PUBLISHER=Kelvaro", "QUIETUNINSTALLSTRING=u.exe /SILENT",
      "UNINSTALLSTRING=u.exe"};
  const std::string longText(4000, 'q');  // four times what a statement holds
  struct Case {
    std::string script;
    std::vector<std::string> values;  // "NAME=text", by upper-cased name
    const char* command;
    int failingWrite;    // the entry's n-th value write fails (from 0); -1 none
    std::string logged;  // part of Events("log "), "" when nothing failed
  } cases[] = {
      {"SetUninstall \"Vorn\" \"a.exe\"\nSetUninstall \"Vorn\" \"b.exe /u\"",
       {"DISPLAYNAME=Vorn", "UNINSTALLSTRING=b.exe /u"}, "b.exe /u", -1, ""},
      {all + "SetUninstall \"Vorn\" \"u.exe\"",
       allWritten, "u.exe", -1, ""},
      {all + "set UNINSTALL_VERSION \"\"\nClr UNINSTALL_PUBLISHER\nset UNINSTALL_ICON \"\"\n"
             "set UNINSTALL_QUIET \"" + std::string(1000, 'q') + "\"\n"
             "Strcat UNINSTALL_QUIET UNINSTALL_QUIET\nStrcat UNINSTALL_QUIET UNINSTALL_QUIET\n"
             "SetUninstall \"Vorn\" \"u.exe\"",
       {"DISPLAYNAME=Vorn", "INSTALLLOCATION=C:\\Vorn", "QUIETUNINSTALLSTRING=" + longText,
        "UNINSTALLSTRING=u.exe"}, "u.exe", -1, ""},
      {all + "SetUninstall \"Vorn\" \"u.exe\"",
       {"DISPLAYICON=C:\\Vorn\\zekwin.exe,0", "DISPLAYNAME=Vorn", "INSTALLLOCATION=C:\\Vorn",
        "PUBLISHER=Kelvaro", "QUIETUNINSTALLSTRING=u.exe /SILENT", "UNINSTALLSTRING=u.exe"},
       "u.exe", 2, std::string("log RegSetValueEx ") + kEntry + " 5|"},
  };
  machine_.RegCreateKeyEx(kHkeyLocalMachine,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(row++));
    for (const char* variable : kVariables) VarRemove(engine_->vars, variable);
    if (c.failingWrite >= 0) {
      machine_.InjectFailure(EffectCall::kRegSetValueEx, kEntry, kErrAccessDenied, 1,
                             c.failingWrite);
    }
    Statement(c.script);
    std::vector<std::string> values;
    for (const auto& value : machine_.RegValues(kHkeyLocalMachine, kEntry)) {
      values.push_back(value.first + "=" + value.second.c_str());
      EXPECT_TRUE(!value.second.empty() && value.second.back() == '\0') << value.first;
    }
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(RegText(kHkeyLocalMachine, "SOFTWARE\\Kelvaro", "vorn_uninstall"),
              std::string(c.command) + '\0');
    std::string logged = Events("log ");
    EXPECT_EQ(logged.empty(), c.logged.empty()) << logged;
    EXPECT_NE(logged.find(c.logged), std::string::npos) << logged;
    EXPECT_EQ(SetFlags(), "");  // a value not written is journaled, no failure
    Statement("DelUninstall \"Vorn\"");
    EXPECT_FALSE(machine_.RegKeyExists(kHkeyLocalMachine, kEntry));
    EXPECT_EQ(RegText(kHkeyLocalMachine, "SOFTWARE\\Kelvaro", "vorn_uninstall"), "(none)");
  }
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
  EXPECT_EQ(RegText(kHkeyLocalMachine, kList, "DisplayName"), "(none)");
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
  EXPECT_EQ(RegText(kHkeyLocalMachine, "Software\\Kelvaro", "IE"), "(none)");
  EXPECT_EQ(RegText(kHkeyLocalMachine, "Software\\Kelvaro", "Other"), std::string("1", 2));
}

}  // namespace

// The file and text commands end to end, on real files under Wine: each
// case a script, the files it starts with, the box answer, and what is on
// disk and in out.txt afterwards. Paths are relative to the run's working
// directory, which is SRCDIR.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

struct FileCase {
  const char* name;
  std::vector<std::string> files;  // "path=content"; "!path=..." read-only
  std::string script;              // after GetSystemVars and the messages
  const char* args;
  int button;                      // the answer to every box (0: the first)
  int exitCode;
  std::string trace;               // the lines of out.txt, joined by '|'
  std::string fileAfter;           // "path=content" afterwards, or ""
  const char* marker;              // InstallFailled afterwards
};

const char kMessages[] =
    "set ERROR_COPY_TTL \"Copy failed\"\n"
    "set ERROR_COPY_MSG \"Cannot copy %s to %s\"\n"
    "set ERROR_MOVE_TTL \"Move failed\"\n"
    "set ERROR_MOVE_MSG \"Cannot move %s to %s\"\n"
    "set COPY_MSG \"Copying %s\"\n";

// Adds "name" to out.txt when `test` sets the condition.
std::string MarkIf(const std::string& test, const std::string& name) {
  return test + "\nIf\n" + Mark(name) + "Endif\n";
}

const FileCase kCases[] = {
    {"CopyFamilyPathsOnRealFiles",
     {"a.dll=A", "dst\\keep=k", "other\\keep=k"},
     "set DSTDIR \"dst\"\nCopy \"a.dll\"\nCopy \"a.dll\" \"b.dll\"\n"
     "CopyS \"a.dll\" \"other\"\nMoveA \"other\\a.dll\" \"other\\m.dll\"\n" +
         MarkIf("Exist \"dst\\a.dll\"", "a") + MarkIf("Exist \"dst\\b.dll\"", "b") +
         MarkIf("Exist \"other\\m.dll\"", "m") + MarkIf("Exist \"other\\a.dll\"", "moved away"),
     "", 0, 0, "a|b|m", "dst\\b.dll=A", ""},
    {"CopyOntoAReadOnlyFile",
     {"a.dll=new", "!dst\\a.dll=old"},
     "set DSTDIR \"dst\"\nCopy \"a.dll\"\n" + Mark("went on"),
     "", 0, 0, "went on", "dst\\a.dll=new", ""},
    {"FailedCopyAnsweredYesKeepsTheOldFile",
     {"dst\\a.dll=old"},
     "set DSTDIR \"dst\"\nCopy \"missing.dll\" \"a.dll\"\n" + Mark("never"),
     "", 0, 1, "", "dst\\a.dll=old", "1"},
    {"FailedCopyAnsweredNo",
     {"a.dll=new"},
     "set DSTDIR \"nodir\"\nCopy \"a.dll\"\n" + Mark("never"),
     "", IDNO, 1, "", "a.dll=new", "1"},
    {"FailedMoveInSilentMode",
     {"a.dll=new"},
     "set DSTDIR \"nodir\"\nMove \"a.dll\"\n" + Mark("never"),
     "/SILENT", 0, 1, "", "a.dll=new", "1"},
    {"CopyDir2DestOfANestedTreeWithAnEmptyFolder",
     {"data\\x.txt=x", "data\\sub\\y.txt=y", "data\\empty\\"},
     "set DSTDIR \"dst\"\nMkDir \"dst\"\nCopyDir2Dest \"data\"\n" +
         MarkIf("Exist \"dst\\data\\x.txt\"", "x") +
         MarkIf("Exist \"dst\\data\\sub\\y.txt\"", "y") +
         MarkIf("Exist \"dst\\data\\empty\"", "empty"),
     "", 0, 0, "x|y|empty", "dst\\data\\sub\\y.txt=y", ""},
    {"EmptyOrUndefinedDeletionArgumentsDeleteNothing",
     {"keep.txt=k", "dst\\keep.txt=k"},
     "set DSTDIR \"dst\"\nDeltree \"\"\nDeltree DSTDIR UNDEFINED\nDelete \"keep.txt\" UNDEFINED\n"
     "DeleteAllFiles UNDEFINED\n" +
         MarkIf("Exist \"keep.txt\"", "kept") + MarkIf("Exist \"dst\\keep.txt\"", "kept"),
     "/SILENT", 0, 1, "kept|kept", "", "1"},
    {"DeltreeAndDeleteAllFiles",
     {"old\\a.txt=a", "old\\sub\\b.txt=b", "files\\c.txt=c", "files\\sub\\d.txt=d"},
     "Deltree \"old\"\nDeleteAllFiles \"files\"\n" + MarkIf("Exist \"old\"", "old stays") +
         MarkIf("Exist \"files\\c.txt\"", "c stays") + MarkIf("Exist \"files\\sub\\d.txt\"", "d"),
     "", 0, 0, "d", "", ""},
    {"ExistWithWildcardsAndOnADirectory",
     {"dir\\one.ini=1"},
     MarkIf("Exist \"dir\\*.ini\"", "ini") + MarkIf("Exist \"dir\\?ne.ini\"", "?") +
         MarkIf("Exist \"dir\\*.txt\"", "txt") + MarkIf("Exist \"dir\"", "dir"),
     "", 0, 0, "ini|?|dir", "", ""},
    {"GetTempFileNameMakesAnEmptyFileInDstdir",
     {"dst\\keep=k"},
     "set DSTDIR \"dst\"\nGetTempFileName TMP\nAppendFile TMP \"out.txt\"\n" +
         MarkIf("Exist TMP", "exists") + "set DSTDIR \"none\"\nGetTempFileName TMP\n" +
         MarkIf("Strcmp TMP UNDEFINED", "removed"),
     "", 0, 1, "(temp)|exists|removed", "", "1"},
    {"CDTakesItsArgumentAsWritten",
     {"DSTDIR\\inside.txt=i", "real\\x=x"},
     "set DSTDIR \"real\"\nCD DSTDIR\nExist \"inside.txt\"\nIf\nset SEEN \"literal\"\n"
     "Endif\nCD \"..\"\nAppendFile SEEN \"out.txt\"\n" + MarkIf("Exist \"real\\x\"", "back"),
     "", 0, 0, "literal|back", "", ""},
    {"TextFileCommandsOnRealFiles",
     {"ver.txt=name x\r\nRELEASE 4 12 \r\n", "ind.txt=first\r\n \t Key=1\r\n",
      "lines.txt=one\r\n  two\r\n", "inner.txt=a\r\n"},
     "GetVersion \"ver.txt\" \"release\"\nAppendFile MAJMIN \"out.txt\"\n" +
         MarkIf("FindInFile \"key=\" \"ind.txt\"", "found") +
         "set F \"lines.txt\"\nParseFile F \"Line\"\n" + Mark("end") +
         "[Line]\nAppendFile TempStripped \"out.txt\"\nset F \"gone\"\n"
         "ParseFile \"inner.txt\" \"Inner\"\nReturn\n" + Mark("never") +
         "[Inner]\nAppendFile TempLine \"out.txt\"\n",
     "", 0, 0, "0004-0012-0000|found|one|a|two|a|end", "", ""},
};

class FileCases : public SetupRun, public ::testing::WithParamInterface<FileCase> {};

TEST_P(FileCases, Run) {
  const FileCase& c = GetParam();
  WriteStartingFiles(c.files);
  WriteScript("[Setup]\nGetSystemVars\n" + std::string(kMessages) + c.script);
  Start(c.args);
  EXPECT_EQ(Finish(c.button), c.exitCode);
  std::string trace = Trace();
  size_t temp = trace.find("\\tem");  // a temporary name differs each run
  if (temp != std::string::npos) trace.replace(0, trace.find('|'), "(temp)");
  EXPECT_EQ(trace, c.trace);
  if (!c.fileAfter.empty()) {
    size_t eq = c.fileAfter.find('=');
    EXPECT_EQ(ReadFile(c.fileAfter.substr(0, eq)), c.fileAfter.substr(eq + 1));
  }
  EXPECT_EQ(StateValue("InstallFailled"), c.marker);
}

std::string CaseName(const ::testing::TestParamInfo<FileCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Files, FileCases, ::testing::ValuesIn(kCases), CaseName);

// ---- Data safety ----

// Scripts that once destroyed data.
struct SafetyCase {
  const char* name;
  std::vector<std::string> files;       // as FileCase::files
  std::string script;                   // after GetSystemVars and the messages
  int exitCode;
  std::string trace;
  std::vector<std::string> filesAfter;  // "path=content" afterwards
  bool needsSmallDrive;                 // E:, a 64 KB volume
  const char* marker;                   // InstallFailled afterwards
};

const std::string kOldFile(20000, 'o');
const std::string kBigFile(60000, 'n');

// Every spelling of a drive's root, its parent or a sibling that once
// wiped drive D:, then a sound delete of the same tree; copies onto a full
// drive; a configuration file whose line ends once lost the user's lines.
const SafetyCase kSafetyCases[] = {
    {"DeletesNeverReachADriveRoot",
     {"a.txt=a", "D:\\victim\\a.txt=v", "D:\\keep.txt=k"},
     "Deltree \"D:\\.\"\nDeltree \"D:\\..\"\nDeltree \"D:\\victim\\..\"\n"
     "Deltree \"D:\\victim\\..\\\"\nDeltree \"D:\\\\\"\nDeltree \"\\\\?\\D:\\\"\n"
     "Deltree \"\\\\.\\D:\\\"\nDeltree \"D:.\"\nDeltree \"d:\\.\\\"\n"
     "Deltree \"D:\\victim\" \"..\"\nDeleteAllFiles \"D:\\.\"\n"
     "DeleteAllFiles \"D:\\victim\\..\"\nDeltree \"D:\\victim \"\nDeltree \"D:\\victim...\"\n" +
         MarkIf("Exist \"D:\\keep.txt\"", "keep") + MarkIf("Exist \"D:\\victim\\a.txt\"", "victim") +
         "Deltree \"D:\\victim\"\n" + MarkIf("Exist \"D:\\victim\"", "never"),
     1, "keep|victim", {"D:\\keep.txt=k"}, false, "1"},
    {"DotNamesStayInTheSetupFolder",
     {"a.txt=a", "sub\\b.txt=b"},
     "Deltree \"..\"\nDeltree \".\"\nDeleteAllFiles \"..\"\nDeleteAllFiles \".\"\n"
     "Deltree \"sub\" \"..\"\nDelete \"a.txt\" \"sub\\..\"\nDestroyDesktopLink \"..\\x\"\n" +
         MarkIf("Exist \"a.txt\"", "a") + MarkIf("Exist \"sub\\b.txt\"", "b"),
     1, "a|b", {"a.txt=a"}, false, "1"},
    {"AFullDiskKeepsTheFileACopyWouldReplace",
     {"big.bin=" + kBigFile, "!E:\\k.bin=" + kOldFile},
     "CopyA \"big.bin\" \"E:\\k.bin\"\n" + Mark("never"),
     1, "", {"E:\\k.bin=" + kOldFile}, true, "1"},
    {"AFullDiskKeepsBothEndsOfAMoveAcrossDrives",
     {"big.bin=" + kBigFile, "!E:\\k.bin=" + kOldFile},
     "MoveA \"big.bin\" \"E:\\k.bin\"\n" + Mark("never"),
     1, "", {"E:\\k.bin=" + kOldFile, "big.bin=" + kBigFile}, true, "1"},
    {"AFullDiskKeepsTheFilesATreeCopyWouldReplace",
     {"data\\big.bin=" + kBigFile, "!E:\\data\\big.bin=" + kOldFile},
     "set DSTDIR \"E:\"\nCopyDir2Dest \"data\"\n" + Mark("never"),
     1, "", {"E:\\data\\big.bin=" + kOldFile}, true, "1"},
    // A configuration file with CR-only line ends keeps the user's lines.
    {"CrOnlyZekIniKeepsEveryLine",
     {"dst\\zek.ini=vorn 4.10\rupdate auto\rplugin netlib-10.dll\ruser keepme\r",
      "zek.ini=vorn 4.12\r\nupdate no\r\nplugin netlib-12.dll\r\n"},
     "set DSTDIR \"dst\"\nImportOldVorn \"4.12\" \"no\"\n" +
         MarkIf("IsVornUpdated \"4.12\"", "updated"),
     0, "updated",
     {"dst\\zek.ini=vorn 4.12\rupdate no\rplugin netlib-12.dll\ruser keepme\r"},
     false, ""},
};

class SafetyCases : public SetupRun, public ::testing::WithParamInterface<SafetyCase> {};

TEST_P(SafetyCases, Run) {
  const SafetyCase& c = GetParam();
  if (c.needsSmallDrive && GetFileAttributesA("E:\\") == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no small drive E: here (it needs a tmpfs mount); "
                    "the native tests cover a full disk";
  }
  WriteStartingFiles(c.files);
  WriteScript("[Setup]\nGetSystemVars\n" + std::string(kMessages) + c.script);
  Start("/SILENT");
  EXPECT_EQ(Finish(0), c.exitCode);
  EXPECT_EQ(Trace(), c.trace);
  for (const std::string& after : c.filesAfter) {
    size_t eq = after.find('=');
    EXPECT_EQ(ReadFile(after.substr(0, eq)), after.substr(eq + 1)) << after.substr(0, eq);
  }
  EXPECT_EQ(StateValue("InstallFailled"), c.marker);
}

std::string SafetyName(const ::testing::TestParamInfo<SafetyCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(DataSafety, SafetyCases, ::testing::ValuesIn(kSafetyCases),
                         SafetyName);

}  // namespace

// The file and text commands end to end, on real files under Wine: each
// case a script, the files it starts with, the box answer, and what is on
// disk and in out.txt afterwards. Paths are relative to the run's working
// directory, which is SRCDIR.
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

const std::vector<E2eCase> kCases = {
    {"CopyFamilyPathsOnRealFiles", {"a.dll=A", "dst\\keep=k", "other\\keep=k"},
     "set DSTDIR \"dst\"\nCopy \"a.dll\"\nCopy \"a.dll\" \"b.dll\"\n"
         "CopyS \"a.dll\" \"other\"\nMoveA \"other\\a.dll\" \"other\\m.dll\"\n" +
         MarkIf("Exist \"dst\\a.dll\"", "a") + MarkIf("Exist \"dst\\b.dll\"", "b") +
         MarkIf("Exist \"other\\m.dll\"", "m") + MarkIf("Exist \"other\\a.dll\"", "moved away"),
     "", {}, 0, "a|b|m", {"dst\\b.dll=A", "state InstallFailled="}},
    {"CopyOntoAReadOnlyFile", {"a.dll=new", "!dst\\a.dll=old"},
     "set DSTDIR \"dst\"\nCopy \"a.dll\"\n" + Mark("went on"), "", {}, 0, "went on",
     {"dst\\a.dll=new", "state InstallFailled="}},
    // A file held open by another program.
    {"ACopyOntoAFileInUseFailsAndKeepsIt", {"dst\\a.dll=old", "a.dll=new", "held dst\\a.dll"},
     "set DSTDIR \"dst\"\nCopy \"a.dll\"\n" + Mark("never"), "",
     {"box Copy failed: Cannot copy $DIR\\a.dll to dst\\a.dll", "end"}, 1, "",
     {"dst\\a.dll=old", "state InstallFailled=1"}},
    {"FailedCopyAnsweredYesKeepsTheOldFile", {"dst\\a.dll=old"},
     "set DSTDIR \"dst\"\nCopy \"missing.dll\" \"a.dll\"\n" + Mark("never"), "", {}, 1, "",
     {"dst\\a.dll=old", "state InstallFailled=1"}},
    {"FailedCopyAnsweredNo", {"a.dll=new"},
     "set DSTDIR \"nodir\"\nCopy \"a.dll\"\n" + Mark("never"), "", {"answer no"}, 1, "",
     {"a.dll=new", "state InstallFailled=1"}},
    {"FailedMoveInSilentMode", {"a.dll=new"},
     "set DSTDIR \"nodir\"\nMove \"a.dll\"\n" + Mark("never"), "/SILENT", {}, 1, "",
     {"a.dll=new", "state InstallFailled=1"}},
    {"CopyDir2DestOfANestedTreeWithAnEmptyFolder",
     {"data\\x.txt=x", "data\\sub\\y.txt=y", "data\\empty\\"},
     "set DSTDIR \"dst\"\nMkDir \"dst\"\nCopyDir2Dest \"data\"\n" +
         MarkIf("Exist \"dst\\data\\x.txt\"", "x") +
         MarkIf("Exist \"dst\\data\\sub\\y.txt\"", "y") +
         MarkIf("Exist \"dst\\data\\empty\"", "empty"), "", {}, 0, "x|y|empty",
     {"dst\\data\\sub\\y.txt=y", "state InstallFailled="}},
    // Missing parents are made, each journaled; when the folder itself
    // cannot be made, the parents this MkDir made go again.
    {"MkDirMakesMissingParentsAndTakesThemAwayWhenItFails", {},
     "set ERROR_CRDIR_MSG \"Cannot create %s\"\nMkDir \"$DIR\\a\\b\" \"c\"\n" +
         MarkIf("Exist \"a\\b\\c\"", "made") + "MkDir \"new\" \"d\\e*f\"\n" + Mark("never"),
     "/LOG=\"$DIR\\journal.log\"", {"box Copy failed: Cannot create new\\d\\e*f", "end"}, 1,
     "made",
     {"-new", "journal.log~directory created: $DIR\\a\r\n",
      "journal.log~directory created: $DIR\\a\\b\r\n",
      "journal.log~directory removed: $DIR\\new\r\n", "state InstallFailled=1"}},
    {"EmptyOrUndefinedDeletionArgumentsDeleteNothing", {"keep.txt=k", "dst\\keep.txt=k"},
     "set DSTDIR \"dst\"\nDeltree \"\"\nDeltree DSTDIR UNDEFINED\nDelete \"keep.txt\" UNDEFINED\n"
         "DeleteAllFiles UNDEFINED\n" + MarkIf("Exist \"keep.txt\"", "kept") +
         MarkIf("Exist \"dst\\keep.txt\"", "kept"), "/SILENT", {}, 1, "kept|kept",
     {"state InstallFailled=1"}},
    {"DeltreeAndDeleteAllFiles",
     {"old\\a.txt=a", "old\\sub\\b.txt=b", "files\\c.txt=c", "files\\sub\\d.txt=d"},
     "Deltree \"old\"\nDeleteAllFiles \"files\"\n" + MarkIf("Exist \"old\"", "old stays") +
         MarkIf("Exist \"files\\c.txt\"", "c stays") + MarkIf("Exist \"files\\sub\\d.txt\"", "d"),
     "", {}, 0, "d", {"state InstallFailled="}},
    {"ExistWithWildcardsAndOnADirectory", {"dir\\one.ini=1"},
     MarkIf("Exist \"dir\\*.ini\"", "ini") + MarkIf("Exist \"dir\\?ne.ini\"", "?") +
         MarkIf("Exist \"dir\\*.txt\"", "txt") + MarkIf("Exist \"dir\"", "dir"), "", {}, 0,
     "ini|?|dir", {"state InstallFailled="}},
    {"GetTempFileNameMakesAnEmptyFileInDstdir", {"dst\\keep=k"},
     "set DSTDIR \"dst\"\nGetTempFileName TMP\nAppendFile TMP \"out.txt\"\n" +
         MarkIf("Exist TMP", "exists") + "set DSTDIR \"none\"\nGetTempFileName TMP\n" +
         MarkIf("Strcmp TMP UNDEFINED", "removed"), "", {}, 1, "(temp)|exists|removed",
     {"state InstallFailled=1"}},
    {"CDTakesItsArgumentAsWritten", {"DSTDIR\\inside.txt=i", "real\\x=x"},
     "set DSTDIR \"real\"\nCD DSTDIR\nExist \"inside.txt\"\nIf\nset SEEN \"literal\"\n"
         "Endif\nCD \"..\"\nAppendFile SEEN \"out.txt\"\n" + MarkIf("Exist \"real\\x\"", "back"),
     "", {}, 0, "literal|back", {"state InstallFailled="}},
    {"TextFileCommandsOnRealFiles",
     {"ver.txt=name x\r\nRELEASE 4 12 \r\n", "ind.txt=first\r\n \t Key=1\r\n",
      "lines.txt=one\r\n  two\r\n", "inner.txt=a\r\n"},
     "GetVersion \"ver.txt\" \"release\"\nAppendFile MAJMIN \"out.txt\"\n" +
         MarkIf("FindInFile \"key=\" \"ind.txt\"", "found") +
         "set F \"lines.txt\"\nParseFile F \"Line\"\n" + Mark("end") +
         "[Line]\nAppendFile TempStripped \"out.txt\"\nset F \"gone\"\n"
         "ParseFile \"inner.txt\" \"Inner\"\nReturn\n" + Mark("never") +
         "[Inner]\nAppendFile TempLine \"out.txt\"\n", "", {}, 0,
     "0004-0012-0000|found|one|a|two|a|end", {"state InstallFailled="}},
};

// ---- Data safety: scripts that once destroyed data ----

const std::string kOldFile(20000, 'o');
const std::string kBigFile(60000, 'n');

// Every spelling of a drive's root, its parent or a sibling that once
// wiped drive D:, then a sound delete of the same tree; copies onto a full
// drive; a configuration file whose line ends once lost the user's lines.
const std::vector<E2eCase> kSafetyCases = {
    {"DeletesNeverReachADriveRoot", {"a.txt=a", "D:\\victim\\a.txt=v", "D:\\keep.txt=k"},
     "Deltree \"D:\\.\"\nDeltree \"D:\\..\"\nDeltree \"D:\\victim\\..\"\n"
         "Deltree \"D:\\victim\\..\\\"\nDeltree \"D:\\\\\"\nDeltree \"\\\\?\\D:\\\"\n"
         "Deltree \"\\\\.\\D:\\\"\nDeltree \"D:.\"\nDeltree \"d:\\.\\\"\n"
         "Deltree \"D:\\victim\" \"..\"\nDeleteAllFiles \"D:\\.\"\n"
         "DeleteAllFiles \"D:\\victim\\..\"\nDeltree \"D:\\victim \"\nDeltree \"D:\\victim...\"\n" +
         MarkIf("Exist \"D:\\keep.txt\"", "keep") +
         MarkIf("Exist \"D:\\victim\\a.txt\"", "victim") + "Deltree \"D:\\victim\"\n" +
         MarkIf("Exist \"D:\\victim\"", "never"), "/SILENT", {}, 1, "keep|victim",
     {"D:\\keep.txt=k", "state InstallFailled=1"}},
    {"DotNamesStayInTheSetupFolder", {"a.txt=a", "sub\\b.txt=b"},
     "Deltree \"..\"\nDeltree \".\"\nDeleteAllFiles \"..\"\nDeleteAllFiles \".\"\n"
         "Deltree \"sub\" \"..\"\nDelete \"a.txt\" \"sub\\..\"\nDestroyDesktopLink \"..\\x\"\n" +
         MarkIf("Exist \"a.txt\"", "a") + MarkIf("Exist \"sub\\b.txt\"", "b"), "/SILENT", {}, 1,
     "a|b", {"a.txt=a", "state InstallFailled=1"}},
    {"AFullDiskKeepsTheFileACopyWouldReplace", {"big.bin=" + kBigFile, "!E:\\k.bin=" + kOldFile},
     "CopyA \"big.bin\" \"E:\\k.bin\"\n" + Mark("never"), "/SILENT", {}, 1, "",
     {"E:\\k.bin=" + kOldFile, "state InstallFailled=1"}},
    {"AFullDiskKeepsBothEndsOfAMoveAcrossDrives",
     {"big.bin=" + kBigFile, "!E:\\k.bin=" + kOldFile},
     "MoveA \"big.bin\" \"E:\\k.bin\"\n" + Mark("never"), "/SILENT", {}, 1, "",
     {"E:\\k.bin=" + kOldFile, "big.bin=" + kBigFile, "state InstallFailled=1"}},
    {"AFullDiskKeepsTheFilesATreeCopyWouldReplace",
     {"data\\big.bin=" + kBigFile, "!E:\\data\\big.bin=" + kOldFile},
     "set DSTDIR \"E:\"\nCopyDir2Dest \"data\"\n" + Mark("never"), "/SILENT", {}, 1, "",
     {"E:\\data\\big.bin=" + kOldFile, "state InstallFailled=1"}},
    // A configuration file with CR-only line ends keeps the user's lines.
    {"CrOnlyZekIniKeepsEveryLine",
     {"dst\\zek.ini=vorn 4.10\rupdate auto\rplugin netlib-10.dll\ruser keepme\r",
      "zek.ini=vorn 4.12\r\nupdate no\r\nplugin netlib-12.dll\r\n"},
     "set DSTDIR \"dst\"\nImportOldVorn \"4.12\" \"no\"\n" +
         MarkIf("IsVornUpdated \"4.12\"", "updated"), "/SILENT", {}, 0, "updated",
     {"dst\\zek.ini=vorn 4.12\rupdate no\rplugin netlib-12.dll\ruser keepme\r",
      "state InstallFailled="}},
};

const std::string kHead = "[Setup]\nGetSystemVars\n" + std::string(kMessages);

INSTANTIATE_TEST_SUITE_P(Files, Cases, ::testing::ValuesIn(Framed(kHead, kCases)), CaseName);
INSTANTIATE_TEST_SUITE_P(DataSafety, Cases, ::testing::ValuesIn(Framed(kHead, kSafetyCases)),
                         CaseName);

}  // namespace

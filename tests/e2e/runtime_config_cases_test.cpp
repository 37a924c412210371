// The runtime's configuration files and registry entries end to end, on
// real files and the real registry under Wine: each case the files and
// registry values it starts with, a script, and what is on disk and in the
// registry afterwards. zek.ini is never lost: every failure leaves it as
// it was, with no temporary file, and exit code 1.
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

const char kOld[] = "vorn 1\r\nupdate no\r\nplugin net-1.dll\r\n";
const char kShipped[] = "vorn 0\r\nplugin net-2.dll\r\nplugin new.dll\r\n";
const char kUpgraded[] = "vorn 3\r\nupdate auto\r\nplugin net-2.dll\r\nplugin new.dll\r\n";
const char kNoTemporary1[] = "-dst\\newzek.ini";
const char kNoTemporary2[] = "-dst\\zektemp.ini";
const char kUninstall[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn E2E";

std::string Import() { return "ImportOldVorn \"3\" \"auto\"\n"; }

const std::vector<E2eCase> kCases = {
    {"UpgradeReplacesAReadOnlyZekIni",
     {std::string("!dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped},
     Import() + MarkIf("IsVornUpdated \"2.0\"", "updated"), "", {"answer no"}, 0, "",
     {std::string("dst\\zek.ini=") + kUpgraded, "writable dst\\zek.ini", kNoTemporary1,
      kNoTemporary2}},
    {"CrLineEndsKeepEveryLine",
     {"dst\\zek.ini=vorn 4.10\rupdate auto\rplugin netlib-10.dll\ruser keepme\r",
      "zek.ini=vorn 4.12\r\nupdate no\r\nplugin netlib-12.dll\r\nplugin quorpdll.dll\r\n"},
     "ImportOldVorn \"4.12\" \"no\"\n" + MarkIf("IsVornUpdated \"4.12\"", "updated"), "",
     {"answer no"}, 0, "updated",
     {"dst\\zek.ini=vorn 4.12\rupdate no\rplugin netlib-12.dll\ruser keepme\r"
          "plugin quorpdll.dll\r\n", kNoTemporary1, kNoTemporary2}},
    {"ZekIniInUseIsLeftAsItWas",
     {std::string("dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped, "held dst\\zek.ini"},
     Import(), "/SILENT", {"answer no"}, 1, "",
     {std::string("dst\\zek.ini=") + kOld, kNoTemporary1, kNoTemporary2}},
    {"DirectoryNamedNewzekIniFailsTheUpgrade",
     {std::string("dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped, "dst\\newzek.ini\\"},
     Import(), "/SILENT", {"answer no"}, 1, "",
     {std::string("dst\\zek.ini=") + kOld, kNoTemporary2}},
    {"DirectoryNamedZektempIniFailsTheUpgrade",
     {std::string("dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped,
      "dst\\zektemp.ini\\"},
     Import(), "/SILENT", {"answer no"}, 1, "",
     {std::string("dst\\zek.ini=") + kOld, kNoTemporary1}},
    {"FreshImportWithoutTheShippedFileLeavesNoStub", {"dst\\zekpack.ini=c:\\cache 10\r\n"},
     Import(), "/SILENT", {"answer no"}, 1, "", {"-dst\\zek.ini", kNoTemporary1, kNoTemporary2}},
    {"FreshImportCopiesAndCompletes",
     {std::string("zek.ini=") + kShipped, "dst\\zekpack.ini=# disks\r\n\"c:\\vorn cache\" 10\r\n",
      "dst\\zekdll.ini=QUORPDLL.DLL 2\r\n"}, Import() + MarkIf("IsVornUpdated \"1\"", "never"), "",
     {"answer no"}, 0, "",
     {std::string("dst\\zek.ini=") + kShipped +
          "disk c:/vorn\\ cache 10\r\ndisk ./Partition 0\r\nplugin QUORPDLL.DLL 2\r\n"}},
    {"AppendedLinesStartOnTheirOwnLine", {"dst\\zek.ini=vorn 1", "dst\\zekress.ini=Theme dark"},
     "AddPartition \"D:\\Data\"\nGetVornSettings\n" + MarkIf("Strcmp \"1\" \"1\"", "went on"), "",
     {"answer no"}, 0, "went on",
     {"dst\\zek.ini=vorn 1\r\ndisk D:\\Data\\part2\\ 0\r\n",
      "dst\\zekress.ini=Theme dark\r\nDefaultLanguage English\r\nRegistering Yes\r\n"}},
    {"UninstallEntryWrittenAndRemoved", {},
     "SetUninstall \"Vorn E2E\" \"old.exe\"\nSetUninstall \"Vorn E2E\" \"c:\\u.exe /x\"\n", "",
     {"answer no"}, 0, "",
     {std::string(kUninstall) + "|DisplayName=Vorn E2E",
      std::string(kUninstall) + "|UninstallString=c:\\u.exe /x",
      "HKLM\\SOFTWARE\\Kelvaro|vorn_uninstall=c:\\u.exe /x"}},
    {"UninstallEntryCarriesWhatTheScriptSet", {},
     "set UNINSTALL_VERSION \"4.12\"\nset UNINSTALL_PUBLISHER \"Kelvaro\"\n"
     "set UNINSTALL_LOCATION DSTDIR\nset UNINSTALL_ICON \"\"\n"
     "set UNINSTALL_QUIET \"c:\\u.exe /x /SILENT\"\n"
     "SetUninstall \"Vorn E2E\" \"c:\\u.exe /x\"\n", "",
     {"answer no"}, 0, "",
     {std::string(kUninstall) + "|DisplayName=Vorn E2E",
      std::string(kUninstall) + "|UninstallString=c:\\u.exe /x",
      std::string(kUninstall) + "|DisplayVersion=4.12",
      std::string(kUninstall) + "|Publisher=Kelvaro",
      std::string(kUninstall) + "|InstallLocation=dst",
      std::string("-") + kUninstall + "|DisplayIcon",
      std::string(kUninstall) + "|QuietUninstallString=c:\\u.exe /x /SILENT"}},
    {"UninstallEntryDeleted",
     {std::string(kUninstall) + "|DisplayName=Vorn E2E",
      std::string(kUninstall) + "|DisplayVersion=4.12",
      std::string(kUninstall) + "|QuietUninstallString=u.exe /SILENT",
      "HKLM\\SOFTWARE\\Kelvaro|vorn_uninstall=u.exe"}, "DelUninstall \"Vorn E2E\"\n", "",
     {"answer no"}, 0, "",
     {std::string("-") + kUninstall, "-HKLM\\SOFTWARE\\Kelvaro|vorn_uninstall"}},
    {"DetectVornFromEachClass",
     {"HKCR\\vam_auto_file\\shell\\open\\command|=\"C:\\Vorn 2\\zekwin.exe\" \"%1\""},
     MarkIf("DetectVORN", "found") + "AppendFile VORNpath \"out.txt\"\n"
         "SetUninstall \"\" \"x.exe\"\n" + MarkIf("DetectVORN", "never"), "/SILENT", {"answer no"},
     1, "found|C:\\Vorn 2"},
    {"DetectVornFromAnUnquotedCommand",
     {"HKCR\\vorn_file\\shell\\open\\command|=C:\\Vorn\\zekwin.exe %1"},
     MarkIf("DetectVORN", "found") + "AppendFile VORNpath \"out.txt\"\n", "", {"answer no"}, 0,
     "found|C:\\Vorn"},
    {"DetectVornWithNoClass", {},
     MarkIf("DetectVORN", "found") + "AppendFile VORNpath \"out.txt\"\n", "", {"answer no"}, 0, ""},
    {"DetectVornWithoutTheRuntimeProgram",
     {"HKCR\\vorn_file\\shell\\open\\command|=C:\\Vorn\\viewer.exe %1",
      "HKCR\\vam_auto_file\\shell\\open\\command|=C:\\Vorn\\zekwin.exe"},
     MarkIf("DetectVORN", "found"), "", {"answer no"}, 0, ""},
    {"CleanRegistryRemovesItsListOnly",
     {"HKCR\\.vorn|=vorn_file", "HKCR\\vorn_file\\shell\\open\\command|=zekwin.exe",
      "HKCR\\vorn_file\\DefaultIcon|=icon", "HKCR\\vorn_file\\shell\\print|=keep",
      "HKCR\\vam_auto_file\\shell\\open\\command|=zekwin.exe",
      "HKLM\\Software\\Kelvaro|Other=keep"},
     "CleanRegistry\n", "", {"answer no"}, 0, "",
     {"-HKCR\\.vorn", "-HKCR\\vam_auto_file", "-HKCR\\vorn_file\\shell\\open",
      "+HKCR\\vorn_file\\shell\\print", "-HKLM\\Software\\Kelvaro|Success",
      "HKLM\\Software\\Kelvaro|Other=keep"}},
};

INSTANTIATE_TEST_SUITE_P(RuntimeConfig, Cases,
                         ::testing::ValuesIn(Framed("[Setup]\nGetSystemVars\nset DSTDIR \"dst\"\n",
                                                    kCases)),
                         CaseName);

}  // namespace

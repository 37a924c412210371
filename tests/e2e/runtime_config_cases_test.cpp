// The runtime's configuration files and registry entries end to end, on
// real files and the real registry under Wine: each case the files and
// registry values it starts with, a script, and what is on disk and in the
// registry afterwards. zek.ini is never lost: every failure leaves it as
// it was, with no temporary file, and exit code 1.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

struct ConfigCase {
  const char* name;
  std::vector<std::string> files;  // "path=content"; "!path=" read-only;
                                   // "path\" a directory
  std::vector<std::string> registry;  // "ROOT\key|name=value" ("" default)
  const char* held;                // a file held open with no sharing
  std::string script;              // after GetSystemVars; DSTDIR is dst
  const char* args;
  int exitCode;
  std::string trace;               // lines of out.txt joined by '|'
  // Afterwards: "path=content", "-path" absent, "~path" not read-only,
  // "ROOT\key|name=value", "-ROOT\key|name", "-ROOT\key", "+ROOT\key".
  std::vector<std::string> after;
};

const char kOld[] = "vorn 1\r\nupdate no\r\nplugin net-1.dll\r\n";
const char kShipped[] = "vorn 0\r\nplugin net-2.dll\r\nplugin new.dll\r\n";
const char kUpgraded[] = "vorn 3\r\nupdate auto\r\nplugin net-2.dll\r\nplugin new.dll\r\n";
const char kNoTemporary1[] = "-dst\\newzek.ini";
const char kNoTemporary2[] = "-dst\\zektemp.ini";
const char kUninstall[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn E2E";

std::string Import() { return "ImportOldVorn \"3\" \"auto\"\n"; }
std::string MarkIf(const std::string& test, const std::string& name) {
  return test + "\nIf\n" + Mark(name) + "Endif\n";
}

const ConfigCase kCases[] = {
    {"UpgradeReplacesAReadOnlyZekIni",
     {std::string("!dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped},
     {}, nullptr, Import() + MarkIf("IsVornUpdated \"2.0\"", "updated"),
     "", 0, "",
     {std::string("dst\\zek.ini=") + kUpgraded, "~dst\\zek.ini", kNoTemporary1,
      kNoTemporary2}},
    {"CrLineEndsKeepEveryLine",
     {"dst\\zek.ini=vorn 4.10\rupdate auto\rplugin netlib-10.dll\ruser keepme\r",
      "zek.ini=vorn 4.12\r\nupdate no\r\nplugin netlib-12.dll\r\nplugin quorpdll.dll\r\n"},
     {}, nullptr,
     "ImportOldVorn \"4.12\" \"no\"\n" + MarkIf("IsVornUpdated \"4.12\"", "updated"),
     "", 0, "updated",
     {"dst\\zek.ini=vorn 4.12\rupdate no\rplugin netlib-12.dll\ruser keepme\r"
      "plugin quorpdll.dll\r\n",
      kNoTemporary1, kNoTemporary2}},
    {"ZekIniInUseIsLeftAsItWas",
     {std::string("dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped},
     {}, "dst\\zek.ini", Import(), "/SILENT", 1, "",
     {std::string("dst\\zek.ini=") + kOld, kNoTemporary1, kNoTemporary2}},
    {"DirectoryNamedNewzekIniFailsTheUpgrade",
     {std::string("dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped,
      "dst\\newzek.ini\\"},
     {}, nullptr, Import(), "/SILENT", 1, "",
     {std::string("dst\\zek.ini=") + kOld, kNoTemporary2}},
    {"DirectoryNamedZektempIniFailsTheUpgrade",
     {std::string("dst\\zek.ini=") + kOld, std::string("zek.ini=") + kShipped,
      "dst\\zektemp.ini\\"},
     {}, nullptr, Import(), "/SILENT", 1, "",
     {std::string("dst\\zek.ini=") + kOld, kNoTemporary1}},
    {"FreshImportWithoutTheShippedFileLeavesNoStub",
     {"dst\\zekpack.ini=c:\\cache 10\r\n"}, {}, nullptr, Import(), "/SILENT", 1,
     "", {"-dst\\zek.ini", kNoTemporary1, kNoTemporary2}},
    {"FreshImportCopiesAndCompletes",
     {std::string("zek.ini=") + kShipped,
      "dst\\zekpack.ini=# disks\r\n\"c:\\vorn cache\" 10\r\n",
      "dst\\zekdll.ini=QUORPDLL.DLL 2\r\n"},
     {}, nullptr, Import() + MarkIf("IsVornUpdated \"1\"", "never"), "", 0, "",
     {std::string("dst\\zek.ini=") + kShipped +
      "disk c:/vorn\\ cache 10\r\ndisk ./Partition 0\r\nplugin QUORPDLL.DLL 2\r\n"}},
    {"AppendedLinesStartOnTheirOwnLine",
     {"dst\\zek.ini=vorn 1", "dst\\zekress.ini=Theme dark"}, {}, nullptr,
     "AddPartition \"D:\\Data\"\nGetVornSettings\n" +
         MarkIf("Strcmp \"1\" \"1\"", "went on"),
     "", 0, "went on",
     {"dst\\zek.ini=vorn 1\r\ndisk D:\\Data\\part2\\ 0\r\n",
      "dst\\zekress.ini=Theme dark\r\nDefaultLanguage English\r\nRegistering Yes\r\n"}},
    {"UninstallEntryWrittenAndRemoved",
     {}, {}, nullptr,
     "SetUninstall \"Vorn E2E\" \"old.exe\"\nSetUninstall \"Vorn E2E\" \"c:\\u.exe /x\"\n",
     "", 0, "",
     {std::string(kUninstall) + "|DisplayName=Vorn E2E",
      std::string(kUninstall) + "|UninstallString=c:\\u.exe /x",
      "HKLM\\SOFTWARE\\Kelvaro|vorn_uninstall=c:\\u.exe /x"}},
    {"UninstallEntryDeleted",
     {}, {std::string(kUninstall) + "|DisplayName=Vorn E2E",
          "HKLM\\SOFTWARE\\Kelvaro|vorn_uninstall=u.exe"},
     nullptr, "DelUninstall \"Vorn E2E\"\n", "", 0, "",
     {std::string("-") + kUninstall, "-HKLM\\SOFTWARE\\Kelvaro|vorn_uninstall"}},
    {"DetectVornFromEachClass",
     {}, {"HKCR\\vam_auto_file\\shell\\open\\command|=\"C:\\Vorn 2\\zekwin.exe\" \"%1\""},
     nullptr,
     MarkIf("DetectVORN", "found") + "AppendFile VORNpath \"out.txt\"\n"
     "SetUninstall \"\" \"x.exe\"\n" + MarkIf("DetectVORN", "never"),
     "/SILENT", 1, "found|C:\\Vorn 2", {}},
    {"DetectVornFromAnUnquotedCommand",
     {}, {"HKCR\\vorn_file\\shell\\open\\command|=C:\\Vorn\\zekwin.exe %1"},
     nullptr, MarkIf("DetectVORN", "found") + "AppendFile VORNpath \"out.txt\"\n",
     "", 0, "found|C:\\Vorn", {}},
    {"DetectVornWithNoClass",
     {}, {}, nullptr, MarkIf("DetectVORN", "found") + "AppendFile VORNpath \"out.txt\"\n",
     "", 0, "", {}},
    {"DetectVornWithoutTheRuntimeProgram",
     {}, {"HKCR\\vorn_file\\shell\\open\\command|=C:\\Vorn\\viewer.exe %1",
          "HKCR\\vam_auto_file\\shell\\open\\command|=C:\\Vorn\\zekwin.exe"},
     nullptr, MarkIf("DetectVORN", "found"), "", 0, "", {}},
    {"CleanRegistryRemovesItsListOnly",
     {}, {"HKCR\\.vorn|=vorn_file", "HKCR\\vorn_file\\shell\\open\\command|=zekwin.exe",
          "HKCR\\vorn_file\\DefaultIcon|=icon", "HKCR\\vorn_file\\shell\\print|=keep",
          "HKCR\\vam_auto_file\\shell\\open\\command|=zekwin.exe",
          "HKLM\\Software\\Kelvaro|Other=keep"},
     nullptr, "CleanRegistry\n", "", 0, "",
     {"-HKCR\\.vorn", "-HKCR\\vam_auto_file", "-HKCR\\vorn_file\\shell\\open",
      "+HKCR\\vorn_file\\shell\\print", "-HKLM\\Software\\Kelvaro|Success",
      "HKLM\\Software\\Kelvaro|Other=keep"}},
};

// "HKCR\key|name=value" split into its parts.
struct RegistryItem {
  HKEY root;
  std::string key, name, value;
  bool hasName, hasValue;
};

RegistryItem ParseRegistryItem(const std::string& text) {
  RegistryItem item;
  item.root = text.compare(0, 4, "HKCR") == 0 ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
  size_t bar = text.find('|');
  item.key = text.substr(5, bar == std::string::npos ? std::string::npos : bar - 5);
  item.hasName = bar != std::string::npos;
  size_t eq = item.hasName ? text.find('=', bar) : std::string::npos;
  item.hasValue = eq != std::string::npos;
  if (item.hasName) item.name = text.substr(bar + 1, eq - bar - 1);
  if (item.hasValue) item.value = text.substr(eq + 1);
  return item;
}

class ConfigCases : public SetupRun, public ::testing::WithParamInterface<ConfigCase> {
 protected:
  void SetUp() override {
    SetupRun::SetUp();
    CleanRegistry();
  }
  void TearDown() override {
    CleanRegistry();
    SetupRun::TearDown();
  }
  static void CleanRegistry() {
    for (const char* key : {".vorn", ".vam", "vorn_file", "vam_auto_file"}) {
      DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstall + 5);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvaro");
  }
  void CheckAfter(const std::string& expectation) {
    SCOPED_TRACE(expectation);
    if (expectation.find("HK") == 0 || expectation.find("HK") == 1) {
      CheckRegistry(expectation);
      return;
    }
    char kind = expectation[0];
    std::string rest = expectation.substr(1);
    DWORD attributes = GetFileAttributesA((Dir() + "\\" + rest).c_str());
    if (kind == '-') {
      EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES);
    } else if (kind == '~') {
      EXPECT_FALSE(attributes & FILE_ATTRIBUTE_READONLY);
    } else {
      size_t eq = expectation.find('=');
      EXPECT_EQ(ReadFile(expectation.substr(0, eq)), expectation.substr(eq + 1));
    }
  }
  void CheckRegistry(const std::string& expectation) {
    bool absent = expectation[0] == '-';
    bool present = expectation[0] == '+';
    RegistryItem item = ParseRegistryItem(expectation.substr(absent || present ? 1 : 0));
    if (!item.hasName) {
      HKEY key;
      LONG status = RegOpenKeyExA(item.root, item.key.c_str(), 0, KEY_READ, &key);
      if (status == ERROR_SUCCESS) RegCloseKey(key);
      EXPECT_EQ(status == ERROR_SUCCESS, present);
      return;
    }
    std::string bytes;
    bool found = ReadRegistryValue(item.root, item.key.c_str(), item.name.c_str(), &bytes);
    if (absent) {
      EXPECT_FALSE(found);
    } else {
      EXPECT_EQ(bytes, item.value + std::string(1, '\0'));
    }
  }
};

TEST_P(ConfigCases, Run) {
  const ConfigCase& c = GetParam();
  WriteStartingFiles(c.files);
  for (const std::string& text : c.registry) {
    RegistryItem item = ParseRegistryItem(text);
    WriteRegistryString(item.root, item.key.c_str(), item.name.c_str(), item.value);
  }
  HANDLE held = INVALID_HANDLE_VALUE;
  if (c.held) {
    held = CreateFileA((Dir() + "\\" + c.held).c_str(), GENERIC_READ, 0, nullptr,
                       OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
  }
  WriteScript("[Setup]\nGetSystemVars\nset DSTDIR \"dst\"\n" + c.script);
  Start(c.args);
  EXPECT_EQ(Finish(IDNO), c.exitCode);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  EXPECT_EQ(Trace(), c.trace);
  for (const std::string& expectation : c.after) CheckAfter(expectation);
}

std::string CaseName(const ::testing::TestParamInfo<ConfigCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(RuntimeConfig, ConfigCases, ::testing::ValuesIn(kCases),
                         CaseName);

}  // namespace

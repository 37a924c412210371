// The dry run end to end: a script, a machine described as setupsim's
// command line describes it, and the plan the run prints; the machine
// carried from run to run in a state file; machine descriptions that are
// wrong.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script/install_state.h"
#include "sim/dry_run.h"
#include "sim/host_file.h"
#include "sim/machine_options.h"
#include "sim/machine_state.h"
#include "sim/plan_output.h"
#include "sim/simulated_machine.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> Files;  // path, content

// A run: setup.ini and other files (relative ones in C:\setup, beside
// setup.exe), setupsim's arguments ("@name" is the file `name` of
// `hostFiles`, written to a folder of this machine), and the plan
// ("place: kind: detail", one a line) from the script's first step on.
struct DryRunCase {
  const char* name;
  Files files;
  std::vector<std::string> arguments;
  std::string plan;
  Files hostFiles;
};

// A folder of this machine for a test's files, removed at its end.
class HostFolder {
 public:
  HostFolder() {
    char name[] = "/tmp/dry-run-XXXXXX";
    path_ = mkdtemp(name) ? name : "/tmp";
  }
  ~HostFolder() { std::filesystem::remove_all(path_); }
  // Each file with its content; the content kFifo makes a named pipe.
  void Write(const Files& files) {
    for (const auto& file : files) {
      std::filesystem::path path = path_ + "/" + file.first;
      std::filesystem::create_directories(path.parent_path());
      if (file.second == kFifo) {
        mkfifo(path.c_str(), 0600);
      } else {
        std::ofstream(path, std::ios::binary) << file.second;
      }
    }
  }
  static constexpr const char* kFifo = "(a named pipe)";
  // `argument` with each "@name" made a path in the folder.
  std::string Resolve(std::string argument) const {
    size_t at = argument.find('@');
    if (at != std::string::npos) argument.replace(at, 1, path_ + "/");
    return argument;
  }

 private:
  std::string path_;
};

// The plan without what every run has outside its script: its start, the
// stand-in for setup.exe and the install-state record's steps.
std::string PlanLines(const DryRunResult& result) {
  std::string lines;
  for (const PlanStep& step : result.steps) {
    bool everyRuns = step.kind == "start" || step.detail.find(kInstallStateKey) != std::string::npos ||
                     step.detail.find("is a stand-in file") != std::string::npos;
    if (everyRuns && step.place.empty()) continue;
    lines += (step.place.empty() ? "" : step.place + ": ") + step.kind + ": " + step.detail + "\n";
  }
  return lines;
}

// Builds the machine the arguments describe; the options they give.
DryRunOptions Build(const std::vector<std::string>& given, HostFolder& host,
                    SimulatedMachine& machine) {
  std::vector<std::string> arguments;
  for (const std::string& argument : given) arguments.push_back(host.Resolve(argument));
  DryRunOptions options;
  std::string error;
  EXPECT_TRUE(ParseDryRunOptions(arguments, &options, &error)) << error;
  EXPECT_TRUE(BuildMachine(options, machine, &error)) << error;
  return options;
}

// Builds the machine, adds the files, and runs.
DryRunResult RunCase(const DryRunCase& c, SimulatedMachine& machine, HostFolder& host) {
  host.Write(c.hostFiles);
  DryRunOptions options = Build(c.arguments, host, machine);
  for (const auto& file : c.files) {
    machine.WriteFile(file.first[1] == ':' ? file.first : "C:\\setup\\" + file.first, file.second);
  }
  return RunDryRun(machine, options.setup);
}

const char kMessages[] =
    "[Messages]\nset ERROR_TTL \"Error\"\nset ERROR_COPY_TTL \"Copy failed\"\n"
    "set ERROR_COPY_MSG \"Cannot copy %s to %s\"\nset ERROR_LOAD_DLL \"Cannot load %s\"\n"
    "set ERROR_REG_DLL \"Cannot register %s\"\nset ABORT_MSG \"Setup ends\"\nReturn\n";

// setup.ini: `body` as section [Setup] from line 3, then the messages.
std::pair<std::string, std::string> Script(const std::string& body) {
  return {"setup.ini", "[Setup]\ngoto \"Messages\"\n" + body + "\n" + kMessages};
}

// A script whose run tells which section ran.
const char kSetupAndUninstall[] = R"([Setup]
AppendFile "setup" "C:\o.txt"
[Uninstall]
AppendFile "uninstall" "C:\o.txt"
)";

class DryRun : public ::testing::TestWithParam<DryRunCase> {};

TEST_P(DryRun, PrintsWhatTheRunWouldDo) {
  SimulatedMachine machine;
  HostFolder host;
  DryRunResult result = RunCase(GetParam(), machine, host);
  EXPECT_EQ(PlanLines(result), GetParam().plan);
}

const DryRunCase kDryRunCases[] = {
    {"VariablesStringsAndTextFiles",
     {Script(R"(set A "Vorn"
Strcat A " 4"
AppendFile A "C:\out.txt"
FindInFile "Vorn 4" "C:\out.txt"
If
AppendFile "found" "C:\out.txt"
Endif)")},
     {},
     R"(setup.ini:5: file appended to: C:\out.txt
setup.ini:8: file appended to: C:\out.txt
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"BoxesAndDialogsTakeTheSimulatedUsersDefaults",
     {Script(R"(MsgBoxYESNO "Go on?" "Q"
ShowFile "licence.txt"
set SETUPTYPE1 "Full"
set SETUPTYPE2 "Small"
SetupType
GetSMTPServer
AppendFile SETUPTYPE "C:\o.txt")"),
      {"licence.txt", "Terms"}},
     {},
     R"(setup.ini:3: message box: Q: Go on? -> button 6 (the simulated user: the first button)
setup.ini:4: dialog: licence -> 1 (the simulated user: agree)
setup.ini:7: dialog: setup type -> 1 (the simulated user: the first row, Full)
setup.ini:8: dialog: SMTP server -> 1 (the simulated user: the server offered, mail)
setup.ini:9: file appended to: C:\o.txt
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"AnswersGivenInAdvance",
     {Script(R"(MsgBoxYESNO ASK "Q"
If
AppendFile "yes" "C:\o.txt"
Else
AppendFile "no" "C:\o.txt"
Endif
set SETUPTYPE1 "Full"
set SETUPTYPE2 "Small"
SetupType
AppendFile SETUPTYPE "C:\o.txt")"),
      {"answers.txt", "MsgBoxYESNO ASK = no\nSETUPTYPE = small\n"}},
     {"--", "/ANSWERS=answers.txt"},
     R"(setup.ini:3: answer: MsgBoxYESNO ASK = no (answers file)
setup.ini:7: file appended to: C:\o.txt
setup.ini:11: answer: SETUPTYPE = small (answers file)
setup.ini:12: file appended to: C:\o.txt
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"AnUnattendedRunWithoutAnAnswerEndsWith3",
     {Script(R"(GetSMTPServer
AppendFile "after" "C:\o.txt")"), {"answers.txt", "; none\n"}},
     {"--", "/SILENT", "/ANSWERS=answers.txt"},
     R"(setup.ini:3: error: unattended run: no answer for STMPServer
end: exit code 3, failure flag 1, reboot requested no
)"},
    {"ControlFlowAndTheRebootLeftToTheCaller",
     {Script(R"(IsSilent
If
RebootNeeded
Endif
goto "Next"
[Next]
AppendFile "next" "C:\o.txt"
quit
AppendFile "never" "C:\o.txt")")},
     {"--", "/SILENT", "/NORESTART"},
     R"(setup.ini:9: file appended to: C:\o.txt
end: exit code 3010, failure flag 0, reboot requested yes (left to the caller: /NORESTART)
)"},
    {"FileTransfersTreesAndSearches",
     {Script(R"(GetSystemVars
set DSTDIR "C:\Vorn"
MkDir DSTDIR "bin"
CopyDir2Dest "bin"
CopyA "a.txt" "C:\Vorn\a.txt"
MoveA "C:\Vorn\a.txt" "C:\Vorn\b.txt"
Exist "C:\Vorn\b.txt"
If
Delete "C:\Vorn\b.txt"
Endif
Deltree "C:\Vorn\bin")"),
      {"a.txt", "a"},
      {"bin\\tool.exe", "MZ"}},
     {},
     R"(setup.ini:3: language file: setup.English.txt
setup.ini:5: directory created: C:\Vorn
setup.ini:5: directory created: C:\Vorn\bin
setup.ini:6: file copied: C:\setup/bin/tool.exe -> C:\Vorn/bin/tool.exe
setup.ini:7: file copied: a.txt -> C:\Vorn\a.txt
setup.ini:8: file moved: C:\Vorn\a.txt -> C:\Vorn\b.txt
setup.ini:11: file deleted: C:\Vorn\b.txt
setup.ini:13: file deleted: C:\Vorn\bin\tool.exe
setup.ini:13: directory removed: C:\Vorn\bin
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"ProbesTakeTheDeclaredAnswers",
     {Script(R"(DetectTCPIP
If
AppendFile "tcp" "C:\o.txt"
Endif
GetSystemVars
MkDir DSTDIR)")},
     {"--no-tcpip", "--registry", "@machine.reg"},
     R"(setup.ini:3: assumed: the TCP/IP probe is not run; TCP/IP is taken as missing
setup.ini:3: failure: WSAStartup 1.1: error 10092
setup.ini:7: language file: setup.English.txt
setup.ini:8: directory created: C:\Apps
setup.ini:8: directory created: C:\Apps\vorn\
end: exit code 0, failure flag 0, reboot requested no
)",
     {{"machine.reg", R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Apps"
)"}}},
    {"ProgramsLibrariesAndFonts",
     {Script(R"(set DSTDIR "C:\setup"
RunWait "tool.exe" "-x"
If
AppendFile "tool failed" "C:\o.txt"
Endif
Register "com.dll"
RegisterFont "C:\setup\a.ttf"
Run "readme.txt")"),
      {"tool.exe", "MZ"},
      {"com.dll", "MZ"},
      {"a.ttf", "font"},
      {"readme.txt", "text"}},
     {"--exit-code", "tool.exe=010", "--entry", "com.dll,DllRegisterServer=0x80004005"},
     R"(setup.ini:4: assumed: what C:\setup\tool.exe does is not simulated; its exit code is taken as 10 (declared)
setup.ini:4: program run: C:\setup\tool.exe: x.exe -x, exit code 10
setup.ini:6: file appended to: C:\o.txt
setup.ini:8: assumed: the code of DllRegisterServer in C:\setup\com.dll is not run; its result is taken as -2147467259 (declared)
setup.ini:8: failure: DllRegisterServer C:\setup\com.dll: result 0x80004005
setup.ini:8: error: DllRegisterServer failed for C:\setup\com.dll
setup.ini:8: message box: Error: Cannot register C:\setup\com.dll -> button 1 (the simulated user: the first button)
setup.ini:9: font added: C:\setup\a.ttf
setup.ini:10: assumed: what opening readme.txt does is not simulated
setup.ini:10: opened: readme.txt
end: exit code 1, failure flag 1, reboot requested no
)"},
    {"AFontInUseIsNamedWhenItIsReplacedOrDeleted",
     {Script(R"(RegisterFont "C:\setup\a.ttf"
CopyA "b.ttf" "C:\setup\a.ttf"
Delete "C:\setup\a.ttf")"),
      {"a.ttf", "font"},
      {"b.ttf", "font 2"}},
     {},
     R"(setup.ini:3: font added: C:\setup\a.ttf
setup.ini:4: file copied: b.ttf -> C:\setup\a.ttf.~vn
setup.ini:4: assumed: C:\setup\a.ttf is a font this session still counts as added: under Windows its replacement or delete may fail as in use; the simulation lets it go
setup.ini:4: file moved: C:\setup\a.ttf.~vn -> C:\setup\a.ttf
setup.ini:5: assumed: C:\setup\a.ttf is a font this session still counts as added: under Windows its replacement or delete may fail as in use; the simulation lets it go
setup.ini:5: file deleted: C:\setup\a.ttf
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"WildcardsAndDrivesThatTakeNoWrites",
     {Script(R"(Exist "C:\setup\*a*a*a*a*a*a*a*a*a*a*a*a*a*ab"
If
AppendFile "matched" "C:\o.txt"
Endif
AppendFile "x" "Q:\o.txt"
AppendFile "x" "M:\o.txt")"),
      {std::string(40, 'a'), "a"}},
     {"--drive", "M=@cd,cdrom", "--setup", "C:\\setup\\setup.exe"},
     R"(setup.ini:7: failure: AppendToFile Q:\o.txt: error 3
setup.ini:8: failure: AppendToFile M:\o.txt: error 19
end: exit code 0, failure flag 0, reboot requested no
)",
     {{"cd/readme.txt", "x"}}},
    {"OpeningByNameAndLibrariesAsWindowsFindsThem",
     {Script(R"(set DSTDIR "C:\setup"
Run "https://example.com/notes"
CheckForDLL "probe"
If
AppendFile "probe" "C:\o.txt"
Endif
CheckForDLL "kernel32.dll")"),
      {"probe.dll", "MZ"}},
     {},
     R"(setup.ini:4: assumed: https://example.com/notes is not on the simulated machine: opening it is taken as done
setup.ini:4: opened: https://example.com/notes
setup.ini:7: file appended to: C:\o.txt
setup.ini:9: assumed: kernel32.dll is not on the simulated machine (its system folder holds only what the description puts there): taken as missing
setup.ini:9: failure: LoadLibrary kernel32.dll: error 126
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"RegistryExportsWithStringsInHex",
     {Script(R"(GetSystemVars
MkDir DSTDIR)")},
     {"--registry", "@machine.reg"},
     R"(setup.ini:3: language file: setup.English.txt
setup.ini:4: directory created: C:\Apps
setup.ini:4: directory created: C:\Apps\vorn\
end: exit code 0, failure flag 0, reboot requested no
)",
     {{"machine.reg", R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion]
; a comment that ends in a backslash does not go on \
"ProgramFilesDir"=hex(2):43,00,3a,00,5c,00,41,00,70,00,70,00,\
  73,00,00,00
)"}}},
    {"ShortcutsAndTheUninstallEntry",
     {Script(R"(set DSTDIR "C:\Vorn"
MkDir DSTDIR
MkPgmGroup "Vorn"
set PROGRAMGROUP "Vorn"
MkLink "vorn.exe" "Vorn"
SetUninstall "Vorn" "C:\Vorn\u.exe")")},
     {"--user", "ada"},
     R"(setup.ini:4: directory created: C:\Vorn\
setup.ini:5: directory created: C:\Users\ada\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Vorn
setup.ini:7: shortcut written: C:\Users\ada\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Vorn\Vorn.lnk -> C:\Vorn\vorn.exe 
setup.ini:8: registry key created or opened: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vorn
setup.ini:8: registry value written: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vorn "DisplayName" = "Vorn"
setup.ini:8: registry value written: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vorn "UninstallString" = "C:\Vorn\u.exe"
setup.ini:8: registry key created or opened: HKEY_LOCAL_MACHINE\SOFTWARE\Kelvaro
setup.ini:8: registry value written: HKEY_LOCAL_MACHINE\SOFTWARE\Kelvaro "vorn_uninstall" = "C:\Vorn\u.exe"
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"RuntimeConfiguration",
     {Script(R"(set DSTDIR "C:\Vorn"
MkDir DSTDIR
AddPartition "D:\Data")")},
     {},
     R"(setup.ini:4: directory created: C:\Vorn\
setup.ini:5: file appended to: C:\Vorn\Zek.ini
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"UninstallRunsItsOwnSection",
     {{"setup.ini", kSetupAndUninstall}},
     {"--", "/UNINSTALL"},
     R"(setup.ini:4: file appended to: C:\o.txt
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"TheUninstallMarkerOfAnInstalledRuntimeMakesAnUninstall",
     {{"setup.ini", kSetupAndUninstall},
      {"setup.txt", ""}},
     {"--registry", "@machine.reg"},
     R"(setup.ini:4: file appended to: C:\o.txt
end: exit code 0, failure flag 0, reboot requested no
)",
     {{"machine.reg", "[HKEY_CLASSES_ROOT\\vorn_file\\shell\\open\\command]\n"}}},
    {"AMalformedAnswersFileRunsNothing",
     {{"setup.ini", kSetupAndUninstall}, {"answers.txt", "SETUPTYPE = Full\nSETUPTYPE = Small\n"}},
     {"--", "/SILENT", "/ANSWERS=answers.txt"},
     R"(error: answers file answers.txt: line 2: the question is answered on an earlier line
end: exit code -1, failure flag 0, reboot requested no
)"},
    {"TheUsersLanguageChoosesTheLanguageFile",
     {Script("GetSystemVars"), {"setup.German.txt", "[Messages]\nReturn\n"}},
     {"--language", "German"},
     R"(setup.ini:3: language file: setup.German.txt
end: exit code 0, failure flag 0, reboot requested no
)"},
    {"ARolledBackInstallUndoesItsSteps",
     {Script(R"(MkDir "C:\Vorn"
CopyA "missing.txt" "C:\Vorn\m.txt")")},
     {"--", "/SILENT", "/ROLLBACK"},
     R"(setup.ini:3: directory created: C:\Vorn\
setup.ini:4: failure: CopyFile missing.txt: error 2
rollback: undoing the changes of this install
directory removed: C:\Vorn\
rollback: done
end: exit code 1, failure flag 1, reboot requested no
)"},
};

INSTANTIATE_TEST_SUITE_P(Scripts, DryRun, ::testing::ValuesIn(kDryRunCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The machine goes from run to run through its state file: an install, a
// saved state, an uninstall from it; what the uninstall leaves, against
// the machine before the install, is the install-state record.
TEST(DryRunState, CarriesTheMachineFromTheInstallToTheUninstall) {
  HostFolder host;
  host.Write({{"media/setup.ini", R"([Setup]
set DSTDIR "C:\Vorn"
MkDir DSTDIR
CopyA "a.txt" "C:\Vorn\a.txt"
SetUninstall "Vorn" "C:\Vorn\u.exe"
RegisterFont "C:\Vorn\a.txt"
[Uninstall]
UnregisterFont "C:\Vorn\a.txt"
DelUninstall "Vorn"
Deltree "C:\Vorn"
)"},
              {"media/a.txt", "a"}});
  std::string installed = host.Resolve("@installed"), error;
  SimulatedMachine before, first, second;
  Build({"--drive", "D=@media"}, host, before);
  DryRunCase install{"install", {}, {"--drive", "D=@media"}, ""};
  EXPECT_EQ(RunCase(install, first, host).exitCode, 0);
  ASSERT_TRUE(SaveMachineState(first, installed, &error)) << error;
  // The install-state record: its key, and "Success" = "0" since the
  // script never says InstallSuccess.
  const std::string record = "+ key HKLM\\Software\\Kelvaro";
  const std::string unsuccessful = "+ value HKLM\\Software\\Kelvaro \"Success\" = \"0\"";
  const std::string entry = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";
  EXPECT_EQ(MachineChanges(before, first),
            (std::vector<std::string>{
                "+ file C:\\Vorn\\a.txt", "+ folder C:\\Vorn", "+ font C:\\VORN\\A.TXT", record,
                "+ key " + entry, unsuccessful,
                "+ value HKLM\\Software\\Kelvaro \"vorn_uninstall\" = \"C:\\Vorn\\u.exe\"",
                "+ value " + entry + " \"DisplayName\" = \"Vorn\"",
                "+ value " + entry + " \"UninstallString\" = \"C:\\Vorn\\u.exe\""}));
  DryRunCase uninstall{"uninstall", {}, {"--state", installed, "--", "/UNINSTALL"}, ""};
  DryRunResult result = RunCase(uninstall, second, host);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(MachineChanges(before, second), (std::vector<std::string>{record, unsuccessful}));
}

// A drive given over a saved state holds the new folder's files alone (new
// media replace the old), and a link in the folder keeps its own name.
TEST(DryRunState, ADriveIsReplacedByItsFolderAndLinksKeepTheirNames) {
  HostFolder host;
  host.Write({{"old/setup.ini", "[Setup]\n"}, {"old/gone.txt", "old"},
              {"new/setup.ini", "[Setup]\n"}, {"target.txt", "linked"}});
  std::filesystem::create_symlink(host.Resolve("@target.txt"), host.Resolve("@new/link.txt"));
  SimulatedMachine first, second;
  Build({"--drive", "D=@old"}, host, first);
  std::string state = host.Resolve("@state"), error;
  ASSERT_TRUE(SaveMachineState(first, state, &error)) << error;
  Build({"--state", "@state", "--drive", "D=@new"}, host, second);
  EXPECT_FALSE(second.Exists("D:\\gone.txt"));
  EXPECT_EQ(second.ReadFile("D:\\link.txt"), "linked");
  EXPECT_FALSE(second.Exists("D:\\target.txt"));
}

// A save that cannot be written keeps the state that was there, and a
// file in the way of the save is left alone.
TEST(DryRunState, ASaveThatFailsKeepsTheOldState) {
  HostFolder host;
  host.Write({{"state", "the old state"}});
  std::string state = host.Resolve("@state"), error;
  std::filesystem::create_directory(state + ".setupsim-new");
  SimulatedMachine machine;
  EXPECT_FALSE(SaveMachineState(machine, state, &error));
  EXPECT_NE(error.find("is in the way"), std::string::npos) << error;
  EXPECT_FALSE(StateCanBeSaved(state, &error));
  std::string kept;
  ASSERT_TRUE(ReadHostFile(state, &kept));
  EXPECT_EQ(kept, "the old state");
  EXPECT_TRUE(std::filesystem::is_directory(state + ".setupsim-new"));
}

// Everything a state holds reads back as it was written: attributes,
// bytes of every value (NULs and line ends too), names that start with a
// blank, fonts, deletes at the next start, the drives, where setup.exe ran
// and the user.
TEST(DryRunState, ReadsBackEverythingItWrote) {
  SimulatedMachine machine;
  machine.driveTypes['E'] = kDriveRemovable;
  machine.WriteFile("C:\\A\\ro.txt", std::string("line\nend\0x", 9), kAttrReadOnly);
  machine.CreateDirectory("E:\\Empty Folder");
  machine.SetRegValue(kHkeyCurrentUser, "Software\\X", "Bin Value", std::string("\n\0\1", 3), false);
  machine.SetRegValue(kHkeyClassesRoot, ".vrn", "", std::string("vorn_file\0", 10), true);
  machine.fontsAdded.insert("C:\\A\\F.TTF");
  machine.deletesAtRestart.push_back("C:\\A\\ro.txt");
  machine.programPath = "E:\\setup.exe";
  machine.user = "ada";
  machine.SetRegValue(kHkeyCurrentUser, " Lead\\ Key", " v", std::string("x\0", 2), true);
  HostFolder host;
  std::string path = host.Resolve("@state"), error;
  ASSERT_TRUE(SaveMachineState(machine, path, &error)) << error;
  SimulatedMachine read;
  ASSERT_TRUE(LoadMachineState(read, path, &error)) << error;
  EXPECT_EQ(MachineChanges(machine, read), std::vector<std::string>());
  EXPECT_EQ(read.Files(), machine.Files());
  EXPECT_EQ(read.Registry(), machine.Registry());
  EXPECT_EQ(read.driveTypes, machine.driveTypes);
  EXPECT_EQ(read.programPath, "E:\\setup.exe");
  EXPECT_EQ(read.user, "ada");
}

// The output of the tool: what `command` (a shell command) prints, and its
// exit status.
std::string Output(const std::string& command, int* status) {
  FILE* tool = popen((command + " 2>&1").c_str(), "r");
  std::string output;
  char buffer[256];
  while (tool && fgets(buffer, sizeof buffer, tool)) output += buffer;
  int ended = tool ? pclose(tool) : -1;
  *status = WIFEXITED(ended) ? WEXITSTATUS(ended) : -1;
  return output;
}

// setupsim ends with the run's exit code (as the system keeps it: 3010 is
// 194), and its JSON report carries the steps with ANSI text escaped (a
// byte above 127 as Latin-1), the reboot and the changes.
TEST(DryRunTool, EndsWithTheRunsExitCodeAndPrintsJson) {
  HostFolder host;
  host.Write({{"media/setup.ini", "[Setup]\nAppendFile \"x\" \"C:\\Gr\xfc\xdf" "e.txt\"\n"
                                  "CopyA \"missing\" \"C:\\m\"\n"}});
  std::string run = std::string(SETUPSIM_PATH) + " --drive D=" + host.Resolve("@media");
  int status = 0;
  std::string json = Output(run + " --format=json -- /SILENT", &status);
  EXPECT_EQ(status, 1) << json;
  for (const char* part :
       {"\"program\": \"D:\\\\setup.exe\",\n  \"commandLine\": \"/SILENT\"",
        "{\"place\": \"setup.ini:2\", \"kind\": \"file appended to\", "
        "\"detail\": \"C:\\\\Gr\\u00fc\\u00dfe.txt\"}",
        "\"detail\": \"HKEY_LOCAL_MACHINE\\\\Software\\\\Kelvaro \\\"InstallFailled\\\" = \\\"1\\\"\"",
        "\"exitCode\": 1,\n  \"failureFlag\": true,\n  \"rebootRequested\": false\n}"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
  }
  host.Write({{"reboot/setup.ini", "[Setup]\nRebootNeeded\n"}});
  json = Output(std::string(SETUPSIM_PATH) + " --format=json --changes --drive D=" +
                    host.Resolve("@reboot") + " -- /SILENT /NORESTART", &status);
  EXPECT_EQ(status, 3010 % 256) << json;
  for (const char* part : {"\"exitCode\": 3010,\n  \"failureFlag\": false,\n  \"rebootRequested\": true",
                           "\"changes\": [\n    \"+ key HKLM\\\\Software\\\\Kelvaro\","}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
  }
  std::string text = Output(run + " --trace -- /SILENT", &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(text.find("setup.ini:3: statement: CopyA \"missing\" \"C:\\m\""), std::string::npos) << text;
  EXPECT_NE(text.find("\nend: exit code 1, failure flag 1, reboot requested no\n"), std::string::npos);
}

// A machine description that cannot be used: setupsim prints why and ends
// with 2 before anything runs.
struct BadDescription {
  const char* name;
  std::vector<std::string> arguments;
  Files hostFiles;
  const char* error;  // what the message holds
};

class DryRunDescription : public ::testing::TestWithParam<BadDescription> {};

TEST_P(DryRunDescription, IsRefusedWithAClearError) {
  const BadDescription& c = GetParam();
  HostFolder host;
  host.Write(c.hostFiles);
  std::string command = SETUPSIM_PATH;
  for (const std::string& argument : c.arguments) command += " '" + host.Resolve(argument) + "'";
  int status = 0;
  std::string output = Output(command, &status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(output.compare(0, 10, "setupsim: "), 0) << output;
  EXPECT_NE(output.find(c.error), std::string::npos) << output;
  EXPECT_EQ(output.find("dry run:"), std::string::npos) << "a plan was printed";
}

const BadDescription kBadDescriptions[] = {
    {"UnknownOption", {"--colour"}, {}, "unknown argument --colour"},
    {"OptionWithoutValue", {"--drive"}, {}, "--drive needs a value"},
    {"OptionWithAnEmptyValue", {"--state="}, {}, "--state needs a value"},
    {"NamesThatWindowsTakesAsOne", {"--drive", "D=@m"}, {{"m/README.txt", "a"}, {"m/readme.txt", "b"}},
     "has the name of another entry under Windows' rules"},
    {"NameWithAControlCharacter", {"--drive", "D=@m"}, {{"m/a\x01b", "x"}},
     "holds a character that Windows does not take in a name"},
    {"StateCannotBeSaved", {"--save-state", "@none/x.state"}, {}, "cannot be written"},
    {"DriveWithoutLetter", {"--drive", "@media"}, {}, "--drive takes X=FOLDER"},
    {"DriveGivenTwice", {"--drive", "D=@m", "--drive", "d=@m"}, {{"m/x", ""}}, "drive D: is given twice"},
    {"MissingFolder", {"--drive", "D=@none"}, {}, "no such folder"},
    {"FolderWithANamedPipe", {"--drive", "D=@m"}, {{"m/setup.ini", ""}, {"m/pipe", HostFolder::kFifo}},
     "/m/pipe is not a regular file"},
    {"BadExitCode", {"--exit-code", "tool.exe=many"}, {}, "--exit-code takes NAME=NUMBER"},
    {"EntryWithoutLibrary", {"--entry", "DllRegisterServer=1"}, {}, "--entry takes LIBRARY,ENTRY"},
    {"UnknownLanguage", {"--language", "Klingon"}, {}, "--language takes"},
    {"SetupNotAFullPath", {"--setup", "setup.exe"}, {}, "bad value for --setup"},
    {"MissingRegistryFile", {"--registry", "@none.reg"}, {}, "cannot be read"},
    {"RegistryValueBeforeKey", {"--registry", "@r.reg"}, {{"r.reg", "\"a\"=\"b\"\n"}},
     "r.reg: line 1: a value before any [key]"},
    {"RegistryUnknownRoot", {"--registry", "@r.reg"}, {{"r.reg", "REGEDIT4\n[HKEY_USERS\\x]\n"}},
     "r.reg: line 2: unknown root HKEY_USERS"},
    {"RegistryBadHex", {"--registry", "@r.reg"}, {{"r.reg", "[HKCU\\x]\n\"a\"=hex:1g,\\\n 02\n"}},
     "r.reg: line 2: hex: takes bytes"},
    {"RegistryKeyTooDeep", {"--registry", "@r.reg"},
     {{"r.reg", "[HKCU\\" + std::string(300, 'k') + "]\n"}}, "r.reg: line 1: a key's path holds"},
    {"RegistryUnclosedQuote", {"--registry", "@r.reg"}, {{"r.reg", "[HKCU\\x]\n\"a\"=\"b\n"}},
     "r.reg: line 2: a quote is not closed"},
    {"StateNotAState", {"--state", "@s"}, {{"s", "hello\n"}}, "line 1: not a machine state"},
    {"StateCutShort", {"--state", "@s"}, {{"s", "vorn dry-run machine 1\nfile 32 10 C:\\a\nabc"}},
     "line 2: a record's size runs past the end of the file"},
    {"StateSizePastTheEnd", {"--state", "@s"},
     {{"s", "vorn dry-run machine 1\nfile 32 18446744073709551615 C:\\a\nabc\n"}},
     "line 2: a record's size runs past the end of the file"},
    {"StateValueSizesPastTheEnd", {"--state", "@s"},
     {{"s", "vorn dry-run machine 1\nvalue sz 18446744073709551615 2 HKLM x\nab\n"}},
     "line 2: a value's sizes run past the end of the file"},
    {"StateUnknownRecord", {"--state", "@s"}, {{"s", "vorn dry-run machine 1\nshare C:\\a\n"}},
     "line 2: unknown record share"},
    {"MissingChangesState", {"--changes-since", "@none"}, {}, "cannot be read"},
};

INSTANTIATE_TEST_SUITE_P(Descriptions, DryRunDescription, ::testing::ValuesIn(kBadDescriptions),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// Fault sweep of the bundled example: its install, an upgrade over it and
// its uninstall run on the in-memory machine with the N-th effect call
// failing, for every N until a run makes fewer calls than N. Each run must
// end (no crash under the sanitizers, no leak by the phase's end) with the
// exit code its failure calls for, journal the failed call, leave zek.ini
// whole (as before the run, as after a clean one, or as after a run where
// the file it could not read is missing), touch no file outside the
// product's folders, and, when a failed look ends the run with 0, leave the
// product's files where a clean run leaves them.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sim/dry_run.h"
#include "sim/machine_options.h"
#include "sim/simulated_machine.h"

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace {

const char kZekIni[] = "C:\\Program Files\\vorn\\zek.ini";
const char kAbsent[] = "(absent)";

// What the example's runs may change, upper-cased: the product's folder
// (c:\vorn when no program-files folder is known), its program group and
// links, and the install log beside setup.ini.
const std::string kPrograms =
    "C:\\USERS\\USER\\APPDATA\\ROAMING\\MICROSOFT\\WINDOWS\\START MENU\\PROGRAMS";
const std::string kProductPaths[] = {
    "C:\\PROGRAM FILES\\VORN", "C:\\VORN", kPrograms + "\\VORN 4.12", "C:\\USERS\\USER\\DESKTOP\\VORN 4.12.LNK",
    kPrograms + "\\STARTUP\\VORN AGENT.LNK", "M:\\INSTALL.LOG"};

// How a run with one failed call ends, as docs/script-reference.md has it:
// -1 when the script itself cannot be read; 1 for a change the script asked
// for (a copy or move, a write, a folder, a delete, a library); 0 where the
// failure is silent (AppendFile gives condition 0, ParseFile's file and a
// fresh import's zekdll.ini and zekpack.ini count as missing, a program
// group that cannot be made leaves its links unwritten, fonts are ignored,
// RunWait gives -1). Any other call is a look or a step the reference
// leaves to the command: its failure is a test, and what a later step makes
// of the missing answer decides (kEither).
const int kEither = -100;
// A language file that cannot be read leaves the setup-type list empty:
// the user can only abandon the run (2).
const int kEitherOrAbandoned = -101;
// No program-files folder known: the destination is c:\vorn, where an
// install goes (0) and an uninstall finds nothing to remove (1).
const int kElsewhere = -102;
struct ExitRule {
  EffectCall call;
  const char* subjectPart;  // upper-cased
  int exitCode;
};
const ExitRule kExitRules[] = {
    // setup.exe's own folder cannot be entered: no script runs.
    {EffectCall::kSetCurrentDirectory, "M:\\", -1},
    // The kept uninstaller's copy of the script: the copy family decides.
    {EffectCall::kGetFileAttributes, "\\SETUP.INI", kEither},
    {EffectCall::kGetFileAttributes, "SETUP.INI", -1},
    {EffectCall::kGetFileAttributes, "SETUP.ENGLISH.TXT", kEitherOrAbandoned},
    {EffectCall::kReadWholeFile, "SETUP.ENGLISH.TXT", kEitherOrAbandoned},
    {EffectCall::kRegQueryValueEx, "WINDOWS\\CURRENTVERSION", kElsewhere},
    {EffectCall::kReadWholeFile, "SETUP.INI", -1},
    // With rollback armed: the old install log cannot be kept, so AppendFile
    // does not append (condition 0); a kept file that cannot go at the end
    // goes at the next start of Windows.
    {EffectCall::kMoveFileEx, "INSTALL.LOG|INSTALL.LOG.~VU", 0},
    {EffectCall::kCopyFile, "INSTALL.LOG.~VU", 0},
    {EffectCall::kDeleteFile, ".~VU", 0},
    {EffectCall::kReadWholeFile, "VORN\\ZEK.INI", 1},
    {EffectCall::kReadWholeFile, "VORN\\ZEKDLL.INI", 0},
    {EffectCall::kReadWholeFile, "VORN\\ZEKPACK.INI", 0},
    {EffectCall::kReadWholeFile, "VORN\\ZEK", 1},
    {EffectCall::kGetFileAttributes, "EXTRAS.LST", 0},
    {EffectCall::kReadWholeFile, "EXTRAS.LST", 0},
    {EffectCall::kCreateDirectory, "START MENU\\PROGRAMS\\", 0},
    {EffectCall::kAppendToFile, "VORN\\ZEK", 1},
    {EffectCall::kAppendToFile, "", 0},
    {EffectCall::kAddFontResource, "", 0},
    {EffectCall::kRemoveFontResource, "", 0},
    {EffectCall::kCreateProcess, "", 0},
    {EffectCall::kCreateDirectory, "C:\\VORN", 1},
    {EffectCall::kCopyFile, "", 1},
    {EffectCall::kMoveFileEx, "", 1},
    {EffectCall::kWriteNewFile, "", 1},
    {EffectCall::kDeleteFile, "", 1},
    {EffectCall::kRemoveDirectory, "", 1},
    {EffectCall::kLoadLibrary, "", 1},
    {EffectCall::kCallEntryPoint, "", 1},
};

// `failed` is "<call> <subject>", as the machine notes it.
int ExpectedExit(const std::string& failed) {
  for (const ExitRule& rule : kExitRules) {
    std::string name = std::string(EffectCallName(rule.call)) + " ";
    if (failed.compare(0, name.size(), name) == 0 &&
        MemoryEffects::UpperCase(failed).find(rule.subjectPart, name.size()) != std::string::npos) {
      return rule.exitCode;
    }
  }
  return kEither;
}

bool InProduct(const std::string& upperPath) {
  for (const std::string& prefix : kProductPaths) {
    if (upperPath == prefix || upperPath.compare(0, prefix.size() + 1, prefix + "\\") == 0) {
      return true;
    }
  }
  return false;
}

typedef std::map<std::string, std::string> FileMap;

// The paths inside the product (or outside it) where `a` and `b` differ:
// there in one of them only, or, with `contents`, with other contents.
std::vector<std::string> Differences(const FileMap& a, const FileMap& b, bool inProduct,
                                     bool contents) {
  std::set<std::string> found;
  for (const FileMap* one : {&a, &b}) {
    const FileMap& other = one == &a ? b : a;
    for (const auto& file : *one) {
      if (InProduct(file.first) != inProduct) continue;
      auto match = other.find(file.first);
      if (match == other.end() || (contents && match->second != file.second)) {
        found.insert(file.first);
      }
    }
  }
  return std::vector<std::string>(found.begin(), found.end());
}

// A fresh machine with the example folder as drive M:, as setupsim maps
// it, with stand-ins for the program, the COM server and the font
// that the example run adds.
SimulatedMachine ExampleMachine() {
  DryRunOptions options;
  std::string error;
  EXPECT_TRUE(ParseDryRunOptions({"--drive", std::string("M=") + VORN_SOURCE_DIR + "/examples"},
                                 &options, &error)) << error;
  SimulatedMachine machine;
  EXPECT_TRUE(BuildMachine(options, machine, &error)) << error;
  const std::pair<const char*, const char*> standIns[] = {
      {"setup.exe", "MZ"}, {"postinstall.exe", "MZ"}, {"vornshell.dll", "MZ"}, {"vornsans.ttf", "font"}};
  for (const auto& standIn : standIns) machine.WriteFile(std::string("M:\\") + standIn.first, standIn.second);
  return machine;
}

struct RunOutcome {
  int exitCode;
  std::vector<std::string> journal;
};

// One run of setup.exe from its start to its end, as the dry run makes it;
// with `rollback`, as with /ROLLBACK.
RunOutcome RunSetup(SimulatedMachine& machine, bool uninstall, bool rollback = false) {
  DryRunSetup setup;
  setup.programPath = "M:\\setup.exe";
  setup.commandLine = std::string(uninstall ? "/UNINSTALL " : "") + (rollback ? "/ROLLBACK" : "");
  DryRunResult result = RunDryRun(machine, setup);
  RunOutcome outcome{result.exitCode, {}};
  for (const PlanStep& step : result.steps) outcome.journal.push_back(step.kind + ": " + step.detail);
  return outcome;
}

std::string ZekIni(const MemoryEffects& machine) {
  return machine.Exists(kZekIni) ? machine.ReadFile(kZekIni) : kAbsent;
}

bool Journaled(const std::vector<std::string>& journal, const std::string& failure) {
  for (const std::string& line : journal) {
    if (line.find("failure: " + failure + ":") != std::string::npos) return true;
  }
  return false;
}

// One phase's sweep, from the machine before it and after its clean run.
class FaultSweep : public ::testing::Test {
 protected:
  // A clean run, then one run per call until a run makes fewer calls.
  // With `rollback` armed, every run that fails must leave the machine as
  // it found it.
  void Sweep(const SimulatedMachine& before, const char* phase, bool uninstall,
             bool rollback = false) {
    auto start = std::chrono::steady_clock::now();
    before_ = after_ = before;
    uninstall_ = uninstall;
    EXPECT_EQ(RunSetup(after_, uninstall, rollback).exitCode, 0) << phase;
    if (rollback) {
      EXPECT_EQ(KeptFiles(after_), std::vector<std::string>()) << phase;
    }
    int n = 0;
    for (;; ++n) {
      SimulatedMachine machine = before;
      machine.InjectFailure(EffectCall::kAny, "", kErrAccessDenied, 1, n);
      RunOutcome outcome = RunSetup(machine, uninstall, rollback);
      if (machine.DisarmUnfired() > 0) break;  // fewer calls than n + 1
      std::string failed = machine.injectedFailures.at(0);
      SCOPED_TRACE(std::string(phase) + ", call " + std::to_string(n + 1) + ": " + failed);
      CheckRun(machine, outcome, failed);
      if (rollback) CheckRolledBack(machine, outcome);
    }
#ifdef __SANITIZE_ADDRESS__
    // Every block a run leaked is unreachable once it has ended: one check
    // after a phase's runs finds them all, with where they were allocated
    // (after each run it would take 40 s more).
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    RecordProperty("runs", n + 1);
    printf("fault sweep of the %s: %d runs in %.2f s\n", phase, n + 1, seconds.count());
  }

  void CheckRun(const MemoryEffects& machine, const RunOutcome& outcome,
                const std::string& failed) {
    EXPECT_TRUE(Journaled(outcome.journal, failed));
    int expected = ExpectedExit(failed);
    if (expected == kEither || expected == kEitherOrAbandoned || expected == kElsewhere) {
      EXPECT_TRUE(outcome.exitCode == 0 || outcome.exitCode == 1 ||
                  (expected == kEitherOrAbandoned && outcome.exitCode == 2))
          << outcome.exitCode;
    } else {
      EXPECT_EQ(outcome.exitCode, expected);
    }
    std::string zek = ZekIni(machine);
    EXPECT_TRUE(zek == ZekIni(before_) || zek == ZekIni(after_) ||
                (expected == 0 && zek == CleanZekIniWithout(failed)))
        << zek;
    FileMap is = machine.Files();
    // A kept file that could not go at the end goes at the next start.
    for (const std::string& path : machine.deletesAtRestart) {
      if (path.find(".~vu") != std::string::npos) is.erase(MemoryEffects::UpperCase(path));
    }
    EXPECT_EQ(Differences(before_.Files(), is, false, true), std::vector<std::string>())
        << "touched outside the product";
    if (expected == kEither && outcome.exitCode == 0) {
      EXPECT_EQ(Differences(after_.Files(), is, true, false), std::vector<std::string>())
          << "the product's paths differ from a clean run's, yet the run ended with 0";
    }
  }

  // A failed run leaves every file (with its attributes), registry value
  // and font as it found them, but for the install-state record; any run
  // leaves no kept file behind.
  void CheckRolledBack(const MemoryEffects& machine, const RunOutcome& outcome) {
    for (const std::string& kept : KeptFiles(machine)) {
      bool atRestart = false;
      for (const std::string& path : machine.deletesAtRestart) {
        atRestart = atRestart || MemoryEffects::UpperCase(path) == kept;
      }
      EXPECT_TRUE(atRestart) << kept << " is left";
    }
    if (outcome.exitCode == 0) return;
    for (bool inProduct : {true, false}) {
      EXPECT_EQ(Differences(before_.Files(), machine.Files(), inProduct, true),
                std::vector<std::string>()) << "not rolled back";
    }
    EXPECT_EQ(WithoutInstallState(machine.Registry()), WithoutInstallState(before_.Registry()));
    EXPECT_EQ(machine.fontsAdded, before_.fontsAdded);
  }

  static std::vector<std::string> KeptFiles(const MemoryEffects& machine) {
    std::vector<std::string> kept;
    for (const auto& file : machine.Files()) {
      if (file.first.find(".~VU") != std::string::npos) kept.push_back(file.first);
    }
    return kept;
  }

  static std::map<std::string, std::string> WithoutInstallState(
      std::map<std::string, std::string> registry) {
    const std::string record = "HKLM\\SOFTWARE\\KELVARO";
    registry.erase("HKLM\\SOFTWARE");  // the record's keys, made before the script ran
    registry.erase(record);
    for (const char* name : {"INSTALLFAILLED", "SUCCESS", "IE", "NETSCAPE"}) {
      registry.erase(record + "|" + name);
    }
    return registry;
  }

  // zek.ini after a run where the file that `failed` could not read is
  // missing: a silent failure to read a file is its absence.
  std::string CleanZekIniWithout(const std::string& failed) {
    const std::string read = "ReadWholeFile ";
    if (failed.compare(0, read.size(), read) != 0) return kAbsent;
    SimulatedMachine machine = before_;
    machine.InjectFailure(EffectCall::kReadWholeFile, failed.substr(read.size()),
                          kErrFileNotFound, 1);
    RunSetup(machine, uninstall_);
    machine.DisarmUnfired();
    return ZekIni(machine);
  }

  SimulatedMachine before_, after_;
  bool uninstall_ = false;
};

// The machine after clean runs: the example installed, then upgraded.
SimulatedMachine AfterCleanRuns(int installs) {
  SimulatedMachine machine = ExampleMachine();
  for (int i = 0; i < installs; ++i) RunSetup(machine, false);
  return machine;
}

TEST_F(FaultSweep, Install) { Sweep(ExampleMachine(), "install", false); }
TEST_F(FaultSweep, Upgrade) { Sweep(AfterCleanRuns(1), "upgrade", false); }
TEST_F(FaultSweep, Uninstall) { Sweep(AfterCleanRuns(2), "uninstall", true); }
TEST_F(FaultSweep, InstallRolledBack) {
  Sweep(ExampleMachine(), "install with rollback", false, true);
}
TEST_F(FaultSweep, UpgradeRolledBack) {
  Sweep(AfterCleanRuns(1), "upgrade with rollback", false, true);
}

// The sweep's own instrument: the N-th call of any kind fails, and an
// injection that never fires fails the test that armed it.
TEST(FailureInjection, TheNthCallFailsAndAnUnfiredInjectionFailsItsTest) {
  MemoryEffects machine;
  machine.InjectFailure(EffectCall::kAny, "", kErrAccessDenied, 1, 2);
  char path[kPathMax];
  EXPECT_EQ(machine.GetTempPath(path), kOk);
  EXPECT_EQ(machine.CreateDirectory("C:\\a"), kOk);
  EXPECT_EQ(machine.RegOpenKeyEx(kHkeyCurrentUser, "Software", false), kErrAccessDenied);
  EXPECT_EQ(machine.CreateDirectory("C:\\b"), kOk);
  EXPECT_EQ(machine.injectedFailures,
            std::vector<std::string>{"RegOpenKeyEx HKCU\\Software"});
  EXPECT_NONFATAL_FAILURE(
      {
        MemoryEffects unfired;
        unfired.InjectFailure(EffectCall::kCopyFile, "x", kErrDiskFull, 1);
      },
      "an injected failure never fired: CopyFile on \"x\"");
  machine.InjectFailure(EffectCall::kDeleteFile, "", kErrAccessDenied);
  EXPECT_EQ(machine.DisarmUnfired(), 1);
}

}  // namespace

// The probes of the machine, end to end: a port held by this test process
// makes the runtime look running. (The language choice is tested by
// language_choice_test.sh: a Wine process takes its locale from the Linux
// environment it starts in, which a Windows parent cannot change.)
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

const std::vector<E2eCase> kCases = {
    {"TcpIpDllsAndFreeSpace", {},
     "[Setup]\n" + MarkIf("DetectTCPIP", "tcp") +
         MarkIf("CheckForDLL \"kernel32.dll\"", "kernel32") +
         MarkIf("CheckForDLL \"vorn-missing.dll\"", "missing") +
         "set NEEDEDSPACE \"999999999999\"\n" + MarkIf("IsSpace", "space"), "", {}, 0,
     "tcp|kernel32|space"},
    {"SystemVariablesReachTheScript", {},
     "[Setup]\nGetSystemVars\nAppendFile SRCDIR \"out.txt\"\nAppendFile DSTDIR \"out.txt\"\n",
     "E:\\\\Target\\\\", {}, 0, "$DIR|E:\\Target"},
};

INSTANTIATE_TEST_SUITE_P(Probes, Cases, ::testing::ValuesIn(kCases), CaseName);

using ProbeRun = SetupRun;

TEST_F(ProbeRun, RuntimeCountsAsRunningWhileItsPortIsHeld) {
  WriteScript("[Setup]\nIsVornRunning\nIf\n" + Mark("running") + "Else\n" + Mark("not running") +
              "Endif\n");
  {
    PortHolder holder(1200);
    ASSERT_TRUE(holder.Bound());
    EXPECT_EQ(RunToEnd(), 0);
  }
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "running|not running");
  EXPECT_TRUE(PortHolder(1200).Bound());  // setup.exe left the port free
}

}  // namespace

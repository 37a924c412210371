// The probes of the machine, end to end: a port held by this test process
// makes the runtime look running. (The language choice is tested by
// language_choice_test.sh: a Wine process takes its locale from the Linux
// environment it starts in, which a Windows parent cannot change.)
#include <winsock.h>

#include "tests/e2e/setup_run.h"

using robot::MessageBoxInfo;

using ProbeRun = SetupRun;

static std::string ProbeScript() {
  return "[Setup]\nIsVornRunning\nIf\n" + Mark("running") + "Else\n" +
         Mark("not running") + "Endif\n";
}

TEST_F(ProbeRun, RuntimeCountsAsRunningWhileItsPortIsHeld) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  SOCKET holder = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(1200);
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(holder, 1), 0);
  WriteScript(ProbeScript());
  EXPECT_EQ(RunToEnd(), 0);
  closesocket(holder);
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "running|not running");
  // setup.exe left the port free.
  SOCKET again = socket(AF_INET, SOCK_STREAM, 0);
  EXPECT_EQ(bind(again, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  closesocket(again);
  WSACleanup();
}

TEST_F(ProbeRun, TcpIpDllsAndFreeSpace) {
  WriteScript("[Setup]\nDetectTCPIP\nIf\n" + Mark("tcp") + "Endif\n"
              "CheckForDLL \"kernel32.dll\"\nIf\n" + Mark("kernel32") + "Endif\n"
              "CheckForDLL \"vorn-missing.dll\"\nIf\n" + Mark("missing") + "Endif\n"
              "set NEEDEDSPACE \"999999999999\"\nIsSpace\nIf\n" + Mark("space") + "Endif\n");
  EXPECT_EQ(RunToEnd(), 0);
  EXPECT_EQ(Trace(), "tcp|kernel32|space");
}

TEST_F(ProbeRun, SystemVariablesReachTheScript) {
  WriteScript("[Setup]\nGetSystemVars\nAppendFile SRCDIR \"out.txt\"\n"
              "AppendFile DSTDIR \"out.txt\"\n");
  EXPECT_EQ(RunToEnd("E:\\\\Target\\\\"), 0);
  EXPECT_EQ(Trace(), Dir() + "|E:\\Target");
}

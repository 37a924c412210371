// Winsock and loader probes against the real API.
#include "actions/probes.h"

#include <gtest/gtest.h>
#include <winsock.h>
#include <windows.h>

namespace {

// Holds TCP port `port` on all addresses while it lives.
class PortHolder {
 public:
  explicit PortHolder(unsigned short port) {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    bound_ = bind(socket_, reinterpret_cast<sockaddr*>(&address),
                  sizeof address) == 0 &&
             listen(socket_, 1) == 0;
  }
  ~PortHolder() {
    closesocket(socket_);
    WSACleanup();
  }
  bool Bound() const { return bound_; }

 private:
  SOCKET socket_;
  bool bound_;
};

TEST(Probes, VornPortTakenOrFree) {
  EXPECT_EQ(ProbeVornPort(kVornPort), 0);
  {
    PortHolder holder(kVornPort);  // the probe left the port free
    ASSERT_TRUE(holder.Bound());
    EXPECT_EQ(ProbeVornPort(kVornPort), 1);
  }
  EXPECT_EQ(ProbeVornPort(kVornPort), 0);
}

TEST(Probes, TcpIpIsUsable) { EXPECT_EQ(DetectTcpIp(), 1); }

TEST(Probes, LibrariesLoadAndAreFreedAgain) {
  EXPECT_EQ(CanLoadLibrary("kernel32.dll"), 1);
  EXPECT_EQ(CanLoadLibrary("no-such-library-vorn.dll"), 0);
  EXPECT_EQ(CanLoadLibrary(nullptr), 0);
  if (GetModuleHandleA("msi.dll") == nullptr) {
    EXPECT_EQ(CanLoadLibrary("msi.dll"), 1);
    EXPECT_EQ(GetModuleHandleA("msi.dll"), nullptr);
  }
}

}  // namespace

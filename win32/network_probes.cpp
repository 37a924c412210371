// The network probes through Winsock 1.1. Every Winsock session is cleaned
// up and every socket closed on all paths, so a probe leaves no port held
// behind it.
#include <winsock.h>
#include <windows.h>

#include "win32/win32_effects.h"

// One Winsock 1.1 session: started in the constructor, cleaned up in the
// destructor when it started. Usable only when exactly 1.1 was granted.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    usable_ = started_ && LOBYTE(data.wVersion) == 1 &&
              HIBYTE(data.wVersion) == 1;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  bool Usable() const { return usable_; }

 private:
  bool started_;
  bool usable_;
};

// Owns one socket; closes it unless the caller closed it already.
class SocketHandle {
 public:
  explicit SocketHandle(SOCKET s) : socket_(s) {}
  ~SocketHandle() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  SOCKET Get() const { return socket_; }
  bool Valid() const { return socket_ != INVALID_SOCKET; }
  int Close() {
    int result = closesocket(socket_);
    socket_ = INVALID_SOCKET;
    return result;
  }

 private:
  SOCKET socket_;
};

Status Win32Effects::DetectTcpIp() {
  WinsockSession session;
  if (!session.Usable()) return Logged("WSAStartup", "1.1", WSAVERNOTSUPPORTED);
  static const char* const kProtocols[] = {"TCP", "IP", "UDP"};
  for (const char* name : kProtocols) {
    if (!getprotobyname(name)) {
      return Logged("getprotobyname", name, WSAGetLastError());
    }
  }
  SocketHandle probe(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  return probe.Valid() ? kOk : Logged("socket", "TCP", WSAGetLastError());
}

// Any failed step counts as a taken port; it is not logged, since a taken
// port is what the probe looks for.
Status Win32Effects::ListenOnTcpPort(unsigned short port) {
  WinsockSession session;
  if (!session.Usable()) return WSAVERNOTSUPPORTED;
  SocketHandle listener(socket(AF_INET, SOCK_STREAM, 0));
  if (!listener.Valid()) return WSAGetLastError();
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(listener.Get(), reinterpret_cast<sockaddr*>(&address),
           sizeof address) != 0 ||
      listen(listener.Get(), 3) != 0 || listener.Close() != 0) {
    return kErrAlreadyExists;
  }
  return kOk;
}

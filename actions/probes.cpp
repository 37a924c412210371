// Machine probes. Every Winsock session is cleaned up and every socket
// closed on all paths, so a probe leaves no port held behind it.
#include "actions/probes.h"

#include <winsock.h>
#include <windows.h>

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

int DetectTcpIp() {
  WinsockSession session;
  if (!session.Usable()) return 0;
  static const char* const kProtocols[] = {"TCP", "IP", "UDP"};
  for (const char* name : kProtocols) {
    if (!getprotobyname(name)) return 0;
  }
  SocketHandle probe(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  return probe.Valid() ? 1 : 0;
}

int ProbeVornPort(unsigned short port) {
  WinsockSession session;
  if (!session.Usable()) return 1;
  SocketHandle listener(socket(AF_INET, SOCK_STREAM, 0));
  if (!listener.Valid()) return 1;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(listener.Get(), reinterpret_cast<sockaddr*>(&address),
           sizeof address) != 0) {
    return 1;
  }
  if (listen(listener.Get(), 3) != 0) return 1;
  if (listener.Close() != 0) return 1;
  return 0;
}

// Windows' own error boxes for libraries that are broken or lack their
// imports are kept off: the answer is only 0.
int CanLoadLibrary(const char* name) {
  if (!name) return 0;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadLibraryA(name);
  SetErrorMode(oldMode);
  if (!library) return 0;
  FreeLibrary(library);
  return 1;
}

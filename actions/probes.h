// Probes of the machine through Winsock 1.1 and the loader: is TCP/IP
// usable, is the runtime's TCP port taken, can a DLL be loaded.
#pragma once

// Port on which a running Vorn runtime listens.
const unsigned short kVornPort = 1200;

// 1 when Winsock 1.1 is there, knows TCP, IP and UDP, and gives a TCP
// stream socket; else 0.
int DetectTcpIp();
// 0 when a listening TCP socket could be set up on `port` on all local
// addresses (and was closed again), 1 when any step failed.
int ProbeVornPort(unsigned short port);
// 1 when the library loads (it is freed again at once), else 0.
int CanLoadLibrary(const char* name);

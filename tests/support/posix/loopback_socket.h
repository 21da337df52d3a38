// Loopback TCP for test servers, POSIX side (the Windows side is in win32/).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>

namespace trevalon::testsupport::sock {

using Socket = int;
inline constexpr Socket kNone = -1;

inline void Startup() {}
inline Socket Open() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }
inline void Close(Socket s) { ::close(s); }
// A peer that went away is an error here, not a SIGPIPE.
inline long Send(Socket s, const char* data, std::size_t n) { return ::send(s, data, n, MSG_NOSIGNAL); }
inline long Receive(Socket s, char* data, std::size_t n) { return ::recv(s, data, n, 0); }

}  // namespace trevalon::testsupport::sock

// Loopback TCP for test servers, Windows side (Winsock).
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstddef>
#include <mutex>

namespace trevalon::testsupport::sock {

using Socket = SOCKET;
inline const Socket kNone = INVALID_SOCKET;

inline void Startup() {
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    });
}
inline Socket Open() {
    Startup();
    return ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
}
inline void Close(Socket s) { ::closesocket(s); }
inline long Send(Socket s, const char* data, std::size_t n) { return ::send(s, data, static_cast<int>(n), 0); }
inline long Receive(Socket s, char* data, std::size_t n) { return ::recv(s, data, static_cast<int>(n), 0); }

}  // namespace trevalon::testsupport::sock

// An in-process HTTP server on loopback for answers the maker's site never
// gives, the same on every platform:
//
//   trevalon::testsupport::OddServer odd;
//   odd.Answer("/500", 500, "body");        // any status, any body
//   odd.Redirect("/old", "/new", 301);      // a Location answer
//   odd.Endless("/endless");                // chunks until the client gives up
//   odd.Url("/500")  -> "http://127.0.0.1:PORT/500"
//
// One connection at a time, each closed after its answer.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "loopback_socket.h"

namespace trevalon::testsupport {

class OddServer {
public:
    OddServer() {
        listener_ = sock::Open();
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (listener_ == sock::kNone || bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~OddServer() {
        stop_ = true;
        thread_.join();
        sock::Close(listener_);
    }
    OddServer(const OddServer&) = delete;
    OddServer& operator=(const OddServer&) = delete;

    void Answer(const std::string& path, int status, const std::string& body = "") {
        std::string head = "HTTP/1.1 " + std::to_string(status) + " Odd\r\n";
        // These answers carry no body by definition.
        if (status != 204 && status != 304) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
        Add(path, head + "Connection: close\r\n\r\n" + (status == 204 || status == 304 ? "" : body));
    }
    void Redirect(const std::string& path, const std::string& location, int status = 302) {
        Add(path, "HTTP/1.1 " + std::to_string(status) + " Moved\r\nLocation: " + location +
                      "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
    void Endless(const std::string& path) { Add(path, {}); }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    void Add(const std::string& path, std::string answer) {
        std::lock_guard lock(mutex_);
        answers_[path] = std::move(answer);
    }

    void Serve() {
        while (!stop_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, 50 * 1000};
            if (select(static_cast<int>(listener_) + 1, &ready, nullptr, nullptr, &wait) != 1) continue;
            const sock::Socket client = accept(listener_, nullptr, nullptr);
            if (client == sock::kNone) continue;
            Handle(client);
            sock::Close(client);
        }
    }

    void Handle(sock::Socket client) {
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const long n = sock::Receive(client, buf, sizeof buf);
            if (n <= 0) return;
            request.append(buf, static_cast<std::size_t>(n));
        }
        const auto start = request.find(' ') + 1;
        std::string path = request.substr(start, request.find(' ', start) - start);
        path = path.substr(0, path.find('?'));
        std::string answer;
        {
            std::lock_guard lock(mutex_);
            const auto it = answers_.find(path);
            answer = it == answers_.end() ? "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"
                                          : it->second;
        }
        if (!answer.empty()) {
            SendAll(client, answer);
            return;
        }
        // No length up front: the client must stop it by its own limit.
        if (!SendAll(client, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n")) return;
        const std::string chunk = "10000\r\n" + std::string(0x10000, 'Y') + "\r\n";
        while (!stop_) {
            // A client that stops reading without closing must not hold the server's end.
            fd_set writable;
            FD_ZERO(&writable);
            FD_SET(client, &writable);
            timeval wait{0, 50 * 1000};
            const int ready = select(static_cast<int>(client) + 1, nullptr, &writable, nullptr, &wait);
            if (ready < 0 || (ready == 1 && !SendAll(client, chunk))) return;
        }
    }

    static bool SendAll(sock::Socket client, const std::string& data) {
        std::size_t done = 0;
        while (done < data.size()) {
            const long n = sock::Send(client, data.data() + done, data.size() - done);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    sock::Socket listener_ = sock::kNone;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::thread thread_;
};

}  // namespace trevalon::testsupport

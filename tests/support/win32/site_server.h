// Windows side of the site fixtures (see ../site_server.h for their use).
// The test runs under Wine, which starts Linux programs as it does Windows
// ones: bash runs the Linux trevalon-site, and a loopback connection to the
// test is its lifeline, so the site ends with the test however the test ends.
// Wine sees the Linux file system as drive Z:; the site's folder lies there.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "loopback_socket.h"
#include "site_launch.h"

namespace trevalon::testsupport {

namespace detail {

// A Linux path as Wine's Windows programs see it.
inline std::filesystem::path OnZ(const std::string& linuxPath) {
    std::string p = "Z:" + linuxPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

inline std::string MakeTempDir() {
    static std::atomic<int> count{0};
    const std::string dir = "/tmp/trevalon-site-w" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount64()) + "-" + std::to_string(++count);
    if (!std::filesystem::create_directory(OnZ(dir))) throw std::runtime_error("cannot make " + dir);
    return dir;
}

inline void WriteFile(const std::string& linuxPath, const std::string& text) {
    std::ofstream out(OnZ(linuxPath), std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + linuxPath);
}

// Starts a Linux program; Wine cannot wait for one, so callers watch what it leaves.
inline void StartLinux(const std::vector<std::string>& args) {
    std::wstring line;
    for (const std::string& a : args) {
        if (a.find('"') != std::string::npos) throw std::runtime_error("a quote in " + a);
        line += L"\"" + std::wstring(a.begin(), a.end()) + L"\" ";
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw std::runtime_error("cannot start " + args[0]);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

inline sock::Socket ConnectLoopback(int port) {
    const sock::Socket s = sock::Open();
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        sock::Close(s);
        return sock::kNone;
    }
    return s;
}

inline bool Readable(sock::Socket s, std::chrono::milliseconds patience) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    timeval wait{static_cast<long>(patience.count() / 1000), static_cast<long>(patience.count() % 1000 * 1000)};
    return select(0, &ready, nullptr, nullptr, &wait) == 1;
}

// True once the server answers an HTTP request at all.
inline bool Answers(int port, std::chrono::milliseconds patience) {
    const sock::Socket s = ConnectLoopback(port);
    if (s == sock::kNone) return false;
    const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    char buf[16];
    const bool ok = sock::Send(s, request.data(), request.size()) == static_cast<long>(request.size()) &&
                    Readable(s, patience) && sock::Receive(s, buf, sizeof buf) > 0;
    sock::Close(s);
    return ok;
}

inline std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

inline std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, '|');) fields.push_back(f);
    if (!line.empty() && line.back() == '|') fields.emplace_back();
    return fields;
}

}  // namespace detail

// A loopback port that nothing listens on: connections are refused.
inline int ClosedLoopbackPort() {
    const sock::Socket s = sock::Open();
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    int port = 0;
    if (s != sock::kNone && bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    if (s != sock::kNone) sock::Close(s);
    if (port == 0) throw std::runtime_error("no free loopback port");
    return port;
}

class SiteServer {
public:
    explicit SiteServer(SiteOptions options = {}) : options_(std::move(options)), dir_(detail::MakeTempDir()) {
        if (!std::filesystem::exists(detail::OnZ(TREVALON_SITE_EXE)))
            throw std::runtime_error(std::string("no Linux trevalon-site at ") + TREVALON_SITE_EXE +
                                     " (build the default preset first)");
        if (options_.serveVersion) SetVersion(options_.version);
        if (options_.serveNews) SetNews(options_.news);
        detail::WriteFile(dir_ + "/run-site.sh",
                          "exec 3<>/dev/tcp/127.0.0.1/$1 || exit 1\nshift\n"
                          "\"$@\" >&3 </dev/null &\nsite=$!\n"
                          "read -r signal <&3\nkill -\"${signal:-TERM}\" $site\nwait $site\n");
        try {
            Start();
        } catch (...) {
            std::error_code ignored;
            std::filesystem::remove_all(detail::OnZ(dir_), ignored);
            throw;
        }
    }
    ~SiteServer() {
        Stop();
        std::error_code ignored;
        std::filesystem::remove_all(detail::OnZ(dir_), ignored);
    }
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string ReportUrl() const { return BaseUrl() + "/products/errorreport.asp"; }

    SiteFiles Files() const { return {dir_, options_.dbDir}; }
    void SetVersion(const std::string& text) const { detail::WriteFile(Files().Version(), text); }
    void SetNews(const std::string& text) const { detail::WriteFile(Files().News(), text); }

    // Ends the server now (a closed port from here on).
    void Stop() { End(""); }
    // A crash: no chance to finish anything.
    void Kill() { End("KILL\n"); }
    void Restart() {
        Stop();
        Start();
    }

    std::vector<StoredReport> Reports() const {
        const std::string out = dir_ + "/reports.out";
        std::error_code ignored;
        std::filesystem::remove(detail::OnZ(out), ignored);
        detail::WriteFile(
            dir_ + "/reports.sh",
            "{ sqlite3 -batch -noheader -readonly -cmd '.timeout 5000' \"$1\" \""
            "SELECT 'r', id, hex(query), application IS NULL, hex(application), errorlocation IS NULL, "
            "hex(errorlocation), errornumber IS NULL, hex(errornumber), errordescription IS NULL, "
            "hex(errordescription) FROM reports ORDER BY id; "
            "SELECT 'v', report_id, hex(key), hex(value) FROM report_values ORDER BY report_id, position;\"\n"
            "echo \"end|$?\"; } > \"$2.part\"\nmv \"$2.part\" \"$2\"\n");
        detail::StartLinux({"/bin/bash", dir_ + "/reports.sh", Files().Db(), out});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(detail::OnZ(out))) {
            if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("sqlite3 did not answer");
            Sleep(20);
        }
        std::vector<StoredReport> reports;
        std::vector<std::string> ids;
        std::ifstream in(detail::OnZ(out));
        std::string status;
        for (std::string line; std::getline(in, line);) {
            const auto f = detail::Split(line);
            auto optional = [&](std::size_t i) -> std::optional<std::string> {
                if (f[i] == "1") return std::nullopt;
                return detail::FromHex(f[i + 1]);
            };
            if (f.size() == 11 && f[0] == "r") {
                ids.push_back(f[1]);
                reports.push_back({detail::FromHex(f[2]), optional(3), optional(5), optional(7), optional(9), {}});
            } else if (f.size() == 4 && f[0] == "v") {
                for (std::size_t i = 0; i < ids.size(); ++i)
                    if (ids[i] == f[1]) reports[i].values.emplace_back(detail::FromHex(f[2]), detail::FromHex(f[3]));
            } else if (f.size() == 2 && f[0] == "end") {
                status = f[1];
            }
        }
        if (status != "0") throw std::runtime_error("cannot read the site's database");
        return reports;
    }

    // How many requests for `path` the server has answered (any status).
    int Hits(const std::string& path) const {
        std::ifstream log(detail::OnZ(Files().AccessLog()));
        return HitsIn(log, path);
    }

private:
    void Start() {
        const sock::Socket listener = sock::Open();
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int len = sizeof addr;
        if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 1) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            sock::Close(listener);
            throw std::runtime_error("cannot listen on loopback");
        }
        std::vector<std::string> args = {"/bin/bash", dir_ + "/run-site.sh", std::to_string(ntohs(addr.sin_port))};
        for (std::string& arg : SiteCommandLine(TREVALON_SITE_EXE, Files(), port_, options_))
            args.push_back(std::move(arg));
        detail::StartLinux(args);
        const bool called = detail::Readable(listener, std::chrono::seconds(10));
        lifeline_ = called ? accept(listener, nullptr, nullptr) : sock::kNone;
        sock::Close(listener);
        if (lifeline_ == sock::kNone) throw std::runtime_error("trevalon-site did not start");

        // The first line names the port it bound.
        std::string line;
        char c;
        while (line.find('\n') == std::string::npos && detail::Readable(lifeline_, std::chrono::seconds(10)) &&
               sock::Receive(lifeline_, &c, 1) == 1)
            line += c;
        const int bound = PortOfFirstLine(line);
        if (bound == 0) {
            Stop();
            throw std::runtime_error("trevalon-site did not start: " + line);
        }
        port_ = bound;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!detail::Answers(port_, std::chrono::milliseconds(500))) {
            if (std::chrono::steady_clock::now() >= deadline) {
                Stop();
                throw std::runtime_error("trevalon-site does not answer");
            }
        }
    }

    // The lifeline's end tells bash which signal to send; then the port closes.
    void End(const std::string& signal) {
        if (lifeline_ == sock::kNone) return;
        if (!signal.empty()) sock::Send(lifeline_, signal.data(), signal.size());
        sock::Close(lifeline_);
        lifeline_ = sock::kNone;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (sock::Socket s; (s = detail::ConnectLoopback(port_)) != sock::kNone;) {
            sock::Close(s);
            if (std::chrono::steady_clock::now() >= deadline) break;
            Sleep(10);
        }
    }

    SiteOptions options_;
    std::string dir_;  // a Linux path
    sock::Socket lifeline_ = sock::kNone;
    int port_ = 0;  // 0 until the first start picks one
};

// A loopback port whose connections are accepted by the kernel but never
// answered: a fetch there waits until its own time-out.
class SilentServer {
public:
    SilentServer() {
        s_ = sock::Open();
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int len = sizeof addr;
        if (s_ == sock::kNone || bind(s_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            listen(s_, 16) != 0 || getsockname(s_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(addr.sin_port);
    }
    ~SilentServer() { sock::Close(s_); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    sock::Socket s_ = sock::kNone;
    int port_ = 0;
};

}  // namespace trevalon::testsupport

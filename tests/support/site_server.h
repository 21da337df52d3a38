// Test fixtures for everything that talks to the maker's web site:
//
//   trevalon::testsupport::SiteServer site;                    // version "1.5.5"
//   trevalon::testsupport::SiteServer site({.version = "1.5.6", .news = "..."});
//   site.BaseUrl()   -> "http://127.0.0.1:PORT"  (hand it to the component)
//   site.Reports()   -> the error reports in its database, oldest first
//   site.Hits("/products/Trevalon/whatsnew.html") -> how often that path was asked for
//                    (from the server's access log; the database holds reports only)
//   site.Kill(); site.Restart();  // SIGKILL, then the same port and database again
//
//   trevalon::testsupport::PublishedSite site({.version = "1.5.6"});  // site/run-local:
//   site.BaseUrl(), site.Reports(), site.Hits(path)   nginx in front, its access log
//
//   trevalon::testsupport::SilentServer silent;                // accepts, never answers
//   silent.BaseUrl() -> a fetch there runs into its time-out
//
// Each SiteServer runs the built trevalon-site on a free loopback port, with
// its files and database in a fresh temporary folder that goes with it. The
// server ends with the object, or with the thread that made it.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "site_launch.h"

namespace trevalon::testsupport {

namespace detail {

inline std::filesystem::path MakeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trevalon-site-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

inline int ConnectLoopback(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// True once the server answers an HTTP request at all.
// What the server sends on fd until it closes, goes quiet for 5 s, or
// `complete` says the answer is whole.
inline std::string ReceiveAnswer(int fd, bool (*complete)(const std::string&) = nullptr) {
    std::string answer;
    char buf[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 5000) != 1) break;
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        answer.append(buf, static_cast<std::size_t>(n));
        if (complete != nullptr && complete(answer)) break;
    }
    return answer;
}

inline bool Answers(int port, std::chrono::milliseconds patience) {
    const int fd = ConnectLoopback(port);
    if (fd < 0) return false;
    const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    bool ok = send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
              static_cast<ssize_t>(request.size());
    if (ok) {
        pollfd p{fd, POLLIN, 0};
        char buf[16];
        ok = poll(&p, 1, static_cast<int>(patience.count())) == 1 && recv(fd, buf, sizeof buf, 0) > 0;
    }
    close(fd);
    return ok;
}

inline std::vector<StoredReport> ReadReports(const std::filesystem::path& dbPath) {
    std::vector<StoredReport> reports;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open the site's database");
    }
    sqlite3_busy_timeout(db, 5000);
    auto text = [](sqlite3_stmt* s, int col) -> std::optional<std::string> {
        if (sqlite3_column_type(s, col) == SQLITE_NULL) return std::nullopt;
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, col));
        return std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(s, col)));
    };
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT id, query, application, errorlocation, errornumber, errordescription "
                       "FROM reports ORDER BY id",
                       -1, &s, nullptr);
    std::vector<sqlite3_int64> ids;
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        ids.push_back(sqlite3_column_int64(s, 0));
        StoredReport r;
        r.query = text(s, 1).value_or("");
        r.application = text(s, 2);
        r.errorlocation = text(s, 3);
        r.errornumber = text(s, 4);
        r.errordescription = text(s, 5);
        reports.push_back(std::move(r));
    }
    sqlite3_finalize(s);
    sqlite3_prepare_v2(db, "SELECT key, value FROM report_values WHERE report_id = ? ORDER BY position",
                       -1, &s, nullptr);
    for (std::size_t i = 0; s && i < ids.size(); ++i) {
        sqlite3_reset(s);
        sqlite3_bind_int64(s, 1, ids[i]);
        while (sqlite3_step(s) == SQLITE_ROW)
            reports[i].values.emplace_back(text(s, 0).value_or(""), text(s, 1).value_or(""));
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return reports;
}

}  // namespace detail

// A loopback port that nothing listens on: connections are refused.
// Starts args[0] with its standard output on a pipe; returns the pipe's read
// end. The child dies with the test, even one killed by a sanitizer: an
// orphan would keep the test's output pipe open and hold ctest up.
inline int SpawnWithOutputPipe(std::vector<std::string> args, pid_t& pid) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        throw std::runtime_error("cannot start " + args[0]);
    }
    return out[0];
}

// What the pipe gives until `done` says enough, the pipe ends or time runs
// out; the pipe is closed either way.
template <typename Done>
std::string ReadPipeUntil(int fd, Done done, std::chrono::seconds patience) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done(text) && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[256];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return text;
}

inline int ClosedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    if (fd >= 0) close(fd);  // bound, never listened, now free again
    if (port == 0) throw std::runtime_error("no free loopback port");
    return port;
}

class SiteServer {
public:
    explicit SiteServer(SiteOptions options = {}) : options_(std::move(options)), dir_(detail::MakeTempDir()) {
        // Test traffic stays on loopback: no proxy from the environment may carry it.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                 "ALL_PROXY"})
            unsetenv(name);
        if (options_.serveVersion) SetVersion(options_.version);
        if (options_.serveNews) SetNews(options_.news);
        try {
            Start();
        } catch (...) {
            std::error_code ignored;
            std::filesystem::remove_all(dir_, ignored);
            throw;
        }
    }

    ~SiteServer() {
        Stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }  // to stop (SIGSTOP) the server for a while
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string ReportUrl() const { return BaseUrl() + "/products/errorreport.asp"; }
    SiteFiles Files() const { return {dir_.string(), options_.dbDir}; }
    std::filesystem::path DbPath() const { return Files().Db(); }
    std::filesystem::path AccessLog() const { return Files().AccessLog(); }
    std::filesystem::path VersionFile() const { return Files().Version(); }
    std::filesystem::path NewsFile() const { return Files().News(); }

    // The pages are read at each request: changing them needs no restart.
    void SetVersion(const std::string& text) const { detail::WriteFile(VersionFile(), text); }
    void SetNews(const std::string& text) const { detail::WriteFile(NewsFile(), text); }

    // Ends the server now (a closed port from here on).
    void Stop() { End(SIGTERM); }
    // A crash: no chance to finish anything.
    void Kill() { End(SIGKILL); }
    // The same port, files and database again.
    void Restart() {
        Stop();
        Start();
    }

    void End(int signal) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    std::vector<StoredReport> Reports() const { return detail::ReadReports(DbPath()); }

    // How many requests for `path` the server has answered (any status).
    int Hits(const std::string& path) const {
        std::ifstream log(AccessLog());
        return HitsIn(log, path);
    }

private:
    void Start() {
        // The first line names the port it bound.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        const std::string line = ReadPipeUntil(
            SpawnWithOutputPipe(SiteCommandLine(TREVALON_SITE_EXE, Files(), port_, options_), pid_),
            [](const std::string& text) { return text.find('\n') != std::string::npos; },
            std::chrono::seconds(10));
        const int bound = PortOfFirstLine(line);
        if (bound == 0) {
            Stop();
            throw std::runtime_error("trevalon-site did not start: " + line);
        }
        port_ = bound;
        while (!detail::Answers(port_, std::chrono::milliseconds(500))) {
            if (std::chrono::steady_clock::now() >= deadline) {
                Stop();
                throw std::runtime_error("trevalon-site does not answer");
            }
        }
    }

    SiteOptions options_;
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    int port_ = 0;  // 0 until the first start picks one
};

// The site as published, through site/run-local: nginx serves the pages from
// files and passes reports to trevalon-site. Skips (Available() false) when
// nginx is not installed.
struct PublishedOptions {
    std::string version = "1.5.5";  // body of the version page
};

class PublishedSite {
public:
    explicit PublishedSite(PublishedOptions options = {}) {
        if (access("/usr/sbin/nginx", X_OK) != 0) return;
        port_ = ClosedLoopbackPort();
        std::vector<std::string> args = {TREVALON_RUN_LOCAL, "--port", std::to_string(port_), "--version",
                                         options.version, "--site-exe", TREVALON_SITE_EXE};
        const std::string text = ReadPipeUntil(
            SpawnWithOutputPipe(std::move(args), pid_),
            [](const std::string& seen) {
                return seen.find("listening on") != std::string::npos && seen.back() == '\n';
            },
            std::chrono::seconds(20));
        const auto folder = text.find("folder ");
        if (text.find("listening on 127.0.0.1:" + std::to_string(port_)) == std::string::npos ||
            folder != 0) {
            Stop();
            throw std::runtime_error("run-local did not start: " + text);
        }
        dir_ = text.substr(7, text.find('\n') - 7);
    }
    ~PublishedSite() { Stop(); }
    PublishedSite(const PublishedSite&) = delete;
    PublishedSite& operator=(const PublishedSite&) = delete;

    bool Available() const { return port_ != 0; }
    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<StoredReport> Reports() const { return detail::ReadReports(dir_ / "reports.db"); }
    // Requests for `path` in nginx's access log, each "STATUS", in order.
    std::vector<std::string> Hits(const std::string& path) const {
        std::ifstream log(dir_ / "logs" / "access.log");
        std::vector<std::string> statuses;
        const std::string request = "\"GET " + path;
        for (std::string line; std::getline(log, line);) {
            const auto at = line.find(request);
            if (at == std::string::npos) continue;
            const char next = line[at + request.size()];
            if (next != ' ' && next != '?') continue;
            const auto closing = line.find("\" ", at + 1);
            if (closing != std::string::npos) statuses.push_back(line.substr(closing + 2, 3));
        }
        return statuses;
    }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    int port_ = 0;
    pid_t pid_ = -1;
    std::filesystem::path dir_;
};

// A loopback port whose connections are accepted by the kernel but never
// answered: a fetch there waits until its own time-out.
class SilentServer {
public:
    SilentServer() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            listen(fd_, 16) != 0 || getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(addr.sin_port);
    }
    ~SilentServer() { close(fd_); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

// The "id" values of a site's stored reports, each with how often it is there.
template <typename Site>
std::map<std::string, int> StoredIds(const Site& site) {
    std::map<std::string, int> ids;
    for (const auto& report : site.Reports())
        for (const auto& [key, value] : report.values)
            if (key == "id") ++ids[value];
    return ids;
}

}  // namespace trevalon::testsupport

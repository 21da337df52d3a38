#include "gated_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace trevalon::site {

namespace {

using Clock = std::chrono::steady_clock;

// The accept loop hands each connection to the watcher at once.
class InlineQueue final : public httplib::TaskQueue {
public:
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override {}
};

bool Address(const sockaddr_storage& addr, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (addr.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(addr);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(addr);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    } else {
        return false;
    }
    ip = text;
    return true;
}

// One request's head, already received whole, then the answer to the socket.
// Nothing past the head is read: a request body ends in an error (these
// routes take none), and the connection is closed after it.
class HeadStream final : public httplib::Stream {
public:
    HeadStream(int fd, std::string head, int writeTimeoutMs)
        : fd_(fd), head_(std::move(head)), writeTimeoutMs_(writeTimeoutMs) {}

    bool is_readable() const override { return at_ < head_.size(); }
    bool is_writable() const override {
        pollfd p{fd_, POLLOUT, 0};
        return poll(&p, 1, writeTimeoutMs_) == 1 && (p.revents & POLLOUT) != 0;
    }
    ssize_t read(char* ptr, size_t size) override {
        const std::size_t n = std::min(size, head_.size() - at_);
        std::memcpy(ptr, head_.data() + at_, n);
        at_ += n;
        return static_cast<ssize_t>(n);
    }
    using httplib::Stream::write;
    ssize_t write(const char* ptr, size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = send(fd_, ptr + done, size - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return -1;
            } else if (!is_writable()) {
                return -1;  // a client that reads nothing gets no thread for long
            }
        }
        return static_cast<ssize_t>(done);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (getpeername(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) Address(addr, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) Address(addr, ip, port);
    }
    socket_t socket() const override { return fd_; }

private:
    int fd_;
    std::string head_;
    std::size_t at_ = 0;
    int writeTimeoutMs_;
};

bool HasBody(std::string head) {
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return head.find("\r\ncontent-length:") != std::string::npos ||
           head.find("\r\ntransfer-encoding:") != std::string::npos;
}

}  // namespace

GatedServer::GatedServer(GateLimits limits) : limits_(limits), peek_(limits.maxHead) {
    // Every watched connection is a descriptor: keep room for the request
    // threads' files and the database.
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const std::size_t reserve = limits_.threads + 64;
    maxWaiting_ = files.rlim_cur > 2 * reserve ? files.rlim_cur - reserve : files.rlim_cur / 2;
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0) throw std::runtime_error("epoll_create1 failed");
    new_task_queue = [] { return new InlineQueue; };
}

GatedServer::~GatedServer() { close(epoll_); }

bool GatedServer::RaiseBacklog() {
    // The library listens with a queue of 5: a burst would wait in SYN
    // retransmits. A second listen() only changes the queue's length.
    return ::listen(svr_sock_, limits_.backlog) == 0;
}

bool GatedServer::BindTo(const std::string& host, int port) {
    return bind_to_port(host, port) && RaiseBacklog();
}

int GatedServer::BindToAny(const std::string& host) {
    const int port = bind_to_any_port(host);
    return port > 0 && RaiseBacklog() ? port : -1;
}

bool GatedServer::Serve() {
    watcher_ = std::thread([this] { WatchHeads(); });
    for (std::size_t i = 0; i < limits_.threads; ++i) threads_.emplace_back([this] { AnswerRequests(); });
    const bool served = listen_after_bind();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    readyCv_.notify_all();
    watcher_.join();
    for (auto& t : threads_) t.join();  // they answer what is ready first
    threads_.clear();
    for (const auto& [fd, waiting] : waiting_) close(fd);
    waiting_.clear();
    return served;
}

bool GatedServer::process_and_close_socket(socket_t sock) {
    int yes = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    Watch(sock, 0);
    return true;
}

void GatedServer::Watch(int fd, std::size_t served) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        close(fd);
        return;
    }
    if (served == 0 && waiting_.size() >= maxWaiting_) EvictOldest();
    waiting_[fd] = {Clock::now() + limits_.headTimeout, served};
    // Edge-triggered: a part of a head that stays unread wakes nobody again.
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | EPOLLET;
    event.data.fd = fd;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) {
        waiting_.erase(fd);
        close(fd);
    }
}

void GatedServer::WatchHeads() {
    std::vector<epoll_event> events(256);
    for (;;) {
        const int n = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), 100);
        std::unique_lock lock(mutex_);
        if (stopping_) return;
        for (int i = 0; i < n; ++i)
            if (waiting_.count(events[i].data.fd) != 0) Inspect(events[i].data.fd, events[i].events);
        const auto now = Clock::now();
        std::vector<int> late;
        for (const auto& [fd, waiting] : waiting_)
            if (waiting.deadline <= now) late.push_back(fd);
        for (const int fd : late) Refuse(fd, "408 Request Timeout");
    }
}

// Called with the lock held, for a watched connection.
void GatedServer::Inspect(int fd, unsigned events) {
    const ssize_t n = recv(fd, peek_.data(), peek_.size(), MSG_PEEK | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {  // closed (or broken) before a whole head came
        Unwatch(fd);
        close(fd);
        return;
    }
    const std::string_view seen(peek_.data(), static_cast<std::size_t>(n));
    if (const auto end = seen.find("\r\n\r\n"); end != std::string_view::npos) {
        const std::size_t served = waiting_[fd].served;
        Unwatch(fd);
        ready_.push_back({fd, served, end + 4});
        readyCv_.notify_one();
    } else if (seen.size() >= limits_.maxHead) {
        Refuse(fd, "400 Bad Request");
    } else if (events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) {
        Unwatch(fd);  // half a head, and nothing more will come
        close(fd);
    }
}

void GatedServer::Unwatch(int fd) {
    epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    waiting_.erase(fd);
}

// A client that had begun a request is told why it ends; an idle kept-alive
// connection is just closed.
void GatedServer::Refuse(int fd, const char* status) {
    char probe;
    if (recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 1) {
        const std::string answer =
            std::string("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        [[maybe_unused]] const ssize_t sent = send(fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    Unwatch(fd);
    close(fd);
}

// At the descriptor limit a new connection pushes out the one that has
// waited longest: a slow client, as a whole request takes milliseconds.
void GatedServer::EvictOldest() {
    const auto oldest = std::min_element(waiting_.begin(), waiting_.end(), [](const auto& a, const auto& b) {
        return a.second.deadline < b.second.deadline;
    });
    if (oldest != waiting_.end()) Refuse(oldest->first, "408 Request Timeout");
}

void GatedServer::AnswerRequests() {
    for (;;) {
        std::unique_lock lock(mutex_);
        readyCv_.wait(lock, [this] { return stopping_ || !ready_.empty(); });
        if (ready_.empty()) return;
        const Ready ready = ready_.front();
        ready_.pop_front();
        lock.unlock();
        Answer(ready);
    }
}

void GatedServer::Answer(const Ready& ready) {
    std::string head(ready.headLength, '\0');
    if (recv(ready.fd, head.data(), head.size(), MSG_DONTWAIT) != static_cast<ssize_t>(head.size())) {
        close(ready.fd);
        return;
    }
    bool last = HasBody(head) || ready.served + 1 >= limits_.requestsPerConnection;
    {
        std::lock_guard lock(mutex_);
        last = last || stopping_;
    }
    HeadStream stream(ready.fd, std::move(head), static_cast<int>(limits_.writeTimeout.count()));
    bool closed = false;
    if (process_request(stream, last, closed, nullptr) && !closed && !last) {
        Watch(ready.fd, ready.served + 1);
    } else {
        close(ready.fd);
    }
}

}  // namespace trevalon::site

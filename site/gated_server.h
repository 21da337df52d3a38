// An HTTP server whose request threads never wait on a client.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace trevalon::site {

struct GateLimits {
    std::size_t threads = 64;  // request threads
    // From the connection (or the previous answer) to the end of a request's head.
    std::chrono::milliseconds headTimeout{5000};
    std::chrono::milliseconds writeTimeout{5000};
    std::size_t maxHead = 32 * 1024;           // a longer head is answered 400
    std::size_t requestsPerConnection = 1000;  // then the connection is closed
    int backlog = 4096;                        // the kernel caps it at net.core.somaxconn
};

// httplib's own loop keeps a request thread for as long as a client takes to
// send its request, so a few slow clients stop everyone. Here one thread
// watches every connection until its whole request head has arrived (or its
// time-out has passed, or the head grew too long), and only then a request
// thread reads and answers it with the library's routes.
class GatedServer : public httplib::Server {
public:
    explicit GatedServer(GateLimits limits = {});
    ~GatedServer() override;
    GatedServer(const GatedServer&) = delete;
    GatedServer& operator=(const GatedServer&) = delete;

    // As the library's, with the listen queue raised to limits.backlog.
    bool BindTo(const std::string& host, int port);
    int BindToAny(const std::string& host);
    // Serves until stop(); closes every connection before it returns.
    bool Serve();

private:
    struct Waiting {
        std::chrono::steady_clock::time_point deadline;
        std::size_t served = 0;  // requests answered on this connection so far
    };
    struct Ready {
        int fd;
        std::size_t served, headLength;
    };

    bool process_and_close_socket(socket_t sock) override;  // called by the accept loop
    bool RaiseBacklog();
    void Watch(int fd, std::size_t served);
    void WatchHeads();
    void Inspect(int fd, unsigned events);
    void Unwatch(int fd);
    void Refuse(int fd, const char* status);
    void EvictOldest();
    void AnswerRequests();
    void Answer(const Ready& ready);

    GateLimits limits_;
    std::size_t maxWaiting_;  // connections watched at once, within the descriptor limit
    int epoll_ = -1;
    std::vector<char> peek_;  // the watching thread's
    std::mutex mutex_;
    std::condition_variable readyCv_;
    std::unordered_map<int, Waiting> waiting_;
    std::deque<Ready> ready_;
    bool stopping_ = false;
    std::thread watcher_;
    std::vector<std::thread> threads_;
};

}  // namespace trevalon::site

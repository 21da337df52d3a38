// The site under slow clients and bursts of connections: one client's pace
// holds no one else up, and every report of a burst is answered and stored once.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "site.h"
#include "site_server.h"

namespace trevalon::site {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testsupport::PublishedSite;
using testsupport::SiteServer;
using testsupport::StoredIds;

// Enough descriptors for `needed` of them, or false when the hard limit is lower.
bool RaiseOpenFiles(rlim_t needed) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_max < needed) return false;
    limit.rlim_cur = limit.rlim_max;
    return setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

struct Connection {
    int fd = -1;
    std::string answer;
    bool sent = false, closed = false;
};

// `count` connections started at once, without waiting for any of them.
std::vector<Connection> ConnectAll(int port, int count) {
    std::vector<Connection> all(static_cast<std::size_t>(count));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (auto& c : all) {
        c.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        connect(c.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    return all;
}

// How many connections the server's side has taken, waiting until `patience` ends.
int Established(const std::vector<Connection>& all, std::chrono::milliseconds patience) {
    const auto deadline = Clock::now() + patience;
    int done = 0;
    std::vector<bool> ok(all.size());
    while (done < static_cast<int>(all.size()) && Clock::now() < deadline) {
        std::vector<pollfd> waiting;
        for (std::size_t i = 0; i < all.size(); ++i)
            if (!ok[i]) waiting.push_back({all[i].fd, POLLOUT, 0});
        poll(waiting.data(), waiting.size(), 50);
        for (std::size_t i = 0, w = 0; i < all.size(); ++i) {
            if (ok[i]) continue;
            if (waiting[w++].revents & POLLOUT) ok[i] = true, ++done;
        }
    }
    return done;
}

// Sends report "id=N" on connection N and reads every answer until the
// server closes the connection; bounded by `patience` in all.
void ExchangeReports(std::vector<Connection>& all, std::chrono::seconds patience) {
    const auto deadline = Clock::now() + patience;
    std::size_t open = all.size();
    while (open > 0 && Clock::now() < deadline) {
        std::vector<pollfd> fds;
        std::vector<std::size_t> which;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].closed) continue;
            fds.push_back({all[i].fd, static_cast<short>(all[i].sent ? POLLIN : POLLOUT), 0});
            which.push_back(i);
        }
        poll(fds.data(), fds.size(), 100);
        for (std::size_t k = 0; k < fds.size(); ++k) {
            Connection& c = all[which[k]];
            if (fds[k].revents == 0) continue;
            if (!c.sent) {
                const std::string request = "GET " + std::string(kReportPath) + "?id=" + std::to_string(which[k]) +
                                            " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
                c.sent = true;
                if (send(c.fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size()))
                    continue;
            } else {
                char buf[4096];
                const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
                if (n > 0) {
                    c.answer.append(buf, static_cast<std::size_t>(n));
                    continue;
                }
            }
            c.closed = true;
            --open;
        }
    }
    for (auto& c : all) close(c.fd);
}

// How the answers went ("200 Thank you" -> count), and how often each id is stored.
std::map<std::string, int> Outcomes(const std::vector<Connection>& all) {
    std::map<std::string, int> outcomes;
    for (const auto& c : all) {
        const auto end = c.answer.find("\r\n\r\n");
        ++outcomes[end == std::string::npos ? "<no answer>" : c.answer.substr(9, 3) + " " + c.answer.substr(end + 4)];
    }
    return outcomes;
}

std::map<std::string, int> EachOnce(int count) {
    std::map<std::string, int> times;
    for (int i = 0; i < count; ++i) times[std::to_string(i)] = 1;
    return times;
}

TEST(SiteLoad, SlowClientsHoldNoOneUpAndAreDroppedAtTheirTimeOut) {
    SiteServer site;
    constexpr int kSlow = 100;
    std::vector<int> slow;
    std::vector<std::string> answers(kSlow);
    for (int i = 0; i < kSlow; ++i) {
        slow.push_back(testsupport::detail::ConnectLoopback(site.Port()));
        ASSERT_GE(slow.back(), 0);
        const std::string start = std::string("GET ") + kReportPath + "?id=slow HTTP/1.1\r\n";
        send(slow.back(), start.data(), start.size(), MSG_NOSIGNAL);
    }
    // Each slow client sends a header line far more often than any time-out
    // between two reads; only a bound on the whole request head ends them.
    const auto started = Clock::now();
    int open = kSlow, probes = 0, heldWhileProbing = kSlow;
    while (open > 0 && Clock::now() < started + 9s) {
        for (int i = 0; i < kSlow; ++i) {
            if (slow[i] < 0) continue;
            pollfd p{slow[i], POLLIN, 0};
            if (poll(&p, 1, 0) == 1) {
                answers[i] = testsupport::detail::ReceiveAnswer(slow[i]);
                close(slow[i]);
                slow[i] = -1;
                --open;
            } else {
                send(slow[i], "X-Slow: 1\r\n", 11, MSG_NOSIGNAL);
            }
        }
        if (Clock::now() < started + 4s) {
            EXPECT_TRUE(testsupport::detail::Answers(site.Port(), 1000ms)) << "probe " << probes;
            heldWhileProbing = std::min(heldWhileProbing, open);
            ++probes;
        }
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_GE(probes, 5);
    EXPECT_EQ(heldWhileProbing, kSlow);
    EXPECT_EQ(open, 0);
    for (auto& fd : slow)
        if (fd >= 0) close(fd);
    for (const auto& answer : answers) EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 408");
    EXPECT_TRUE(site.Reports().empty());
}

// With more slow clients than it has descriptors for, the server pushes out
// the ones that have waited longest instead of running out.
TEST(SiteLoad, AtItsDescriptorLimitTheLongestWaitingClientsMakeRoom) {
    constexpr int kSlow = 120;
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    rlimit low = saved;
    low.rlim_cur = 128;  // inherited by the server
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    SiteServer site;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    std::vector<int> slow;
    for (int i = 0; i < kSlow; ++i) {
        slow.push_back(testsupport::detail::ConnectLoopback(site.Port()));
        send(slow.back(), "GET / HTTP/1.1\r\n", 16, MSG_NOSIGNAL);
    }
    EXPECT_TRUE(testsupport::detail::Answers(site.Port(), 1000ms));
    int pushedOut = 0;
    for (const int fd : slow) {
        pollfd p{fd, POLLIN, 0};
        char buf[12];
        if (poll(&p, 1, 0) == 1 && recv(fd, buf, sizeof buf, 0) == 12 && std::string(buf, 12) == "HTTP/1.1 408")
            ++pushedOut;
        close(fd);
    }
    EXPECT_GE(pushedOut, kSlow - 64);
    EXPECT_LT(pushedOut, kSlow);
}

// Stopped, the server accepts nothing: the burst must wait in its listen
// queue, where a connection is taken at once, not in SYN retransmits.
TEST(SiteLoad, ABurstWaitsInTheListenQueueAndIsAllStoredOnce) {
    constexpr int kBurst = 1000;
    if (!RaiseOpenFiles(kBurst + 200)) GTEST_SKIP() << "too few file descriptors";
    SiteServer site;
    kill(site.Pid(), SIGSTOP);
    auto burst = ConnectAll(site.Port(), kBurst);
    const int established = Established(burst, 1000ms);
    kill(site.Pid(), SIGCONT);
    EXPECT_EQ(established, kBurst);
    ExchangeReports(burst, 30s);
    EXPECT_EQ(Outcomes(burst), (std::map<std::string, int>{{"200 Thank you", kBurst}}));
    EXPECT_EQ(StoredIds(site), EachOnce(kBurst));
}

TEST(SiteLoad, TwoThousandParallelReportsThroughNginxAreAllAnsweredAndStoredOnce) {
    constexpr int kBurst = 2000;
    if (!RaiseOpenFiles(kBurst + 200)) GTEST_SKIP() << "too few file descriptors";
    PublishedSite site;
    if (!site.Available()) GTEST_SKIP() << "nginx is not installed";
    auto burst = ConnectAll(site.Port(), kBurst);
    ExchangeReports(burst, 30s);
    EXPECT_EQ(Outcomes(burst), (std::map<std::string, int>{{"200 Thank you", kBurst}}));
    EXPECT_EQ(StoredIds(site), EachOnce(kBurst));
}

}  // namespace
}  // namespace trevalon::site

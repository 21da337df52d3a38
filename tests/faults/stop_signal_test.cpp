// trevalon-bench and trevalon-cli told to stop by a signal in the middle of
// each test: they end within a second, with 128 + the signal, and the
// folders keep no scratch file and no other change.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "fault_runs.h"

namespace faults {
namespace {

#if defined(TREVALON_BENCH_PATH) && defined(TREVALON_CLI_PATH)
using Seconds = std::chrono::duration<double>;

enum class Program { kBench, kCli };

struct Moment {
    Program program;
    const char* name;
    std::vector<std::string> mode;  // arguments before the folders
    int folders;
    // The bench's output line that starts with this, or the text the cli's
    // progress line (drawn on a terminal only) shows...
    const char* after;
    double delay;       // ...and this long after it
    int signal;
};

const Moment kMoments[] = {
    {Program::kBench, "single: small file write", {}, 1, "  status      \"Testing Drive: ", 0.0, SIGTERM},
    {Program::kBench, "single: between steps", {}, 1, "  caption 0 ", 0.0, SIGINT},
    {Program::kBench, "single: large file read", {}, 1, "  caption 2 ", 0.0, SIGHUP},
    {Program::kBench, "single: time-boxed write", {}, 1, "  caption 3 ", 0.5, SIGINT},
    {Program::kBench, "single: read-back", {}, 1, "  caption 4 ", 0.0, SIGTERM},
    {Program::kBench, "single: copy", {}, 1, "  caption 7 ", 0.0, SIGHUP},
    {Program::kBench, "comparison: time-boxed write", {"--compare"}, 2,
     "  status      \"Testing Drive: ", 1.0, SIGHUP},
    {Program::kBench, "comparison: read-back", {"--compare"}, 2, "  caption 0 ", 0.0, SIGTERM},
    {Program::kBench, "copy test: copy test file write", {"--copy"}, 2, "  status      \"Creating", 0.0, SIGINT},
    {Program::kBench, "copy test: copy", {"--copy"}, 2, "  status      \"Copying To Drive: ", 0.0, SIGTERM},
    // The cli's progress line tells only the steps that last.
    {Program::kCli, "cli check: time-boxed write", {"check"}, 1, "Drive Overall Write", 1.0, SIGTERM},
    {Program::kCli, "cli check: read-back", {"check"}, 1, "Drive Overall Read", 0.0, SIGHUP},
    {Program::kCli, "cli check: copy", {"check"}, 1, "File Copy Speed", 0.0, SIGINT},
    {Program::kCli, "cli compare: read-back", {"compare"}, 1, "Drive Overall Read", 0.0, SIGTERM},
};

// The child's output, line by line, until a line starts with `prefix` and
// does not empty a caption.
bool WaitForLine(int fd, const std::string& prefix, std::string& seen) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 30000) <= 0) return false;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) return false;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            seen += line + "\n";
            if (line.starts_with(prefix) && !line.ends_with("\"\"")) return true;
        }
    }
}

// The child's terminal output until it shows `text`.
bool WaitForText(int fd, const std::string& text, std::string& seen) {
    char buffer[4096];
    for (;;) {
        if (seen.find(text) != std::string::npos) return true;
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 30000) <= 0) return false;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) return false;  // EIO once the child has gone
        seen.append(buffer, static_cast<std::size_t>(got));
    }
}

#endif

class StopSignal : public FaultTest {};

TEST_F(StopSignal, EachSignalAtEachMomentEndsTheProgramAtOnceAndLeavesNothing) {
#if !defined(TREVALON_BENCH_PATH) || !defined(TREVALON_CLI_PATH)
    GTEST_SKIP() << "trevalon-bench or trevalon-cli is not built here";
#else
    if (IsSkipped()) return;
    const std::string space = work.Sub("signals");
    MountTmpfs(space, std::uint64_t{12} << 30);  // more than 3 s of writes can fill
    ASSERT_FALSE(HasFatalFailure());
    int number = 0;
    for (const Moment& moment : kMoments) {
        SCOPED_TRACE(moment.name);
        Drives drives;
        const bool cli = moment.program == Program::kCli;
        std::vector<std::string> args = {"stdbuf", "-oL", TREVALON_BENCH_PATH, "--runs", "1"};
        if (cli) args = {TREVALON_CLI_PATH};
        args.insert(args.end(), moment.mode.begin(), moment.mode.end());
        for (int i = 0; i < moment.folders; ++i) {
            const std::string dir = space + "/" + std::to_string(++number);
            ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
            drives.Add(dir);
            args.push_back(dir);
        }
        int out[2];
        ASSERT_EQ(cli ? ::openpty(&out[0], &out[1], nullptr, nullptr, nullptr) : ::pipe(out), 0);
        ::fcntl(out[0], F_SETFD, FD_CLOEXEC);
        const pid_t child = Spawn(args, out[1], cli);
        ASSERT_GE(child, 0);
        ::close(out[1]);
        std::string seen;
        const bool reached = cli ? WaitForText(out[0], moment.after, seen)
                                 : WaitForLine(out[0], moment.after, seen);
        std::this_thread::sleep_for(Seconds(moment.delay));
        const auto sent = std::chrono::steady_clock::now();
        ::kill(child, moment.signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        const double took = Seconds(std::chrono::steady_clock::now() - sent).count();
        if (cli) {
            WaitForText(out[0], "\x01", seen);
        } else {
            WaitForLine(out[0], "\x01", seen);  // the rest, to the end
        }
        ::close(out[0]);
        EXPECT_TRUE(reached) << seen;
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 128 + moment.signal) << seen;
        // Removing the GBs the time-boxed write put on a tmpfs is part of it.
        EXPECT_LT(took, 1.0);
        EXPECT_EQ(seen.find("\"Done\""), std::string::npos) << "stopped too late: " << seen;
        EXPECT_EQ(seen.find("Complete\""), std::string::npos) << "stopped too late: " << seen;
        // The cli shows no report of a stopped run (its labels end in a colon
        // there, not on the progress line) and says why.
        if (cli) {
            EXPECT_EQ(seen.find("(1 MB):"), std::string::npos) << "stopped too late: " << seen;
            EXPECT_NE(seen.find("stopped; its scratch files are removed"), std::string::npos) << seen;
        }
        drives.ExpectUnchanged("after the signal");
        std::printf("%s: ended %.3f s after the signal\n", moment.name, took);
    }
#endif
}

}  // namespace
}  // namespace faults

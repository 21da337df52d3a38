// trevalon-cli and trevalon-bench run for real on small drives and on
// folders that hold a user's own file: each ends as its user reads it, keeps
// the drive's reserve and leaves the folders as it found them.
#include <fcntl.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "fault_runs.h"

namespace faults {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t kMiB = 1024 * 1024;

#if defined(TREVALON_BENCH_PATH) && defined(TREVALON_CLI_PATH)
struct Ran {
    int status = -1;  // -1 when it did not exit
    std::string output;  // standard output and error, as they came
};

Ran RunProgram(std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0) return {};
    ::fcntl(out[0], F_SETFD, FD_CLOEXEC);
    const pid_t child = Spawn(std::move(args), out[1], true);
    ::close(out[1]);
    Ran ran;
    char buffer[4096];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        ran.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        ran.status = WEXITSTATUS(status);
    }
    return ran;
}

std::uint64_t FreeBytes(const std::string& dir) {
    struct statvfs info {};
    if (::statvfs(dir.c_str(), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}
#endif

class ConsolePrograms : public FaultTest {};

TEST_F(ConsolePrograms, TheCliRunsEveryTestToItsEndOnAnEmpty50MBDrive) {
#if !defined(TREVALON_BENCH_PATH) || !defined(TREVALON_CLI_PATH)
    GTEST_SKIP() << "trevalon-cli is not built here";
#else
    const std::string drive = work.Sub("small");
    MountTmpfs(drive, 50'000'000);
    const std::string a = work.Sub("small/a"), b = work.Sub("small/b");
    for (const std::vector<std::string>& test :
         {std::vector<std::string>{"check", a}, {"compare", a}, {"copy", a, b}}) {
        SCOPED_TRACE(test.front());
        std::vector<std::string> args = {TREVALON_CLI_PATH};
        args.insert(args.end(), test.begin(), test.end());
        const Ran ran = RunProgram(args);
        EXPECT_EQ(ran.status, 0) << ran.output;
        EXPECT_TRUE(fs::is_empty(a) && fs::is_empty(b)) << ran.output;
    }
    Unmount(drive);
#endif
}

TEST_F(ConsolePrograms, AUsersOwnFileSurvivesEveryTestOfBothPrograms) {
#if !defined(TREVALON_BENCH_PATH) || !defined(TREVALON_CLI_PATH)
    GTEST_SKIP() << "trevalon-cli or trevalon-bench is not built here";
#else
    struct Case {
        const char* program;
        std::vector<std::string> mode;
        int folders;
        int plantedIn;  // which folder holds the file
        const char* name;
    };
    const Case cases[] = {
        {TREVALON_CLI_PATH, {"check"}, 1, 0, "DriveSpeedTest.txt"},
        {TREVALON_CLI_PATH, {"check"}, 1, 0, "DriveSpeedTest2.txt"},
        {TREVALON_CLI_PATH, {"compare"}, 2, 1, "DriveSpeedTest.txt"},
        {TREVALON_CLI_PATH, {"copy"}, 2, 1, "DriveSpeedTest.txt"},
        {TREVALON_BENCH_PATH, {"--runs", "1"}, 1, 0, "DriveSpeedTest2.txt"},
        {TREVALON_BENCH_PATH, {"--runs", "1", "--compare"}, 2, 0, "DriveSpeedTest.txt"},
        {TREVALON_BENCH_PATH, {"--runs", "1", "--copy"}, 2, 1, "DriveSpeedTest.txt"},
        {TREVALON_BENCH_PATH, {"--runs", "1"}, 1, 0, "trevalon-bench-1.tmp"},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.mode.back() + ", " + c.name);
        std::vector<std::string> args = {c.program};
        args.insert(args.end(), c.mode.begin(), c.mode.end());
        std::vector<std::string> dirs;
        std::vector<Snapshot> before;
        for (int i = 0; i < c.folders; ++i) {
            dirs.push_back(work.Sub("own" + std::to_string(++number)));
            PutUserFiles(dirs.back());
            args.push_back(dirs.back());
        }
        const std::string planted = dirs[static_cast<std::size_t>(c.plantedIn)] + "/" + c.name;
        WriteFile(planted, "a note of the user's, 41 bytes long.....\n");
        for (const std::string& dir : dirs) before.push_back(TakeSnapshot(dir));
        const Ran ran = RunProgram(args);
        EXPECT_EQ(ran.status, 1) << ran.output;  // a drive error
        EXPECT_NE(ran.output.find(planted), std::string::npos) << ran.output;
        for (std::size_t i = 0; i < dirs.size(); ++i) EXPECT_EQ(TakeSnapshot(dirs[i]), before[i]);
    }
#endif
}

// Its baselines write no more than the tests may and remove their files.
TEST_F(ConsolePrograms, TheBenchOnA600MiBDriveKeepsTheReserveAndLeavesItEmpty) {
#if !defined(TREVALON_BENCH_PATH) || !defined(TREVALON_CLI_PATH)
    GTEST_SKIP() << "trevalon-bench is not built here";
#else
    const std::string drive = work.Sub("bench");
    MountTmpfs(drive, 600 * kMiB);
    const std::string dir = work.Sub("bench/d");
    std::atomic<bool> running{true};
    std::uint64_t leastFree = FreeBytes(drive);
    std::thread sampler([&] {
        while (running) {
            leastFree = std::min(leastFree, FreeBytes(drive));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const Ran ran = RunProgram({TREVALON_BENCH_PATH, "--runs", "1", dir});
    running = false;
    sampler.join();
    EXPECT_EQ(ran.status, 0) << ran.output;
    EXPECT_TRUE(fs::is_empty(dir)) << ran.output;
    EXPECT_GE(leastFree, 64 * kMiB) << ran.output;
    Unmount(drive);
#endif
}

TEST_F(ConsolePrograms, TheBenchRefusesARunCountThatIsNoneOrNoNumber) {
#if !defined(TREVALON_BENCH_PATH) || !defined(TREVALON_CLI_PATH)
    GTEST_SKIP() << "trevalon-bench is not built here";
#else
    const std::string dir = work.Sub("runs");
    for (const char* runs : {"0", "-1", "abc", "2x", ""}) {
        SCOPED_TRACE(runs);
        const Ran ran = RunProgram({TREVALON_BENCH_PATH, "--runs", runs, dir});
        EXPECT_EQ(ran.status, 2) << ran.output;
        EXPECT_NE(ran.output.find("--runs takes a whole number"), std::string::npos) << ran.output;
        EXPECT_TRUE(fs::is_empty(dir));
    }
#endif
}

}  // namespace
}  // namespace faults

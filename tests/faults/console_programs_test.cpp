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

#if defined(TREVALON_BENCH_PATH) && defined(TREVALON_CLI_PATH)
constexpr const char* kCli = TREVALON_CLI_PATH;
constexpr const char* kBench = TREVALON_BENCH_PATH;
#else
constexpr const char* kCli = nullptr;  // the sanitizer build has neither program
constexpr const char* kBench = nullptr;
#endif

struct Ran {
    int status = -1;  // -1 when it did not exit
    std::string output;  // standard output and error, as they came
};

// `program` with `args` and then `more`, run to its end.
Ran RunProgram(const char* program, const std::vector<std::string>& args,
               const std::vector<std::string>& more = {}) {
    std::vector<std::string> line = {program};
    line.insert(line.end(), args.begin(), args.end());
    line.insert(line.end(), more.begin(), more.end());
    int out[2];
    if (::pipe(out) != 0) return {};
    ::fcntl(out[0], F_SETFD, FD_CLOEXEC);
    const pid_t child = Spawn(std::move(line), out[1], true);
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

class ConsolePrograms : public FaultTest {
protected:
    void SetUp() override {
        if (kCli == nullptr || kBench == nullptr)
            GTEST_SKIP() << "trevalon-cli or trevalon-bench is not built here";
        FaultTest::SetUp();
    }
};

TEST_F(ConsolePrograms, TheCliRunsEveryTestToItsEndOnAnEmpty50MBDrive) {
    const std::string drive = work.Sub("small");
    MountTmpfs(drive, 50'000'000);
    const std::string a = work.Sub("small/a"), b = work.Sub("small/b");
    for (const std::vector<std::string>& test :
         {std::vector<std::string>{"check", a}, {"compare", a}, {"copy", a, b}}) {
        SCOPED_TRACE(test.front());
        const Ran ran = RunProgram(kCli, test);
        EXPECT_EQ(ran.status, 0) << ran.output;
        EXPECT_TRUE(fs::is_empty(a) && fs::is_empty(b)) << ran.output;
    }
    Unmount(drive);
}

TEST_F(ConsolePrograms, AUsersOwnFileSurvivesEveryTestOfBothPrograms) {
    struct Case {
        const char* program;
        std::vector<std::string> mode;
        int folders;
        int plantedIn;  // which folder holds the file
        const char* name;
    };
    const Case cases[] = {
        {kCli, {"check"}, 1, 0, "DriveSpeedTest.txt"},
        {kCli, {"check"}, 1, 0, "DriveSpeedTest2.txt"},
        {kCli, {"compare"}, 2, 1, "DriveSpeedTest.txt"},
        {kCli, {"copy"}, 2, 1, "DriveSpeedTest.txt"},
        {kBench, {"--runs", "1"}, 1, 0, "DriveSpeedTest2.txt"},
        {kBench, {"--runs", "1", "--compare"}, 2, 0, "DriveSpeedTest.txt"},
        {kBench, {"--runs", "1", "--copy"}, 2, 1, "DriveSpeedTest.txt"},
        {kBench, {"--runs", "1"}, 1, 0, "trevalon-bench-1.tmp"},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.mode.back() + ", " + c.name);
        std::vector<std::string> dirs;
        for (int i = 0; i < c.folders; ++i) {
            dirs.push_back(work.Sub("own" + std::to_string(++number)));
            PutUserFiles(dirs.back());
        }
        const std::string planted = dirs[static_cast<std::size_t>(c.plantedIn)] + "/" + c.name;
        WriteFile(planted, "a note of the user's, 41 bytes long.....\n");
        Drives drives;
        for (const std::string& dir : dirs) drives.Add(dir, /*withUserFiles=*/false);
        const Ran ran = RunProgram(c.program, c.mode, dirs);
        EXPECT_EQ(ran.status, 1) << ran.output;  // a drive error
        EXPECT_NE(ran.output.find(planted), std::string::npos) << ran.output;
        drives.ExpectSame();
    }
}

// Its baselines write no more than the tests may and remove their files.
TEST_F(ConsolePrograms, TheBenchOnA600MiBDriveKeepsTheReserveAndLeavesItEmpty) {
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
    const Ran ran = RunProgram(kBench, {"--runs", "1", dir});
    running = false;
    sampler.join();
    EXPECT_EQ(ran.status, 0) << ran.output;
    EXPECT_TRUE(fs::is_empty(dir)) << ran.output;
    EXPECT_GE(leastFree, 64 * kMiB) << ran.output;
    Unmount(drive);
}

TEST_F(ConsolePrograms, TheBenchRefusesARunCountThatIsNoneOrNoNumber) {
    const std::string dir = work.Sub("runs");
    for (const char* runs : {"0", "-1", "abc", "2x", ""}) {
        SCOPED_TRACE(runs);
        const Ran ran = RunProgram(kBench, {"--runs", runs, dir});
        EXPECT_EQ(ran.status, 2) << ran.output;
        EXPECT_NE(ran.output.find("--runs takes a whole number"), std::string::npos) << ran.output;
        EXPECT_TRUE(fs::is_empty(dir));
    }
}

}  // namespace
}  // namespace faults

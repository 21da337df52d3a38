// trevalon-cli run for real on temporary folders, private read-only mounts
// and a Ctrl+C in the middle of a run.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Folders of one test, removed with it.
struct CliRun : ::testing::Test {
    fs::path base = fs::temp_directory_path() / ("trevalon-cli-test-" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(base); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(base, ignored);
    }
    std::string Dir(const std::string& name) {
        fs::create_directories(base / name);
        return (base / name).string();
    }

    // Starts argv[0] with stdout and stderr going to files.
    pid_t Start(const std::vector<std::string>& argv) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (base / "out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (base / "err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return failed ? -1 : pid;
    }
    Outcome Wait(pid_t pid) {
        Outcome outcome;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
            outcome.exitCode = WEXITSTATUS(status);
        }
        outcome.out = ReadAll(base / "out");
        outcome.err = ReadAll(base / "err");
        return outcome;
    }
    Outcome Cli(std::vector<std::string> args) {
        args.insert(args.begin(), TREVALON_CLI);
        return Wait(Start(args));
    }
};

TEST_F(CliRun, CompareTwoFoldersAsJson) {
    const std::string a = Dir("a"), b = Dir("b c");
    const Outcome run = Cli({"compare", a, b, a + "/", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["version"], "1.5.5");
    EXPECT_EQ(json["mode"], "cached");
    EXPECT_EQ(json["status"], "Comparison Complete");
    ASSERT_EQ(json["drives"].size(), 2U);  // the third folder is the first again
    EXPECT_EQ(json["drives"][1]["directory"], b + "/");
    EXPECT_NE(json["drives"][1]["fileSystemType"], "unknown");
    ASSERT_EQ(json["results"].size(), 4U);
    for (const nlohmann::json& result : json["results"]) {
        EXPECT_EQ(result["unit"], "KB/sec");
        EXPECT_GT(result["value"].get<double>(), 0);
        EXPECT_DOUBLE_EQ(result["bytesPerSecond"].get<double>(), result["value"].get<double>() * 1026);
    }
    EXPECT_TRUE(fs::is_empty(a));
    EXPECT_TRUE(fs::is_empty(b));
}

TEST_F(CliRun, CheckAsJsonOnAFolderNamedWithAByteThatIsNotUtf8) {
    const std::string odd = Dir("odd\xFF");
    const Outcome run = Cli({"--json", "check", odd});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["status"], "Done");
    const auto bytes = json["drives"][0]["directoryBytes"].get<std::vector<unsigned char>>();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), odd + "/");
    EXPECT_TRUE(fs::is_empty(odd));
}

TEST_F(CliRun, PlainCopyTestLinesAndUsageErrors) {
    const std::string a = Dir("a"), b = Dir("b");
    const Outcome copy = Cli({"copy", a, b});
    ASSERT_EQ(copy.exitCode, 0) << copy.err;
    EXPECT_NE(copy.out.find("Destination drive #2: " + b + "/ ("), std::string::npos) << copy.out;
    EXPECT_NE(copy.out.find("  Drive To Drive Copy Speed (10MB):  "), std::string::npos);
    EXPECT_NE(copy.out.find(" seconds  ["), std::string::npos);
    EXPECT_NE(copy.out.find("\nDrive Copy Test Complete\n"), std::string::npos);

    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* err;
        const char* out;
    } cases[] = {
        {{"--bogus"}, 2, "trevalon-cli: unknown option '--bogus'\nusage: trevalon-cli", ""},
        {{"check"}, 2, "'check' takes one DIR, not 0\nusage:", ""},
        {{"--version"}, 0, "", "trevalon-cli 1.5.5\n"},
        {{"--help"}, 0, "", "usage: trevalon-cli [--json] [--uncached] check DIR"},
        {{"check", a + "/missing"}, 1, "trevalon-cli: I am unable to access " , "Drive Error"},
        {{"--json", "--uncached", "copy", a, b}, 0, "", "\"mode\": \"uncached\""},
        {{"--json", "copy", a, b}, 0, "", "\"mode\": \"cached\""},
    };
    for (const auto& c : cases) {
        const Outcome run = Cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0] << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    }
}

// Runs trevalon-cli inside a private mount namespace with `dir` mounted as
// `how`; false when this host cannot make one.
bool PrivateMountsWork() {
    return std::system("unshare -rm true >/dev/null 2>&1") == 0;
}

TEST_F(CliRun, ReadOnlyMountGivesTheReadOnlyMessage) {
    if (!PrivateMountsWork()) GTEST_SKIP() << "no private mount namespace on this host";
    const std::string ro = Dir("ro");
    const Outcome run = Wait(Start({"unshare", "-rm", "sh", "-c",
                                    "mount -t tmpfs -o ro tmpfs \"$1\" && exec \"$2\" check \"$1\"",
                                    "sh", ro, TREVALON_CLI}));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err,
              "trevalon-cli: The drive you are trying to test is read only, this program needs to "
              "be able to write a file to the drive in order to test it's speed.\n");
    EXPECT_NE(run.out.find("\nDrive Error\n"), std::string::npos) << run.out;
}

TEST_F(CliRun, InterruptDuringTheTimedWriteLeavesTheFolderEmpty) {
    const std::string dir = Dir("busy");
    const pid_t pid = Start({TREVALON_CLI, "compare", dir});
    ASSERT_GT(pid, 0);
    // The comparison begins with the three-second write.
    const fs::path scratch = fs::path(dir) / "DriveSpeedTest.txt";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(scratch) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(fs::exists(scratch));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(kill(pid, SIGINT), 0);
    const Outcome run = Wait(pid);
    EXPECT_EQ(run.exitCode, 130) << run.err;
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("stopped"), std::string::npos);
}

}  // namespace

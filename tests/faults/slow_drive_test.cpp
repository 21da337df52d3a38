// Uncached figures of a real slow drive: ext4 on a loop device whose writes
// the blkio cgroup holds to 1 MiB/s and reads to 2 MiB/s, measured by
// trevalon-bench in that group. Cached figures of the same drive stay far above.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kGroup = "/sys/fs/cgroup/blkio/trevalon-slow-drive-test";
constexpr double kWriteBytes = 1048576.0, kReadBytes = 2097152.0;

std::string Output(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) out += buffer.data();
    return out;
}

bool Run(const std::string& command) { return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0; }

// The image, its loop device, its mount and the throttling group, undone in reverse.
class SlowDrive {
public:
    SlowDrive() : dir_(fs::path("/var/tmp") / ("trevalon-slow-" + std::to_string(::getpid()))) {}
    ~SlowDrive() {
        if (mounted_) Run("umount " + Mount());
        if (!device_.empty()) Run("losetup -d " + device_);
        ::rmdir(kGroup.c_str());
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    // Empty when made, else why this machine cannot throttle a drive.
    std::string Make() {
        if (::geteuid() != 0) return "needs root for a loop device and the blkio cgroup";
        if (!fs::exists("/sys/fs/cgroup/blkio/cgroup.procs")) return "no blkio cgroup (v1) at /sys/fs/cgroup/blkio";
        fs::create_directories(Mount());
        const std::string image = (dir_ / "img").string();
        if (!Run("truncate -s 4G " + image + " && mkfs.ext4 -q -F " + image)) return "mkfs.ext4 failed";
        device_ = Output("losetup -f --show " + image);
        while (!device_.empty() && device_.back() == '\n') device_.pop_back();
        if (device_.empty()) return "no loop device";
        if (!Run("mount " + device_ + " " + Mount())) return "cannot mount the loop device";
        mounted_ = true;
        struct stat info {};
        if (::stat(device_.c_str(), &info) != 0) return "cannot stat " + device_;
        const std::string number = std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
        if (!fs::create_directory(kGroup) ||
            !Run("echo '" + number + " 1048576' > " + kGroup + "/blkio.throttle.write_bps_device") ||
            !Run("echo '" + number + " 2097152' > " + kGroup + "/blkio.throttle.read_bps_device")) {
            return "cannot set up blkio throttling for " + device_;
        }
        return "";
    }
    std::string Mount() const { return (dir_ / "mnt").string(); }
    const std::string& device() const { return device_; }

private:
    fs::path dir_;
    std::string device_;
    bool mounted_ = false;
};

#ifdef TREVALON_BENCH_PATH
constexpr const char* kBench = TREVALON_BENCH_PATH;
#else
constexpr const char* kBench = nullptr;  // the sanitizer build has no benchmark
#endif

struct Figures {
    double write = 0, read = 0;  // bytes per second
    bool found = false;
    std::string out;
};

Figures BenchInGroup(const std::string& options, const std::string& dir) {
    const std::string out = Output("sh -c 'echo $$ > " + kGroup + "/cgroup.procs && exec " +
                                   std::string(kBench) + " " + options + " --runs 1 --compare " + dir + "' 2>&1");
    std::smatch match;
    static const std::regex line(R"(#1 overall write (\d+) KB/sec, read (\d+) KB/sec)");
    if (!std::regex_search(out, match, line)) return {0, 0, false, out};
    return {std::stod(match[1]) * 1026, std::stod(match[2]) * 1026, true, out};
}

TEST(SlowDrive, UncachedFiguresAreTheThrottledDrivesCachedOnesFarAbove) {
    if (kBench == nullptr) GTEST_SKIP() << "trevalon-bench is not built here";
    SlowDrive drive;
    if (const std::string why = drive.Make(); !why.empty()) GTEST_SKIP() << "cannot throttle a drive here: " << why;
    const auto start = std::chrono::steady_clock::now();
    const Figures uncached = BenchInGroup("--uncached", drive.Mount());
    RecordProperty("uncached_run_ms", static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                           std::chrono::steady_clock::now() - start)
                                                           .count()));
    ASSERT_TRUE(uncached.found) << uncached.out;
    EXPECT_NEAR(uncached.write / kWriteBytes, 1.0, 0.25) << uncached.write;
    EXPECT_NEAR(uncached.read / kReadBytes, 1.0, 0.25) << uncached.read;
    RecordProperty("uncached_write_bytes_per_s", static_cast<int>(uncached.write));
    RecordProperty("uncached_read_bytes_per_s", static_cast<int>(uncached.read));
    const Figures cached = BenchInGroup("", drive.Mount());
    ASSERT_TRUE(cached.found) << cached.out;
    EXPECT_GT(cached.write, 4 * kWriteBytes);
    EXPECT_GT(cached.read, 4 * kReadBytes);
}

}  // namespace

#include "perf/soak.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "bench/drive_tests.h"
#include "perf/host_calls.h"

namespace trevalon::perf {
namespace {

namespace fs = std::filesystem;

constexpr int kDrives = 4;
constexpr int kReportEvery = 100;

// Each reading a millisecond after the last: a time-boxed write is then 3000
// fill lines, so that hundreds of runs take minutes and never fill a RAM disk.
constexpr double kSoakStep = 0.001;

// Keeps only the last status and any problem: the soak measures memory, and a
// view that recorded every call would grow over the runs itself.
class SoakView final : public bench::ViewOperations {
public:
    explicit SoakView(const std::vector<std::string>& entries) : entries_(entries) {}
    void SetStatusText(const std::string& text) override { status_ = text; }
    void SetResultText(int, const std::string&) override {}
    void SetBarWidth(int, float) override {}
    std::string GetDriveEntry(int list) override { return entries_.at(static_cast<std::size_t>(list)); }
    bool YieldToWindow() override { return true; }
    void ShowDriveMessage(const std::string& text) override { problem_ = "message: " + text; }
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override {
        problem_ = "error " + std::to_string(number) + " at " + std::to_string(location) + ": " +
                   description;
    }
    void SetTestButtonEnabled(bool) override {}
    bench::NumberSeparators GetNumberSeparators() override { return {}; }

    const std::string& status() const { return status_; }
    const std::string& problem() const { return problem_; }

private:
    const std::vector<std::string>& entries_;
    std::string status_, problem_;
};

int ScratchFilesLeft(const std::vector<std::string>& dirs) {
    int left = 0;
    for (const auto& dir : dirs) {
        for (const char* name : {"DriveSpeedTest.txt", "DriveSpeedTest2.txt"}) {
            std::error_code code;
            if (fs::exists(fs::symlink_status(fs::path(dir) / name, code))) ++left;
        }
    }
    return left;
}

struct Checkpoint {
    int fds;
    double peak;
    int scratch;
};

struct Test {
    const char* name;
    void (*run)(bench::ViewOperations&, const bench::TestEnvironment&);
    const char* done;
};

}  // namespace

int Soak(const std::string& dir, int runs) {
    std::vector<std::string> dirs, entries;
    for (int k = 1; k <= kDrives; ++k) {
        const fs::path drive = fs::path(dir) / ("trevalon-soak-" + std::to_string(k));
        fs::create_directories(drive);
        dirs.push_back(drive.string());
        entries.push_back(drive.string() + " [soak]");
    }
    const Test tests[] = {
        {"single drive check", &bench::RunSingleDriveCheck, "Done"},
        {"drive comparison", &bench::RunDriveComparison, "Comparison Complete"},
        {"copy test", &bench::RunCopyTest, "Drive Copy Test Complete"},
    };
    std::printf("soak: %d runs of each test on %s (four drives trevalon-soak-1..4)\n", runs,
                dir.c_str());
    std::printf("%-20s %6s %8s %12s %14s %8s\n", "test", "runs", "open fds", "peak MiB",
                "resident MiB", "scratch");
    std::vector<Checkpoint> points;
    const auto report = [&](const char* name, int done) {
        points.push_back({host::OpenHandles(), host::PeakMiB(), ScratchFilesLeft(dirs)});
        std::printf("%-20s %6d %8d %12.1f %14.1f %8d\n", name, done, points.back().fds,
                    points.back().peak, host::ResidentMiB(), points.back().scratch);
        std::fflush(stdout);
    };
    report("(start)", 0);
    int status = 0;
    for (const Test& test : tests) {
        for (int run = 1; run <= runs; ++run) {
            bench::StepClock clock(kSoakStep);
            SoakView view(entries);
            test.run(view, bench::TestEnvironment{clock, bench::HostFileLayer()});
            if (!view.problem().empty() || view.status() != test.done) {
                std::printf("%s run %d ended with \"%s\" %s\n", test.name, run,
                            view.status().c_str(), view.problem().c_str());
                status = 1;
                break;
            }
            if (run % kReportEvery == 0 || run == runs) report(test.name, run);
        }
    }
    // After the first test's first hundred runs everything should stay flat.
    const Checkpoint& settled = points[points.size() > 1 ? 1 : 0];
    bool grew = false;
    for (const Checkpoint& point : points) {
        if (point.fds != points.front().fds || point.scratch != 0) grew = true;
        if (&point > &settled && point.peak > settled.peak + 8.0) grew = true;
    }
    for (const auto& drive : dirs) {
        std::error_code code;
        fs::remove(drive, code);  // only if the runs left it empty
    }
    std::printf("soak: %s\n", grew ? "SOMETHING GREW OR WAS LEFT BEHIND" : "flat, nothing left");
    return status != 0 || grew ? 1 : 0;
}

}  // namespace trevalon::perf

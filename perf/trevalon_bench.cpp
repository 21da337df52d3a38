// trevalon-bench: runs the real drive tests through a console view that
// prints every view call, then times the raw limit of the same work in the
// same run and prints each step beside its baseline.
//
//   trevalon-bench [--runs N] DIR
//   trevalon-bench [--runs N] --compare DIR...
//   trevalon-bench [--runs N] --copy SOURCE DEST...
//   trevalon-bench --soak DIR [RUNS]
// --uncached (first) runs the tests and their baselines uncached.
#include <filesystem>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "bench/drive_root.h"
#include "bench/drive_tests.h"
#include "bench/stop_signals.h"
#include "cli/run_recorder.h"
#include "perf/raw_baselines.h"
#include "perf/soak.h"

namespace {

using namespace trevalon;

// The console programs' recorder, printing every view call as it comes.
class ConsoleView final : public console::RunRecorder {
public:
    explicit ConsoleView(std::vector<std::string> entries) : RunRecorder(std::move(entries)) {}

    void SetStatusText(const std::string& text) override {
        std::printf("  status      \"%s\"\n", text.c_str());
        RunRecorder::SetStatusText(text);
    }
    void SetResultText(int index, const std::string& text) override {
        std::printf("  caption %d   \"%s\"\n", index, text.c_str());
        RunRecorder::SetResultText(index, text);
    }
    void SetBarWidth(int index, float twips) override {
        std::printf("  bar %d       %.3f\n", index, static_cast<double>(twips));
    }
    void ShowDriveMessage(const std::string& text) override {
        std::printf("  MESSAGE     \"%s\"\n", text.c_str());
        RunRecorder::ShowDriveMessage(text);
    }
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override {
        std::printf("  ERROR       %d at %d: %s\n", number, location, description.c_str());
        RunRecorder::HandOffError(number, location, description);
    }
    void SetTestButtonEnabled(bool enabled) override {
        std::printf("  button      %s\n", enabled ? "enabled" : "disabled");
    }

    // The measured figure of a slot: seconds, or KB/sec.
    double Figure(int index) const { return Record(index).value().value; }
    bool failed() const { return !driveMessages().empty() || unexpectedError().has_value(); }
    bool Measured(int index) const { return Record(index).has_value(); }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Row {
    std::string step;
    std::vector<double> measured;  // seconds
    std::string baselineName;
    std::vector<double> baseline;  // seconds
    double lines = 0;              // per-line overhead shown when set
};

void PrintRows(const std::vector<Row>& rows) {
    std::printf("\n%-34s %12s  %-30s %12s %8s %14s\n", "step (median)", "ours ms", "raw limit",
                "raw ms", "ratio", "ns/line extra");
    for (const Row& row : rows) {
        const double ours = Median(row.measured);
        const double raw = Median(row.baseline);
        std::printf("%-34s %12.3f  %-30s %12.3f %8.3f", row.step.c_str(), ours * 1e3,
                    row.baselineName.c_str(), raw * 1e3, ours / raw);
        if (row.lines > 0) {
            const double best = *std::min_element(row.measured.begin(), row.measured.end());
            const double bestRaw = *std::min_element(row.baseline.begin(), row.baseline.end());
            std::printf(" %14.2f  (best of %zu: %.2f)", (ours - raw) / row.lines * 1e9,
                        row.measured.size(), (best - bestRaw) / row.lines * 1e9);
        }
        std::printf("\n");
    }
}

std::string Root(const std::string& dir) { return bench::DriveRootFromEntry(dir); }

// A stop signal ends the bench like a closing window: the run has removed its
// scratch files, the baselines' files go here, and nothing more is measured.
bool Stopped(const std::vector<std::string>& files) {
    if (bench::StopSignalNumber() == 0) return false;
    for (const std::string& file : files) std::remove(file.c_str());
    std::printf("stopped by signal %d\n", bench::StopSignalNumber());
    return true;
}

constexpr double kFillLineBytes = 1026.0;

// Fill lines of a baseline write: those of the write window, but no more than
// `copies` files of them leave the drive its reserve.
double BaselineLines(double windowLines, const std::string& dir, int copies) {
    const double room = static_cast<double>(perf::RoomOn(dir) / static_cast<std::uint64_t>(copies));
    return std::min(windowLines, std::floor(room / kFillLineBytes));
}

bool InTheWay(const perf::BaselineFiles& files) {
    if (files.inTheWay().empty()) return false;
    std::fprintf(stderr, "trevalon-bench: %s is not a file of this run; move it and run again\n",
                 files.inTheWay().c_str());
    return true;
}

bench::MeasureMode mode = bench::MeasureMode::kCached;

bench::TestEnvironment Environment() {
    return {bench::HostClock(), bench::HostFileLayer(), &bench::ProcessStopFlag(), mode};
}

int SingleCheck(const std::string& dir, int runs) {
    const std::string root = Root(dir);
    const std::string first = root + "trevalon-bench-1.tmp";
    const std::string second = root + "trevalon-bench-2.tmp";
    const perf::BaselineFiles baselineFiles({first, second});
    if (InTheWay(baselineFiles)) return 1;
    std::vector<Row> rows = {
        {"small file write (1,024,000 lines)", {}, "3,072,000 B in one write", {}, 1024000},
        {"small file read", {}, "3,072,000 B in one read", {}, 1024000},
        {"large file write (10,240,000 lines)", {}, "30,720,000 B in one write", {}, 10240000},
        {"large file read", {}, "30,720,000 B in one read", {}, 10240000},
        {"overall write (3 s window)", {}, "same bytes, 1 MiB writes", {}, 0},
        {"overall read", {}, "same bytes, 1 MiB reads", {}, 0},
        {"  our line reader, raw file", {}, "same file, 1 MiB reads", {}, 0},
        {"directory lookup (10,000 pairs)", {}, "20,000 stat calls", {}, 0},
        {"file copy", {}, "std::filesystem::copy_file", {}, 0},
        {"file delete (2 files)", {}, "2 unlink calls", {}, 0},
    };
    double peak = 0;
    std::vector<double> writeRates, readRates;
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of the single drive check on \"%s\"\n", run, dir.c_str());
        ConsoleView view({dir});
        perf::SettleWrites();
        bench::RunSingleDriveCheck(view, Environment());
        if (Stopped({})) return bench::StopSignalExitStatus();
        if (view.failed()) return 1;
        if (run == 1) peak = perf::PeakMemoryMiB();

        const double writeSpeed = view.Figure(4);  // KB/sec
        const double readSpeed = view.Figure(5);
        // Room for the copy too, as the check's own window keeps.
        const double lines = BaselineLines(std::round(writeSpeed * 3.0), root, 2);
        const auto bytes = static_cast<std::uint64_t>(lines * kFillLineBytes);
        rows[0].measured.push_back(view.Figure(0));
        rows[1].measured.push_back(view.Figure(1));
        rows[2].measured.push_back(view.Figure(2));
        rows[3].measured.push_back(view.Figure(3));
        // Speeds become the time the same bytes would take at that speed.
        rows[4].measured.push_back(writeSpeed > 0 ? lines / writeSpeed : 3.0);
        rows[5].measured.push_back(lines / readSpeed);
        rows[8].measured.push_back(view.Figure(6));
        rows[7].measured.push_back(view.Figure(7));
        rows[9].measured.push_back(view.Figure(8));

        perf::SettleWrites();
        rows[0].baseline.push_back(perf::WriteInOneGo(first, 3072000));
        rows[1].baseline.push_back(perf::ReadInOneGo(first));
        rows[2].baseline.push_back(perf::WriteInOneGo(first, 30720000));
        rows[3].baseline.push_back(perf::ReadInOneGo(first));
        if (Stopped({first})) return bench::StopSignalExitStatus();
        rows[4].baseline.push_back(perf::WriteInBlocks(first, bytes));
        rows[5].baseline.push_back(perf::ReadInBlocks(first));
        rows[6].baseline.push_back(rows[5].baseline.back());
        rows[6].measured.push_back(perf::ReadLinesWithOurPath(first));
        if (Stopped({first})) return bench::StopSignalExitStatus();
        rows[7].baseline.push_back(perf::PlainStats(first, second, 20000));
        rows[8].baseline.push_back(perf::PlainCopy(first, second));
        rows[9].baseline.push_back(perf::PlainDeletes(first, second));
        if (Stopped({first, second})) return bench::StopSignalExitStatus();
        writeRates.push_back(writeSpeed * 1024.0);
        readRates.push_back(readSpeed * 1024.0);
        std::printf("  (%.0f fill lines, %.1f MB in the write window)\n", lines,
                    static_cast<double>(bytes) / 1e6);
    }
    PrintRows(rows);
    std::printf("\noverall write: ours %.1f MB/s, raw %.1f MB/s, share %.1f%%\n",
                Median(writeRates) / 1e6, Median(writeRates) * 3.0 / Median(rows[4].baseline) / 1e6,
                100.0 * Median(rows[4].baseline) / 3.0);
    std::printf("overall read:  ours %.1f MB/s, share %.1f%%\n", Median(readRates) / 1e6,
                100.0 * Median(rows[5].baseline) / Median(rows[5].measured));
    std::printf("peak memory after the first check: %.1f MiB\n", peak);
    return 0;
}

int Comparison(const std::vector<std::string>& dirs, int runs) {
    std::vector<Row> rows;
    for (std::size_t k = 0; k < dirs.size(); ++k) {
        rows.push_back({"#" + std::to_string(k + 1) + " write " + dirs[k], {},
                        "same bytes, 1 MiB writes", {}, 0});
        rows.push_back({"#" + std::to_string(k + 1) + " read", {}, "same bytes, 1 MiB reads", {}, 0});
        rows.push_back({"#" + std::to_string(k + 1) + "   our line reader, raw file", {},
                        "same file, 1 MiB reads", {}, 0});
    }
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of the drive comparison\n", run);
        ConsoleView view(dirs);
        perf::SettleWrites();
        bench::RunDriveComparison(view, Environment());
        if (Stopped({})) return bench::StopSignalExitStatus();
        if (view.failed()) return 1;
        for (std::size_t k = 0; k < dirs.size(); ++k) {
            const int slot = static_cast<int>(k);
            if (!view.Measured(2 * slot + 1)) continue;  // a skipped slot
            const double writeSpeed = view.Figure(2 * slot);
            const double readSpeed = view.Figure(2 * slot + 1);
            const std::string file = Root(dirs[k]) + "trevalon-bench-1.tmp";
            const perf::BaselineFiles baselineFiles({file});
            if (InTheWay(baselineFiles)) return 1;
            const double lines =
                BaselineLines(std::max(std::round(writeSpeed * 3.0), 100.0), Root(dirs[k]), 1);
            rows[3 * k].measured.push_back(writeSpeed > 0 ? lines / writeSpeed : 3.0);
            perf::SettleWrites();
            rows[3 * k].baseline.push_back(
                perf::WriteInBlocks(file, static_cast<std::uint64_t>(lines * kFillLineBytes)));
            rows[3 * k + 1].measured.push_back(lines / readSpeed);
            rows[3 * k + 1].baseline.push_back(perf::ReadInBlocks(file));
            rows[3 * k + 2].baseline.push_back(rows[3 * k + 1].baseline.back());
            rows[3 * k + 2].measured.push_back(perf::ReadLinesWithOurPath(file));
            std::printf("  #%zu overall write %.0f KB/sec, read %.0f KB/sec (%.3f and %.3f MB/s)\n",
                        k + 1, writeSpeed, readSpeed, writeSpeed * kFillLineBytes / 1e6,
                        readSpeed * kFillLineBytes / 1e6);
            if (Stopped({})) return bench::StopSignalExitStatus();
        }
    }
    std::erase_if(rows, [](const Row& row) { return row.measured.empty(); });
    PrintRows(rows);
    std::printf("(a write row's ratio is our 3 s over the raw time for the same bytes: "
                "at most 1.333 means at least 75%% of the raw speed)\n");
    return 0;
}

int CopyTest(const std::vector<std::string>& dirs, int runs) {
    std::vector<Row> rows;
    for (std::size_t k = 1; k < dirs.size(); ++k) {
        rows.push_back({"copy to #" + std::to_string(k + 1) + " " + dirs[k], {},
                        "std::filesystem::copy_file", {}, 0});
    }
    const std::string source = Root(dirs[0]) + "trevalon-bench-1.tmp";
    std::vector<std::string> targets;
    for (std::size_t k = 1; k < dirs.size(); ++k) targets.push_back(Root(dirs[k]) + "trevalon-bench-2.tmp");
    std::vector<std::string> files = targets;
    files.insert(files.begin(), source);
    const perf::BaselineFiles baselineFiles(files);
    if (InTheWay(baselineFiles)) return 1;
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of the copy test\n", run);
        ConsoleView view(dirs);
        perf::SettleWrites();
        bench::RunCopyTest(view, Environment());
        if (Stopped({})) return bench::StopSignalExitStatus();
        if (view.failed()) return 1;
        // Like the copy test file, the source is copied straight after it is written.
        perf::SettleWrites();
        perf::WriteInBlocks(source, 10260000);
        for (std::size_t k = 1; k < dirs.size(); ++k) {
            if (!view.Measured(static_cast<int>(k) - 1)) continue;  // a skipped destination
            const std::string& target = targets[k - 1];
            rows[k - 1].measured.push_back(view.Figure(static_cast<int>(k) - 1));
            rows[k - 1].baseline.push_back(perf::PlainCopy(source, target));
            std::remove(target.c_str());
            if (Stopped({source})) return bench::StopSignalExitStatus();
        }
        std::remove(source.c_str());
    }
    std::erase_if(rows, [](const Row& row) { return row.measured.empty(); });
    PrintRows(rows);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: trevalon-bench [--uncached] [--runs N] DIR\n"
                 "       trevalon-bench [--uncached] [--runs N] --compare DIR...   (up to 4)\n"
                 "       trevalon-bench [--uncached] [--runs N] --copy SOURCE DEST...   (up to 3)\n"
                 "       trevalon-bench --soak DIR [RUNS]   (default 200 of each test)\n");
    return 2;
}

// The number of runs, when text is all digits and from 1 to 1000.
std::optional<int> RunsOf(const std::string& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int runs = std::stoi(text);
    if (runs < 1 || runs > 1000) return std::nullopt;
    return runs;
}

// A relative folder would otherwise read as a drive letter entry.
std::string Absolute(const std::string& dir) { return std::filesystem::absolute(dir).string(); }
std::vector<std::string> Absolute(std::vector<std::string> dirs) {
    for (std::string& dir : dirs) dir = Absolute(dir);
    return dirs;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--uncached") {
        mode = bench::MeasureMode::kUncached;
        perf::SetUncachedBaselines(true);
        args.erase(args.begin());
    }
    int runs = 3;
    if (!args.empty() && args[0] == "--runs") {
        const std::optional<int> given = args.size() >= 2 ? RunsOf(args[1]) : std::nullopt;
        if (!given) {
            std::fprintf(stderr, "trevalon-bench: --runs takes a whole number from 1 to 1000\n");
            return Usage();
        }
        runs = *given;
        args.erase(args.begin(), args.begin() + 2);
    }
    bench::InstallStopSignals();
    try {
        if (args.size() == 1 && args[0][0] != '-') return SingleCheck(Absolute(args[0]), runs);
        if (args.size() >= 2 && args.size() <= 5 && args[0] == "--compare") {
            return Comparison(Absolute(std::vector<std::string>(args.begin() + 1, args.end())), runs);
        }
        if (args.size() >= 2 && args.size() <= 3 && args[0] == "--soak") {
            return perf::Soak(Absolute(args[1]),
                              args.size() == 3 ? std::atoi(args[2].c_str()) : perf::kSoakRuns);
        }
        if (args.size() >= 3 && args.size() <= 5 && args[0] == "--copy") {
            return CopyTest(Absolute(std::vector<std::string>(args.begin() + 1, args.end())), runs);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "trevalon-bench: %s\n", error.what());
        return 1;
    }
    return Usage();
}

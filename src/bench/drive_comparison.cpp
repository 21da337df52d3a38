// cmdCompareDrives_Click's work: overall write and read speed of up to four drives.
#include <cstdint>
#include <string>
#include <vector>

#include "bench/drive_root.h"
#include "bench/drive_run.h"
#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "bench/stop_signals.h"

namespace trevalon::bench {
namespace {

constexpr int kDriveSlots = 4;
constexpr std::int64_t kRefillThreshold = 75;
constexpr std::int64_t kRefillLines = 100;
constexpr std::int64_t kFillLineBytes = 1026;

// Whether list k shows the same entry as a lower list.
bool ShownByLowerList(ViewOperations& view, int k, const std::string& entry) {
    for (int lower = 0; lower < k; ++lower) {
        if (view.GetDriveEntry(lower) == entry) return true;
    }
    return false;
}

// Overall write and read speed of drive list k, unless a lower list shows it.
void CompareDrive(DriveRun& run, int k, const std::string& fillLine) {
    ViewOperations& view = run.view();
    const std::string entry = view.GetDriveEntry(k);
    if (ShownByLowerList(view, k, entry)) return;
    const std::string root = DriveRootFromEntry(entry);
    if (root == kNoDriveRoot) return;
    const std::string scratch = root + std::string(kScratchFileName);

    run.MeasuringDrive(k, root);
    view.SetStatusText(run.DriveStatus("Testing Drive: ", root));
    run.Yield();
    run.RequireListedVolume(k, root);
    // The least it writes: the refill of a slow drive.
    run.RequireRoom(root, kRefillLines * kFillLineBytes);

    const DriveRun::TimedWrite written = run.TimeBoxedWrite(scratch, fillLine);
    run.ShowSpeed(2 * k, written.LinesPerSecond(), written.bytes);
    run.Yield();
    run.Yield();

    if (written.lines < kRefillThreshold) run.WriteLines(scratch, fillLine, kRefillLines);

    const double start = run.StartReadStep(scratch);
    const DriveRun::ReadBack read = run.ReadLines(scratch);
    const double end = run.Now();
    run.ShowReadBackSpeed(2 * k + 1, read, start, end);
    run.Yield();

    run.Delete(scratch);
}

void CompareDrives(DriveRun& run) {
    ViewOperations& view = run.view();
    view.SetTestButtonEnabled(false);
    const std::string fillLine = BuildFillLine();
    for (int k = 0; k < kDriveSlots; ++k) {
        view.SetResultText(2 * k, "");
        view.SetResultText(2 * k + 1, "");
        view.SetBarWidth(2 * k, kResetBarWidth);
        view.SetBarWidth(2 * k + 1, kResetBarWidth);
    }
    run.Yield();

    // Before anything is written anywhere.
    std::vector<std::string> scratchFiles;
    for (int k = 0; k < kDriveSlots; ++k) {
        const std::string root = DriveRootFromEntry(view.GetDriveEntry(k));
        if (root != kNoDriveRoot) scratchFiles.push_back(root + std::string(kScratchFileName));
    }
    run.RequireNothingInTheWay(scratchFiles);

    for (int k = 0; k < kDriveSlots; ++k) run.Slot([&] { CompareDrive(run, k, fillLine); });
    view.SetStatusText("Comparison Complete");
}

}  // namespace

void RunDriveComparison(ViewOperations& view) {
    RunDriveComparison(view, TestEnvironment{HostClock(), HostFileLayer(), &ProcessStopFlag()});
}

void RunDriveComparison(ViewOperations& view, const TestEnvironment& environment) {
    DriveRun run(view, environment, TestKind::kDriveComparison);
    run.Run([&] { CompareDrives(run); });
}

}  // namespace trevalon::bench

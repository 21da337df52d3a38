// cmdCopyComparison_Click's work: one file copied from a source drive to up
// to three destination drives, each copy timed.
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

constexpr int kDestinations = 3;
constexpr std::int64_t kCopyFileLines = 10'000;
constexpr std::uint64_t kCopyFileBytes = kCopyFileLines * 1026;

// Times the copy of the copy test file to drive list k, unless it is the source's.
void CopyToDrive(DriveRun& run, int k, const std::string& copyTestFile, std::uint64_t bytes) {
    ViewOperations& view = run.view();
    const std::string entry = view.GetDriveEntry(k);
    if (entry == view.GetDriveEntry(0)) return;
    const std::string destinationRoot = DriveRootFromEntry(entry);
    if (destinationRoot == kNoDriveRoot) return;
    const std::string target = destinationRoot + std::string(kScratchFileName);

    run.MeasuringDrive(k, destinationRoot);
    view.SetStatusText(run.DriveStatus("Copying To Drive: ", destinationRoot));
    run.Yield();
    run.RequireListedVolume(k, destinationRoot);
    run.RequireRoom(destinationRoot, kCopyFileBytes);

    const double start = run.StartReadStep(copyTestFile);
    run.CopyFile(copyTestFile, target);
    run.Wrote(target);
    run.ShowTime(k - 1, kCopyScale, start, bytes);
    run.Yield();
    run.Delete(target);
}

// Error messages name the drive being written: the source while the copy
// test file is made, then each destination.
void CopyToDrives(DriveRun& run) {
    ViewOperations& view = run.view();
    for (int slot = 0; slot < kDestinations; ++slot) run.ResetSlot(slot);
    view.SetStatusText("Creating File To Copy");
    run.Yield();

    const std::string sourceRoot = DriveRootFromEntry(view.GetDriveEntry(0));
    if (sourceRoot == kNoDriveRoot) {
        view.ShowDriveMessage(
            "I am unable to access the source drive, please ensure the drive has a disc "
            "inserted and is ready.");
        return;
    }
    run.MeasuringDrive(0, sourceRoot);
    const std::string copyTestFile = sourceRoot + std::string(kScratchFileName);
    run.RequireListedVolume(0, sourceRoot);
    // Before anything is written anywhere: the source's file and each copy target.
    std::vector<std::string> scratchFiles = {copyTestFile};
    for (int k = 1; k <= kDestinations; ++k) {
        const std::string entry = view.GetDriveEntry(k);
        const std::string root = DriveRootFromEntry(entry);
        if (entry != view.GetDriveEntry(0) && root != kNoDriveRoot) {
            scratchFiles.push_back(root + std::string(kScratchFileName));
        }
    }
    run.RequireNothingInTheWay(scratchFiles);
    run.RequireRoom(sourceRoot, kCopyFileBytes);
    const std::uint64_t bytes = run.WriteLines(copyTestFile, BuildFillLine(), kCopyFileLines);

    for (int k = 1; k <= kDestinations; ++k) {
        run.Slot([&] { CopyToDrive(run, k, copyTestFile, bytes); });
    }

    run.RemoveQuietly(copyTestFile);
    view.SetStatusText("Drive Copy Test Complete");
}

}  // namespace

void RunCopyTest(ViewOperations& view) {
    RunCopyTest(view, TestEnvironment{HostClock(), HostFileLayer(), &ProcessStopFlag()});
}

void RunCopyTest(ViewOperations& view, const TestEnvironment& environment) {
    DriveRun run(view, environment, TestKind::kCopyTest);
    run.Run([&] { CopyToDrives(run); });
}

}  // namespace trevalon::bench

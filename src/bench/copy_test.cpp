// cmdCopyComparison_Click's work: one file copied from a source drive to up
// to three destination drives, each copy timed.
#include <cstdint>
#include <string>

#include "bench/drive_root.h"
#include "bench/drive_run.h"
#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "bench/stop_signals.h"

namespace trevalon::bench {
namespace {

constexpr std::int32_t kLocation = 8;  // cmdCopyComparison_Click
constexpr int kDestinations = 3;
constexpr std::int64_t kCopyFileLines = 10'000;
constexpr std::uint64_t kCopyFileBytes = kCopyFileLines * 1026;

bool MovesOnToNextDestination(std::int32_t number) {
    return number == error_number::kBadFileName || number == error_number::kFileNotFound ||
           number == error_number::kDiskNotReady;
}

}  // namespace

void RunCopyTest(ViewOperations& view) {
    RunCopyTest(view, TestEnvironment{HostClock(), HostFileLayer(), &ProcessStopFlag()});
}

void RunCopyTest(ViewOperations& view, const TestEnvironment& environment) {
    DriveRun run(view, environment, TestKind::kCopyTest);
    // Error messages name the drive being written: the source while the copy
    // test file is made, then each destination.
    std::string messageRoot;
    try {
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
        messageRoot = sourceRoot;
        view.RecordDrive(0, sourceRoot);
        const std::string copyTestFile = sourceRoot + std::string(kScratchFileName);
        run.RequireListedVolume(0, sourceRoot);
        run.RequireRoom(sourceRoot, kCopyFileBytes);
        run.WriteLines(copyTestFile, BuildFillLine(), kCopyFileLines);

        for (int k = 1; k <= kDestinations; ++k) {
            std::string target;
            try {
                messageRoot.clear();
                const std::string entry = view.GetDriveEntry(k);
                if (entry == view.GetDriveEntry(0)) continue;
                const std::string destinationRoot = DriveRootFromEntry(entry);
                if (destinationRoot == kNoDriveRoot) continue;
                messageRoot = destinationRoot;
                target = destinationRoot + std::string(kScratchFileName);

                view.RecordDrive(k, destinationRoot);
                view.SetStatusText(run.DriveStatus("Copying To Drive: ", destinationRoot));
                run.Yield();
                run.RequireListedVolume(k, destinationRoot);
                run.RequireRoom(destinationRoot, kCopyFileBytes);

                const double start = run.StartReadStep(copyTestFile);
                run.CopyFile(copyTestFile, target);
                run.Wrote(target);
                run.ShowTime(k - 1, kCopyScale, start);
                run.Yield();
                run.Delete(target);
            } catch (const ProgramClosing&) {
                throw;
            } catch (...) {
                const RunTimeError error = CurrentRunTimeError();
                const auto message = DriveErrorMessage(error.number(), messageRoot);
                if (message && MovesOnToNextDestination(error.number())) {
                    if (target != copyTestFile) run.RemoveQuietly(target);
                    view.ShowDriveMessage(*message);
                    continue;
                }
                throw;
            }
        }

        run.RemoveQuietly(copyTestFile);
        view.SetStatusText("Drive Copy Test Complete");
    } catch (const ProgramClosing&) {
        // The program is closing: no further view call; the run's files go.
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        run.RemoveScratchFiles();
        if (const auto message = DriveErrorMessage(error.number(), messageRoot)) {
            view.ShowDriveMessage(*message);
            view.SetStatusText("Drive Error");
        } else {
            view.HandOffError(error.number(), kLocation, error.description());
        }
    }
}

}  // namespace trevalon::bench

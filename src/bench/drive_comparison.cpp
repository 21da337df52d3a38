// cmdCompareDrives_Click's work: overall write and read speed of up to four drives.
#include <cstdint>
#include <string>

#include "bench/drive_root.h"
#include "bench/drive_run.h"
#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "bench/stop_signals.h"

namespace trevalon::bench {
namespace {

constexpr std::int32_t kLocation = 7;  // cmdCompareDrives_Click
constexpr int kDriveSlots = 4;
constexpr std::int64_t kRefillThreshold = 75;
constexpr std::int64_t kRefillLines = 100;

bool MovesOnToNextSlot(std::int32_t number) {
    return number == error_number::kBadFileName || number == error_number::kFileNotFound ||
           number == error_number::kDiskNotReady;
}

// Whether list k shows the same entry as a lower list.
bool ShownByLowerList(ViewOperations& view, int k, const std::string& entry) {
    for (int lower = 0; lower < k; ++lower) {
        if (view.GetDriveEntry(lower) == entry) return true;
    }
    return false;
}

}  // namespace

void RunDriveComparison(ViewOperations& view) {
    RunDriveComparison(view, TestEnvironment{HostClock(), HostFileLayer(), &ProcessStopFlag()});
}

void RunDriveComparison(ViewOperations& view, const TestEnvironment& environment) {
    DriveRun run(view, environment, TestKind::kDriveComparison);
    try {
        view.SetTestButtonEnabled(false);
        const std::string fillLine = BuildFillLine();
        for (int k = 0; k < kDriveSlots; ++k) {
            view.SetResultText(2 * k, "");
            view.SetResultText(2 * k + 1, "");
            view.SetBarWidth(2 * k, kResetBarWidth);
            view.SetBarWidth(2 * k + 1, kResetBarWidth);
        }
        run.Yield();

        for (int k = 0; k < kDriveSlots; ++k) {
            std::string root;
            try {
                const std::string entry = view.GetDriveEntry(k);
                if (ShownByLowerList(view, k, entry)) continue;
                root = DriveRootFromEntry(entry);
                if (root == kNoDriveRoot) continue;
                const std::string scratch = root + std::string(kScratchFileName);

                view.RecordDrive(k, root);
                view.SetStatusText(run.DriveStatus("Testing Drive: ", root));
                run.Yield();
                run.RequireListedVolume(k, root);
                run.RequireRoom(root, kShortLineFilesBytes);

                const DriveRun::TimedWrite written = run.TimeBoxedWrite(scratch, fillLine);
                run.ShowSpeed(2 * k, written.LinesPerSecond());
                run.Yield();
                run.Yield();

                if (written.lines < kRefillThreshold) run.WriteLines(scratch, fillLine, kRefillLines);

                const double start = run.StartReadStep(scratch);
                const std::int64_t read = run.ReadLines(scratch);
                const double end = run.Now();
                run.ShowReadBackSpeed(2 * k + 1, read, start, end);
                run.Yield();

                run.Delete(scratch);
            } catch (const ProgramClosing&) {
                throw;
            } catch (...) {
                const RunTimeError error = CurrentRunTimeError();
                run.RemoveScratchFiles();
                const auto message = DriveErrorMessage(error.number(), root);
                if (message && MovesOnToNextSlot(error.number())) {
                    view.ShowDriveMessage(*message);
                    continue;
                }
                if (message) {
                    view.ShowDriveMessage(*message);
                    view.SetStatusText("Drive Error");
                } else {
                    view.HandOffError(error.number(), kLocation, error.description());
                }
                view.SetTestButtonEnabled(true);
                return;
            }
        }
        view.SetStatusText("Comparison Complete");
        view.SetTestButtonEnabled(true);
    } catch (const ProgramClosing&) {
        // The program is closing: no further view call; the run's files go.
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        run.RemoveScratchFiles();
        view.HandOffError(error.number(), kLocation, error.description());
        view.SetTestButtonEnabled(true);
    }
}

}  // namespace trevalon::bench

// cmdCheckSpeed_Click's work: nine measurements of one drive.
#include <cstdint>
#include <string>

#include "bench/drive_root.h"
#include "bench/drive_run.h"
#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "bench/stop_signals.h"

namespace trevalon::bench {
namespace {

constexpr std::int32_t kLocation = 6;  // cmdCheckSpeed_Click
constexpr int kSlots = 9;
constexpr std::int64_t kSmallFileLines = 1'024'000;
constexpr std::int64_t kLargeFileLines = 10'240'000;
constexpr int kLookupPairs = 10'000;

}  // namespace

void RunSingleDriveCheck(ViewOperations& view) {
    RunSingleDriveCheck(view, TestEnvironment{HostClock(), HostFileLayer(), &ProcessStopFlag()});
}

void RunSingleDriveCheck(ViewOperations& view, const TestEnvironment& environment) {
    DriveRun run(view, environment, TestKind::kSingleDriveCheck);
    std::int16_t marker = 1;
    std::string root;
    try {
        for (int index = 0; index < kSlots; ++index) {
            run.ResetSlot(index);
            run.Yield();
        }
        const std::string fillLine = BuildFillLine();
        root = DriveRootFromEntry(view.GetDriveEntry(0));
        if (root == kNoDriveRoot) {
            view.SetStatusText("Drive Not Ready");
            return;
        }
        const std::string first = root + std::string(kScratchFileName);
        const std::string second = root + std::string(kSecondScratchFileName);

        view.RecordDrive(0, root);
        view.SetStatusText(run.DriveStatus("Testing Drive: ", root));
        marker = 2;
        run.Yield();
        run.RequireListedVolume(0, root);
        run.RequireRoom(root, kShortLineFilesBytes);

        // Small file write and read.
        double start = run.Now();
        {
            TextFileWriter writer(run.files(), first, kTextBufferSize, run.stop());
            run.Wrote(first);
            marker = 3;
            for (std::int64_t i = 0; i < kSmallFileLines; ++i) writer.WriteLine(kShortLine);
            run.FinishWrite(writer);
        }
        run.ShowTime(0, kSmallFileScale, start);
        run.Yield();

        marker = 4;
        run.Yield();
        start = run.StartReadStep(first);
        run.ReadLines(first);
        marker = 5;
        run.ShowTime(1, kSmallFileScale, start);
        run.Yield();

        // Large file write and read.
        start = run.Now();
        run.WriteLines(first, kShortLine, kLargeFileLines);
        marker = 6;
        run.ShowTime(2, kLargeFileScale, start);
        run.Yield();
        run.Yield();

        start = run.StartReadStep(first);
        run.ReadLines(first);
        marker = 7;
        run.ShowTime(3, kLargeFileScale, start);
        run.Yield();
        run.Yield();

        // Overall write and read speed.
        marker = 8;
        // Room for the copy of this file too.
        const DriveRun::TimedWrite written = run.TimeBoxedWrite(first, fillLine, 2);
        marker = 9;
        run.ShowSpeed(4, written.LinesPerSecond());
        run.Yield();
        run.Yield();

        start = run.StartReadStep(first);
        const std::int64_t read = run.ReadLines(first, [&] { marker = 10; });
        const double end = run.Now();
        run.ShowReadBackSpeed(5, read, start, end);
        run.Yield();

        // Directory lookups, copy, delete.
        marker = 11;
        start = run.Now();
        for (int i = 0; i < kLookupPairs; ++i) {
            run.ThrowIfStopped();
            (void)run.files().IsNormalFile(first);
            (void)run.files().IsNormalFile(second);
        }
        run.ShowTime(7, kLookupDeleteScale, start);
        run.Yield();

        marker = 12;
        start = run.StartReadStep(first);
        run.CopyFile(first, second);
        run.Wrote(second);
        run.ShowTime(6, kCopyScale, start);
        run.Yield();

        marker = 13;
        start = run.Now();
        run.Delete(first);
        run.Delete(second);
        run.FinishDeleteStep(root);
        run.ShowTime(8, kLookupDeleteScale, start);
        run.Yield();

        view.SetStatusText("Done");
    } catch (const ProgramClosing&) {
        // The program is closing: no further view call; the run's files go.
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        run.RemoveScratchFiles();
        if (const auto message = DriveErrorMessage(error.number(), root)) {
            view.ShowDriveMessage(*message);
            view.SetStatusText("Drive Error");
        } else {
            view.HandOffError(error.number(), kLocation,
                              error.description() + " Position: " + std::to_string(marker));
        }
    }
}

}  // namespace trevalon::bench

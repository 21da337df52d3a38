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

constexpr int kSlots = 9;
constexpr std::int64_t kSmallFileLines = 1'024'000;
constexpr std::int64_t kLargeFileLines = 10'240'000;
constexpr int kLookupPairs = 10'000;

void CheckDrive(DriveRun& run) {
    ViewOperations& view = run.view();
    for (int index = 0; index < kSlots; ++index) {
        run.ResetSlot(index);
        run.Yield();
    }
    const std::string fillLine = BuildFillLine();
    const std::string root = DriveRootFromEntry(view.GetDriveEntry(0));
    if (root == kNoDriveRoot) {
        view.SetStatusText("Drive Not Ready");
        return;
    }
    const std::string first = root + std::string(kScratchFileName);
    const std::string second = root + std::string(kSecondScratchFileName);

    run.MeasuringDrive(0, root);
    view.SetStatusText(run.DriveStatus("Testing Drive: ", root));
    run.Mark(2);
    run.Yield();
    run.RequireListedVolume(0, root);
    run.RequireNothingInTheWay({first, second});
    run.RequireRoom(root, kShortLineFilesBytes);

    // Small file write and read.
    double start = run.Now();
    run.MarkOnceOpen(3);
    std::uint64_t bytes = run.WriteLines(first, kShortLine, kSmallFileLines);
    run.ShowTime(0, kSmallFileScale, start, bytes);
    run.Yield();

    run.Mark(4);
    run.Yield();
    start = run.StartReadStep(first);
    bytes = run.ReadLines(first).bytes;
    run.Mark(5);
    run.ShowTime(1, kSmallFileScale, start, bytes);
    run.Yield();

    // Large file write and read.
    start = run.Now();
    bytes = run.WriteLines(first, kShortLine, kLargeFileLines);
    run.Mark(6);
    run.ShowTime(2, kLargeFileScale, start, bytes);
    run.Yield();
    run.Yield();

    start = run.StartReadStep(first);
    bytes = run.ReadLines(first).bytes;
    run.Mark(7);
    run.ShowTime(3, kLargeFileScale, start, bytes);
    run.Yield();
    run.Yield();

    // Overall write and read speed.
    run.Mark(8);
    // Room for the copy of this file too.
    const DriveRun::TimedWrite written = run.TimeBoxedWrite(first, fillLine, 2);
    run.Mark(9);
    run.ShowSpeed(4, written.LinesPerSecond(), written.bytes);
    run.Yield();
    run.Yield();

    start = run.StartReadStep(first);
    run.MarkOnceOpen(10);
    const DriveRun::ReadBack read = run.ReadLines(first);
    const double end = run.Now();
    run.ShowReadBackSpeed(5, read, start, end);
    run.Yield();

    // Directory lookups, copy, delete.
    run.Mark(11);
    start = run.Now();
    for (int i = 0; i < kLookupPairs; ++i) {
        run.ThrowIfStopped();
        (void)run.files().IsNormalFile(first);
        (void)run.files().IsNormalFile(second);
    }
    run.ShowTime(7, kLookupDeleteScale, start);
    run.Yield();

    run.Mark(12);
    start = run.StartReadStep(first);
    run.CopyFile(first, second);
    run.Wrote(second);
    // The copy holds what the read-back found in its source.
    run.ShowTime(6, kCopyScale, start, read.bytes);
    run.Yield();

    run.Mark(13);
    start = run.Now();
    run.Delete(first);
    run.Delete(second);
    run.FinishDeleteStep(root);
    run.ShowTime(8, kLookupDeleteScale, start, 2 * read.bytes);
    run.Yield();

    view.SetStatusText("Done");
}

}  // namespace

void RunSingleDriveCheck(ViewOperations& view) {
    RunSingleDriveCheck(view, TestEnvironment{HostClock(), HostFileLayer(), &ProcessStopFlag()});
}

void RunSingleDriveCheck(ViewOperations& view, const TestEnvironment& environment) {
    DriveRun run(view, environment, TestKind::kSingleDriveCheck);
    run.Run([&] { CheckDrive(run); });
}

}  // namespace trevalon::bench

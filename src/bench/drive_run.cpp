#include "bench/drive_run.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

#include "bench/formats.h"
#include "common/error_locations.h"

namespace trevalon::bench {
namespace {

// Write-behind pieces of the uncached time-boxed write: a wait for the
// drive of about this long keeps the final sync short on a slow drive
// and the drive busy on a fast one.
constexpr double kWriteBehindSeconds = 0.25;
constexpr std::uint64_t kFirstWriteBehind = 256 * 1024;
constexpr std::uint64_t kMostWriteBehind = 64 * 1024 * 1024;
// What a file may take beyond its bytes (blocks, extents), so that the
// reserve holds in the file system's own count.
constexpr std::uint64_t kAllocationSlack = 1024 * 1024;
// How often a drive short of room is asked to count what deletes freed.
constexpr int kFreedSpaceWaits = 2;

}  // namespace

std::string BuildFillLine() {
    std::string line;
    line.reserve(1024);
    for (int i = 0; i < 1024; ++i) line += 'X';
    return line;
}

std::optional<std::string> DriveErrorMessage(std::int32_t number, const std::string& driveRoot) {
    switch (number) {
        case error_number::kBadFileName:
        case error_number::kFileNotFound:
        case error_number::kDiskNotReady:
            return "I am unable to access " + driveRoot +
                   ", please ensure that the drive has a writable disk inserted.";
        case error_number::kDiskFull:
            return "I am unable to access " + driveRoot +
                   ", the drive is reporting that it is full.  Please ensure the drive has at "
                   "least 10 MB of space.";
        case error_number::kPathFileAccess:
            return "The drive you are trying to test is read only, this program needs to be able "
                   "to write a file to the drive in order to test it's speed.";
        default:
            return std::nullopt;
    }
}

DriveRun::DriveRun(ViewOperations& view, const TestEnvironment& environment,
                   TestKind test)
    : view_(view),
      clock_(environment.clock),
      files_(environment.files),
      stop_(environment.stop),
      separators_(view.GetNumberSeparators()),
      test_(test),
      policy_(PolicyOf(test)),
      mode_(environment.mode) {}

RunPolicy PolicyOf(TestKind test) {
    switch (test) {
        case TestKind::kSingleDriveCheck:
            return {.location = location::kCheckSpeedClick,
                    .overflowResumes = true,
                    .reportsPosition = true};
        case TestKind::kDriveComparison:
            return {.location = location::kCompareDrivesClick,
                    .movesOn = true,
                    .messagesOnlyInSlots = true,
                    .enablesButton = true};
        case TestKind::kCopyTest:
            break;
    }
    return {.location = location::kCopyComparisonClick, .movesOn = true};
}

bool DriveRun::MovesOn(const RunTimeError& error) const {
    const std::int32_t number = error.number();
    return policy_.movesOn &&
           (number == error_number::kBadFileName || number == error_number::kFileNotFound ||
            number == error_number::kDiskNotReady);
}

void DriveRun::MeasuringDrive(int list, const std::string& root) {
    root_ = root;
    view_.RecordDrive(list, root);
}

void DriveRun::EndWith(const RunTimeError& error, bool driveMessage) {
    if (const auto message = DriveErrorMessage(error.number(), root_); message && driveMessage) {
        view_.ShowDriveMessage(*message);
        view_.SetStatusText("Drive Error");
        return;
    }
    std::string description = error.description();
    if (policy_.reportsPosition) description += " Position: " + std::to_string(marker_);
    view_.HandOffError(error.number(), policy_.location, description);
}

void DriveRun::Finish() {
    if (policy_.enablesButton) view_.SetTestButtonEnabled(true);
}

DriveRun::~DriveRun() { RemoveScratchFiles(); }

void DriveRun::ResetSlot(int index) {
    view_.SetResultText(index, "");
    view_.SetBarWidth(index, kResetBarWidth);
}

void DriveRun::Wrote(const std::string& path) {
    if (!Owns(path)) written_.push_back(path);
}

bool DriveRun::Owns(const std::string& path) const {
    return std::find(written_.begin(), written_.end(), path) != written_.end();
}

void DriveRun::Delete(const std::string& path) {
    files_.DeleteFile(path);
    std::erase(written_, path);
}

void DriveRun::RemoveQuietly(const std::string& path) noexcept {
    if (!Owns(path)) return;
    try {
        if (bench::StopRequested(stop_)) {
            files_.DeleteAbandonedFile(path);
        } else {
            files_.DeleteFile(path);
        }
    } catch (...) {
        // Nothing more can be done about it here.
    }
    std::erase(written_, path);
}

void DriveRun::RemoveScratchFiles() noexcept {
    while (!written_.empty()) RemoveQuietly(written_.back());
}

std::uint64_t DriveRun::WriteLines(const std::string& path, std::string_view text,
                                   std::int64_t count) {
    TextFileWriter writer(files_, path, kTextBufferSize, stop_, Uncached());
    Wrote(path);
    Opened();
    for (std::int64_t i = 0; i < count; ++i) writer.WriteLine(text);
    FinishWrite(writer);
    return writer.Handed();
}

std::string DriveRun::DriveStatus(std::string_view text, const std::string& root) const {
    std::string status = std::string(text) + root;
    if (Uncached()) status += " (uncached)";
    return status;
}

double DriveRun::StartReadStep(const std::string& path) {
    if (Uncached()) files_.DropCachedPages(path);
    return clock_.Now();
}

void DriveRun::FinishWrite(TextFileWriter& writer) {
    if (Uncached()) writer.SyncData();
    writer.Close();
}

void DriveRun::FinishDeleteStep(const std::string& directory) {
    if (Uncached()) files_.SyncDirectory(directory);
}

void DriveRun::RequireListedVolume(int list, const std::string& root) {
    const std::optional<std::uint64_t> listed = view_.GetDriveVolume(list);
    if (!listed) return;
    const std::optional<std::uint64_t> now = files_.VolumeOf(root);
    if (now && *now != *listed) throw HostFileError(ENODEV);
}

void DriveRun::RequireRoom(const std::string& root, std::uint64_t bytes) {
    std::optional<DriveSpace> space = files_.SpaceOf(root);
    // What deletes freed (an earlier run's files) may be counted only later.
    for (int wait = 0; space && RoomOf(*space) < bytes && wait < kFreedSpaceWaits; ++wait) {
        files_.CommitFreedSpace(root);
        space = files_.SpaceOf(root);
    }
    if (space && RoomOf(*space) < bytes) throw HostFileError(ENOSPC);
}

void DriveRun::RequireNothingInTheWay(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (files_.LookAt(path) && !IsLeftOver(files_, path)) throw FileInTheWay{path};
    }
}

DriveRun::TimedWrite DriveRun::TimeBoxedWrite(const std::string& path, std::string_view fillLine,
                                              int copies) {
    const std::uint64_t lineBytes = fillLine.size() + 2;
    std::int64_t lines = 0;
    const double start = clock_.Now();
    TextFileWriter writer(files_, path, kTextBufferSize, stop_, Uncached());
    Wrote(path);
    writer.PaceWith(HostClock());
    std::int64_t most = std::numeric_limits<std::int64_t>::max();
    if (const std::optional<DriveSpace> space = files_.SpaceOf(path)) {
        const std::uint64_t perCopy = RoomOf(*space) / static_cast<std::uint64_t>(copies);
        most = static_cast<std::int64_t>(
            (perCopy > kAllocationSlack ? perCopy - kAllocationSlack : 0) / lineBytes);
    }
    bool early = false;
    // Uncached, what the host holds unwritten stays at most about two of
    // these, sized so each wait for the drive stays short.
    std::uint64_t behind = kFirstWriteBehind;
    std::uint64_t behindAt = 0;
    try {
        while (clock_.Now() - start < kWriteWindowSeconds) {
            bench::ThrowIfStopped(stop_);
            if (lines == most) {
                early = true;
                break;
            }
            writer.WriteLine(fillLine);
            ++lines;
            if (Uncached() && writer.Handed() - behindAt >= behind) {
                const double waitStart = clock_.Now();
                writer.WriteBehind();
                behindAt = writer.Handed();
                const double waited = clock_.Now() - waitStart;
                if (waited > kWriteBehindSeconds) {
                    behind = std::max(behind / 2, kFirstWriteBehind / 4);
                } else if (waited < kWriteBehindSeconds / 4) {
                    behind = std::min(behind * 2, kMostWriteBehind);
                }
            }
        }
        FinishWrite(writer);
    } catch (const RunTimeError& error) {
        if (error.hostCode() != EFBIG) throw;
        // The largest file this file system holds: the window ends here.
        lines = static_cast<std::int64_t>(writer.Handed() / lineBytes);
        early = true;
    }
    // Uncached, the window's end is not the end: the drive took until the sync ended.
    if (!early && !Uncached()) return {lines, kWriteWindowSeconds, writer.Handed()};
    return {lines, Elapsed(start, clock_.Now()), writer.Handed()};
}

void DriveRun::CopyFile(const std::string& from, const std::string& to) {
    files_.CopyFileUnlessStopped(from, to, stop_);
    // Owned before the sync, which a stop or a drive error can end.
    Wrote(to);
    if (Uncached()) files_.SyncFileUnlessStopped(to, stop_);
}

template <typename Show>
void DriveRun::Display(Show show) {
    // A step the stop request came in has no figure to show.
    bench::ThrowIfStopped(stop_);
    try {
        show();
    } catch (const RunTimeError& error) {
        if (!policy_.overflowResumes || error.number() != error_number::kOverflow) throw;
    }
}

double DriveRun::Elapsed(double start, double end) {
    return std::max(end - start, clock_.Tick());
}

void DriveRun::ShowTime(int index, double fullScale, double start,
                        std::optional<std::uint64_t> bytes) {
    const double end = clock_.Now();
    Display([&] { view_.SetBarWidth(index, BarWidth(fullScale, end - start)); });
    const double captionEnd = clock_.Now();
    Display([&] { view_.SetResultText(index, FormatTime(captionEnd - start, separators_)); });
    view_.RecordResult({test_, index, captionEnd - start, ResultUnit::kSeconds, bytes});
}

void DriveRun::ShowSpeed(int index, double kbPerSecond, std::uint64_t bytes) {
    Display([&] { view_.SetBarWidth(index, BarWidth(kSpeedScale, kbPerSecond)); });
    Display([&] { view_.SetResultText(index, FormatSpeed(kbPerSecond, separators_)); });
    view_.RecordResult({test_, index, kbPerSecond, ResultUnit::kKilobytesPerSecond, bytes});
}

void DriveRun::ShowReadBackSpeed(int index, const ReadBack& read, double start, double end) {
    const auto count = static_cast<double>(read.lines);
    Display([&] { view_.SetBarWidth(index, BarWidth(kSpeedScale, count / Elapsed(start, end))); });
    const double captionEnd = clock_.Now();
    const double speed = count / Elapsed(start, captionEnd);
    Display([&] { view_.SetResultText(index, FormatSpeed(speed, separators_)); });
    view_.RecordResult({test_, index, speed, ResultUnit::kKilobytesPerSecond, read.bytes});
}

}  // namespace trevalon::bench

// The one run loop of the three drive tests: it owns their yields, timing,
// scratch files, step markers, captions and the sorting of their errors, so
// that each test is only its list of steps.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "bench/drive_room.h"
#include "bench/drive_tests.h"
#include "bench/run_error.h"
#include "bench/text_file.h"

namespace trevalon::bench {

inline constexpr std::string_view kScratchFileName = "DriveSpeedTest.txt";
inline constexpr std::string_view kSecondScratchFileName = "DriveSpeedTest2.txt";
inline constexpr std::string_view kShortLine = "X";
inline constexpr double kWriteWindowSeconds = 3.0;

// 1024 characters "X", built afresh for each run.
std::string BuildFillLine();

// The message for a drive error of the table, if the number is one.
std::optional<std::string> DriveErrorMessage(std::int32_t number, const std::string& driveRoot);

// How a test's errors end it; each test has one.
struct RunPolicy {
    std::int32_t location;
    // An overflow (6) in showing a figure skips only that display item.
    bool overflowResumes = false;
    // A drive that is missing or not ready (52, 53, 71) gets its message and
    // the run moves on to the next slot.
    bool movesOn = false;
    // The report names the step marker the run stood at.
    bool reportsPosition = false;
    // Errors outside a slot are handed off even when they name a drive.
    bool messagesOnlyInSlots = false;
    // The test button is enabled again however the run ends (but closing).
    bool enablesButton = false;
};
RunPolicy PolicyOf(TestKind test);

class DriveRun {
public:
    DriveRun(ViewOperations& view, const TestEnvironment& environment, TestKind test);
    DriveRun(const DriveRun&) = delete;
    DriveRun& operator=(const DriveRun&) = delete;
    // Whatever ended the run, none of its scratch files stays behind.
    ~DriveRun();

    // Runs the test's steps. Closing ends it without a further view call;
    // any other error is sorted by the test's policy. The run's files go.
    template <typename Steps>
    void Run(Steps steps);
    // One drive slot of a run that moves on: a drive that is missing or not
    // ready gets its message, its files go, and the run goes on.
    template <typename Steps>
    void Slot(Steps steps);
    // Drive list `list`'s measurements begin at root; its errors name it.
    void MeasuringDrive(int list, const std::string& root);
    // The step marker from here on, and the one from when the next file the
    // run opens is open.
    void Mark(std::int16_t marker) { marker_ = marker; }
    void MarkOnceOpen(std::int16_t marker) { markOnOpen_ = marker; }
    std::int16_t marker() const { return marker_; }

    ViewOperations& view() { return view_; }
    FileLayer& files() { return files_; }
    double Now() { return clock_.Now(); }

    void Yield() {
        bench::ThrowIfStopped(stop_);
        if (!view_.YieldToWindow()) throw ProgramClosing{};
    }
    void ThrowIfStopped() const { bench::ThrowIfStopped(stop_); }
    const StopFlag* stop() const { return stop_; }
    void ResetSlot(int index);

    // Scratch files this run has written and not yet deleted.
    void Wrote(const std::string& path);
    void Delete(const std::string& path);
    void RemoveQuietly(const std::string& path) noexcept;
    void RemoveScratchFiles() noexcept;
    bool Owns(const std::string& path) const;

    bool Uncached() const { return mode_ == MeasureMode::kUncached; }
    // A status text naming a drive, marked while measuring uncached.
    std::string DriveStatus(std::string_view text, const std::string& root) const;
    // The start of a step that reads path: uncached, its pages leave the
    // cache first, outside the step's interval.
    double StartReadStep(const std::string& path);
    // Ends a write step's file: uncached, its data is on the drive first.
    void FinishWrite(TextFileWriter& writer);
    // Ends a delete step: uncached, once the directory's entries are on the drive.
    void FinishDeleteStep(const std::string& directory);

    // Opens for writing (create or empty), writes count lines, closes;
    // the bytes written.
    std::uint64_t WriteLines(const std::string& path, std::string_view text, std::int64_t count);
    struct ReadBack {
        std::int64_t lines;
        std::uint64_t bytes;
    };
    // Opens, reads to the end, closes; afterOpen runs once the file is open.
    template <typename AfterOpen>
    ReadBack ReadLines(const std::string& path, AfterOpen afterOpen);
    ReadBack ReadLines(const std::string& path) {
        return ReadLines(path, [] {});
    }
    // Raises the not-ready error when drive list `list` was filled while
    // another file system was mounted at root.
    void RequireListedVolume(int list, const std::string& root);
    // Raises the full-drive error unless root's drive can take bytes more
    // and keep its reserve.
    void RequireRoom(const std::string& root, std::uint64_t bytes);
    // Raises FileInTheWay for the first of the paths that holds something
    // other than nothing or a left-over of an earlier run.
    void RequireNothingInTheWay(const std::vector<std::string>& paths);

    struct TimedWrite {
        std::int64_t lines;
        double seconds;
        std::uint64_t bytes;
        double LinesPerSecond() const { return static_cast<double>(lines) / seconds; }
    };
    // Fill lines begun within the write window; the file stays. It ends
    // early, over the time it took, at the file system's file-size limit or
    // where `copies` files of its size would cut into the drive's reserve.
    TimedWrite TimeBoxedWrite(const std::string& path, std::string_view fillLine, int copies = 1);
    // Copies in pieces, abandoned between two once a stop is requested;
    // uncached, it ends once the target's data is on the drive.
    void CopyFile(const std::string& from, const std::string& to);

    // Bar from one end reading, caption from a second one. bytes: what the
    // step's files held, for the record.
    void ShowTime(int index, double fullScale, double start,
                  std::optional<std::uint64_t> bytes = std::nullopt);
    void ShowSpeed(int index, double kbPerSecond, std::uint64_t bytes);
    // lines / elapsed, the elapsed time never less than one tick of the clock.
    void ShowReadBackSpeed(int index, const ReadBack& read, double start, double end);

private:
    template <typename Show>
    void Display(Show show);
    double Elapsed(double start, double end);
    void Opened() {
        if (markOnOpen_) marker_ = *std::exchange(markOnOpen_, std::nullopt);
    }
    void EndWith(const RunTimeError& error, bool driveMessage);
    void Finish();
    bool MovesOn(const RunTimeError& error) const;

    ViewOperations& view_;
    Clock& clock_;
    FileLayer& files_;
    const StopFlag* stop_;
    NumberSeparators separators_;
    TestKind test_;
    RunPolicy policy_;
    MeasureMode mode_;
    std::vector<std::string> written_;
    std::string root_;
    std::int16_t marker_ = 1;
    std::optional<std::int16_t> markOnOpen_;
    bool slotFailed_ = false;
};

template <typename Steps>
void DriveRun::Run(Steps steps) {
    try {
        steps();
        Finish();
    } catch (const ProgramClosing&) {
        // No further view call; the destructor removes the run's files.
    } catch (const FileInTheWay& blocked) {
        RemoveScratchFiles();
        view_.ShowDriveMessage(FileInTheWayMessage(blocked.path));
        view_.SetStatusText("Drive Error");
        Finish();
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        RemoveScratchFiles();
        EndWith(error, slotFailed_ || !policy_.messagesOnlyInSlots);
        Finish();
    }
}

template <typename Steps>
void DriveRun::Slot(Steps steps) {
    const std::vector<std::string> before = written_;
    root_.clear();
    try {
        steps();
    } catch (const ProgramClosing&) {
        throw;
    } catch (const FileInTheWay&) {
        throw;  // ends the whole run
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        const auto message = DriveErrorMessage(error.number(), root_);
        if (!message || !MovesOn(error)) {
            slotFailed_ = true;
            throw;
        }
        // Only the files of this slot: an earlier slot's may still be needed.
        const std::vector<std::string> now = written_;
        for (auto file = now.rbegin(); file != now.rend(); ++file) {
            if (std::find(before.begin(), before.end(), *file) == before.end()) RemoveQuietly(*file);
        }
        view_.ShowDriveMessage(*message);
    }
}

template <typename AfterOpen>
DriveRun::ReadBack DriveRun::ReadLines(const std::string& path, AfterOpen afterOpen) {
    TextFileReader reader(files_, path, kTextBufferSize, stop_, Uncached());
    Opened();
    afterOpen();
    std::int64_t lines = 0;
    std::string_view line;
    while (reader.ReadLine(line)) ++lines;
    reader.Close();
    return {lines, reader.Taken()};
}

}  // namespace trevalon::bench

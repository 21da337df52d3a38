// What the three drive tests share while a run is in progress: its yields,
// its scratch files, its timed steps, its captions and its drive errors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/drive_tests.h"
#include "bench/run_error.h"
#include "bench/text_file.h"

namespace trevalon::bench {

inline constexpr std::string_view kScratchFileName = "DriveSpeedTest.txt";
inline constexpr std::string_view kSecondScratchFileName = "DriveSpeedTest2.txt";
inline constexpr std::string_view kShortLine = "X";
inline constexpr double kWriteWindowSeconds = 3.0;
// The small and the large file of the single drive check, in bytes.
inline constexpr std::uint64_t kShortLineFilesBytes = 3 * (1'024'000 + 10'240'000);

// The free space a run leaves on any drive: 5% of it, at most 2 GiB and
// never less than 64 MiB.
std::uint64_t SpaceReserve(std::uint64_t capacity);

// 1024 characters "X", built afresh for each run.
std::string BuildFillLine();

// The message for a drive error of the table, if the number is one.
std::optional<std::string> DriveErrorMessage(std::int32_t number, const std::string& driveRoot);

// The error being handled in a catch block, as a run-time error.
RunTimeError CurrentRunTimeError();

class DriveRun {
public:
    // In the single drive check an overflow (6) in showing a figure skips
    // only that display item.
    DriveRun(ViewOperations& view, const TestEnvironment& environment, TestKind test);
    DriveRun(const DriveRun&) = delete;
    DriveRun& operator=(const DriveRun&) = delete;
    // Whatever ended the run, none of its scratch files stays behind.
    ~DriveRun();

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

    // Opens for writing (create or empty), writes count lines, closes.
    void WriteLines(const std::string& path, std::string_view text, std::int64_t count);
    // Opens, reads to the end, closes; afterOpen runs once the file is open.
    template <typename AfterOpen>
    std::int64_t ReadLines(const std::string& path, AfterOpen afterOpen);
    std::int64_t ReadLines(const std::string& path) {
        return ReadLines(path, [] {});
    }
    // Raises the not-ready error when drive list `list` was filled while
    // another file system was mounted at root.
    void RequireListedVolume(int list, const std::string& root);
    // Raises the full-drive error unless root's drive can take bytes more
    // and keep its reserve.
    void RequireRoom(const std::string& root, std::uint64_t bytes);

    struct TimedWrite {
        std::int64_t lines;
        double seconds;
        double LinesPerSecond() const { return static_cast<double>(lines) / seconds; }
    };
    // Fill lines begun within the write window; the file stays. It ends
    // early, over the time it took, at the file system's file-size limit or
    // where `copies` files of its size would cut into the drive's reserve.
    TimedWrite TimeBoxedWrite(const std::string& path, std::string_view fillLine, int copies = 1);
    // Copies in pieces, abandoned between two once a stop is requested;
    // uncached, it ends once the target's data is on the drive.
    void CopyFile(const std::string& from, const std::string& to);

    // Bar from one end reading, caption from a second one.
    void ShowTime(int index, double fullScale, double start);
    void ShowSpeed(int index, double kbPerSecond);
    // lines / elapsed, the elapsed time never less than one tick of the clock.
    void ShowReadBackSpeed(int index, std::int64_t lines, double start, double end);

private:
    template <typename Show>
    void Display(Show show);
    double Elapsed(double start, double end);

    ViewOperations& view_;
    Clock& clock_;
    FileLayer& files_;
    const StopFlag* stop_;
    NumberSeparators separators_;
    TestKind test_;
    MeasureMode mode_;
    bool overflowResumes_;
    std::vector<std::string> written_;
};

template <typename AfterOpen>
std::int64_t DriveRun::ReadLines(const std::string& path, AfterOpen afterOpen) {
    TextFileReader reader(files_, path, kTextBufferSize, stop_);
    afterOpen();
    std::int64_t lines = 0;
    std::string_view line;
    while (reader.ReadLine(line)) ++lines;
    reader.Close();
    return lines;
}

}  // namespace trevalon::bench

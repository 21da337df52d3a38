// Scratch text files: one call per line, through a buffer of our own. This
// is the hot path of every short-line figure, so the per-line work is inline
// and touches the file layer only when the buffer is full or empty.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "bench/clock.h"
#include "bench/file_layer.h"
#include "bench/stop_request.h"

namespace trevalon::bench {

inline constexpr std::size_t kTextBufferSize = 1024 * 1024;
// A paced writer aims at write calls about this long.
inline constexpr double kPieceSeconds = 0.004;
// The smallest piece: smaller writes cost a slow drive more than they save.
inline constexpr std::size_t kFirstPacedPiece = 8192;

// Lines end in carriage return and line feed.
class TextFileWriter {
public:
    // With a stop flag, each flush first checks it and raises ProgramClosing.
    // toDrive: each write goes through the host's cache to the drive where
    // the host offers that.
    TextFileWriter(FileLayer& files, const std::string& path,
                   std::size_t bufferSize = kTextBufferSize, const StopFlag* stop = nullptr,
                   bool toDrive = false)
        : file_(toDrive ? files.OpenForWritingToDrive(path) : files.OpenForWriting(path)),
          buffer_(new char[bufferSize]),
          size_(bufferSize),
          limit_(bufferSize),
          stop_(stop) {}
    // Left open by a stop request, the file is abandoned: its close must
    // not wait for the data the host still holds.
    ~TextFileWriter() {
        if (file_ && StopRequested(stop_)) file_->CloseAbandoned();
    }
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // From here on, data goes to the system in pieces that start small and
    // grow or shrink with how long each write call takes: on a slow drive
    // little waits in the buffer, on a fast one the pieces are large.
    void PaceWith(Clock& clock) {
        pace_ = &clock;
        if (limit_ > kFirstPacedPiece) limit_ = kFirstPacedPiece;
    }

    void WriteLine(std::string_view text) {
        const std::size_t size = text.size();
        if (size + 2 <= limit_ - used_) [[likely]] {
            char* at = buffer_.get() + used_;
            if (size <= 8) {
                for (std::size_t i = 0; i < size; ++i) at[i] = text[i];
            } else {
                std::memcpy(at, text.data(), size);
            }
            at[size] = '\r';
            at[size + 1] = '\n';
            used_ += size + 2;
        } else {
            WriteLineSlow(text);
        }
    }

    // Writes what is buffered and closes; raises the first error of either.
    void Close();
    // Writes what is buffered and waits until it is on the drive.
    void SyncData();
    // Writes what is buffered and hands it to RawFile::WriteBehind.
    void WriteBehind();

    // Bytes the file layer has taken without an error.
    std::uint64_t Handed() const { return handed_; }
    // How much the buffer holds before it goes to the system.
    std::size_t PieceSize() const { return limit_; }

private:
    void Flush();
    void WriteLineSlow(std::string_view text);

    std::unique_ptr<RawFile> file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_;
    std::size_t limit_;  // never below used_
    std::size_t used_ = 0;
    const StopFlag* stop_;
    std::uint64_t handed_ = 0;
    Clock* pace_ = nullptr;
};

// A line ends at a line feed; a carriage return before it is dropped. A line
// longer than the buffer comes back in buffer-sized pieces.
class TextFileReader {
public:
    // With a stop flag, each refill first checks it and raises ProgramClosing.
    // fromDrive: past the host's cache where the file system allows it.
    TextFileReader(FileLayer& files, const std::string& path,
                   std::size_t bufferSize = kTextBufferSize, const StopFlag* stop = nullptr,
                   bool fromDrive = false)
        : file_(fromDrive ? files.OpenForReadingFromDrive(path) : files.OpenForReading(path)),
          buffer_(new char[bufferSize]),
          size_(bufferSize),
          stop_(stop) {}
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // The next line, valid until the next call; false at the end of the file.
    bool ReadLine(std::string_view& line) {
        const char* start = next_;
        const std::size_t left = static_cast<std::size_t>(end_ - start);
        const char* feed = nullptr;
        // Short lines are the common case: look a few bytes ahead inline.
        const std::size_t near = left < 8 ? left : 8;
        for (std::size_t i = 0; i < near; ++i) {
            if (start[i] == '\n') {
                feed = start + i;
                break;
            }
        }
        if (feed == nullptr && left > 8) {
            feed = static_cast<const char*>(std::memchr(start + 8, '\n', left - 8));
        }
        if (feed != nullptr) [[likely]] {
            std::size_t size = static_cast<std::size_t>(feed - start);
            if (size != 0 && start[size - 1] == '\r') --size;
            line = std::string_view(start, size);
            next_ = feed + 1;
            return true;
        }
        return ReadLineSlow(line);
    }

    void Close();
    // Bytes the file layer has given.
    std::uint64_t Taken() const { return taken_; }

private:
    bool ReadLineSlow(std::string_view& line);

    std::unique_ptr<RawFile> file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_;
    const StopFlag* stop_;
    const char* next_ = nullptr;
    const char* end_ = nullptr;
    bool atEnd_ = false;
    std::uint64_t taken_ = 0;
};

}  // namespace trevalon::bench

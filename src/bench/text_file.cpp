#include "bench/text_file.h"

#include <algorithm>

namespace trevalon::bench {

void TextFileWriter::Flush() {
    if (used_ == 0) return;
    ThrowIfStopped(stop_);
    const std::size_t size = used_;
    used_ = 0;  // a failed piece is not written twice
    if (pace_ == nullptr) {
        file_->Write(buffer_.get(), size);
        handed_ += size;
        return;
    }
    const double start = pace_->Now();
    file_->Write(buffer_.get(), size);
    handed_ += size;
    const double took = pace_->Now() - start;
    if (took > kPieceSeconds) {
        limit_ = std::max(limit_ / 2, std::min(kFirstPacedPiece, size_));
    } else if (took < kPieceSeconds / 4 && size * 2 > limit_) {
        limit_ = std::min(limit_ * 2, size_);
    }
}

void TextFileWriter::WriteLineSlow(std::string_view text) {
    Flush();
    const std::size_t size = text.size();
    if (size + 2 <= size_) {
        // A piece smaller than a line still takes the whole line at once.
        std::memcpy(buffer_.get(), text.data(), size);
        buffer_[size] = '\r';
        buffer_[size + 1] = '\n';
        used_ = size + 2;
        if (used_ >= limit_) Flush();
        return;
    }
    file_->Write(text.data(), size);
    file_->Write("\r\n", 2);
    handed_ += size + 2;
}

void TextFileWriter::Close() {
    if (!file_) return;
    try {
        Flush();
    } catch (...) {
        file_.reset();  // closes quietly: the flush's error is the one to report
        throw;
    }
    std::unique_ptr<RawFile> closing = std::move(file_);
    closing->Close();
}

void TextFileWriter::SyncData() {
    if (!file_) return;
    Flush();
    file_->SyncData();
}

void TextFileWriter::WriteBehind() {
    if (!file_) return;
    Flush();
    file_->WriteBehind();
}

bool TextFileReader::ReadLineSlow(std::string_view& line) {
    char* buffer = buffer_.get();
    // Keep the unfinished line at the front and fill up behind it.
    std::size_t kept = static_cast<std::size_t>(end_ - next_);
    if (kept != 0 && next_ != buffer) std::memmove(buffer, next_, kept);
    next_ = buffer;
    end_ = buffer + kept;
    while (!atEnd_ && kept < size_) {
        ThrowIfStopped(stop_);
        const std::size_t got = file_->Read(buffer + kept, size_ - kept);
        taken_ += got;
        if (got == 0) {
            atEnd_ = true;
            break;
        }
        const char* feed = static_cast<const char*>(std::memchr(buffer + kept, '\n', got));
        kept += got;
        end_ = buffer + kept;
        if (feed != nullptr) return ReadLine(line);
    }
    if (kept == 0) return false;
    // The last line without a line end, or a piece of an overlong line.
    std::size_t size = kept;
    if (atEnd_ && buffer[size - 1] == '\r') --size;
    line = std::string_view(buffer, size);
    next_ = end_ = buffer + kept;
    return true;
}

void TextFileReader::Close() {
    if (!file_) return;
    std::unique_ptr<RawFile> closing = std::move(file_);
    closing->Close();
}

}  // namespace trevalon::bench

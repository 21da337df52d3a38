#include "bench/text_file.h"

namespace trevalon::bench {

void TextFileWriter::Flush() {
    if (used_ == 0) return;
    ThrowIfStopped(stop_);
    const std::size_t size = used_;
    used_ = 0;  // a failed piece is not written twice
    file_->Write(buffer_.get(), size);
}

void TextFileWriter::WriteLineSlow(std::string_view text) {
    Flush();
    if (text.size() + 2 <= size_) {
        WriteLine(text);
        return;
    }
    file_->Write(text.data(), text.size());
    file_->Write("\r\n", 2);
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

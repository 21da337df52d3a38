#include "perf/raw_baselines.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "bench/drive_room.h"
#include "bench/file_layer.h"
#include "bench/text_file.h"

namespace trevalon::perf {
namespace {

constexpr std::size_t kBlock = 1 << 20;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// The same pattern as the short lines: "X" + CR LF.
std::unique_ptr<char[]> LinePattern(std::size_t bytes) {
    std::unique_ptr<char[]> data(new char[bytes]);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = "X\r\n"[i % 3];
    return data;
}

void WriteAll(int fd, const char* data, std::size_t size, const std::string& path) {
    while (size != 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done <= 0) Fail("write " + path);
        data += done;
        size -= static_cast<std::size_t>(done);
    }
}

std::size_t FileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) Fail("fstat");
    return static_cast<std::size_t>(info.st_size);
}

bool uncachedBaselines = false;

void EndWrite(int fd, const std::string& path) {
    if (uncachedBaselines && ::fdatasync(fd) != 0) Fail("fdatasync " + path);
    if (::close(fd) != 0) Fail("close " + path);
}

void BeforeRead(const std::string& path) {
    if (uncachedBaselines) bench::HostFileLayer().DropCachedPages(path);
}

}  // namespace

void SetUncachedBaselines(bool uncached) { uncachedBaselines = uncached; }

double WriteInOneGo(const std::string& path, std::uint64_t bytes) {
    const auto data = LinePattern(bytes);
    const double start = Now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("open " + path);
    WriteAll(fd, data.get(), bytes, path);
    EndWrite(fd, path);
    return Now() - start;
}

double ReadInOneGo(const std::string& path) {
    const int probe = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (probe < 0) Fail("open " + path);
    const std::size_t size = FileSize(probe);
    ::close(probe);
    std::unique_ptr<char[]> data(new char[size + 1]);
    std::memset(data.get(), 0, size + 1);  // no page faults inside the timing
    BeforeRead(path);
    const double start = Now();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("open " + path);
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = ::read(fd, data.get() + got, size + 1 - got);
        if (n < 0) Fail("read " + path);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return Now() - start;
}

double WriteInBlocks(const std::string& path, std::uint64_t bytes) {
    std::vector<char> block(kBlock, 'X');
    const double start = Now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("open " + path);
    while (bytes != 0) {
        const std::size_t piece = bytes < kBlock ? static_cast<std::size_t>(bytes) : kBlock;
        WriteAll(fd, block.data(), piece, path);
        bytes -= piece;
    }
    EndWrite(fd, path);
    return Now() - start;
}

double ReadInBlocks(const std::string& path) {
    std::vector<char> block(kBlock);
    BeforeRead(path);
    if (uncachedBaselines) {
        // The same way past the host's cache as the tests' uncached reads.
        const double start = Now();
        auto file = bench::HostFileLayer().OpenForReadingFromDrive(path);
        while (file->Read(block.data(), kBlock) != 0) {
        }
        file->Close();
        return Now() - start;
    }
    const double start = Now();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("open " + path);
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), kBlock);
        if (n < 0) Fail("read " + path);
        if (n == 0) break;
    }
    ::close(fd);
    return Now() - start;
}

double PlainCopy(const std::string& from, const std::string& to) {
    BeforeRead(from);
    const double start = Now();
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    if (uncachedBaselines) bench::HostFileLayer().SyncFile(to);
    return Now() - start;
}

double PlainStats(const std::string& first, const std::string& second, int calls) {
    struct stat info {};
    int found = 0;
    const double start = Now();
    for (int i = 0; i < calls; i += 2) {
        found += ::stat(first.c_str(), &info) == 0;
        found += ::stat(second.c_str(), &info) == 0;
    }
    const double elapsed = Now() - start;
    if (found < 0) Fail("stat");
    return elapsed;
}

double PlainDeletes(const std::string& first, const std::string& second) {
    const double start = Now();
    if (::unlink(first.c_str()) != 0) Fail("unlink " + first);
    if (::unlink(second.c_str()) != 0) Fail("unlink " + second);
    return Now() - start;
}

double ReadLinesWithOurPath(const std::string& path) {
    BeforeRead(path);
    const double start = Now();
    bench::TextFileReader reader(bench::HostFileLayer(), path);
    std::string_view line;
    volatile long lines = 0;  // counted like the check counts them, and kept
    while (reader.ReadLine(line)) lines = lines + 1;
    reader.Close();
    return Now() - start;
}

void SettleWrites() { ::sync(); }

std::uint64_t RoomOn(const std::string& dir) {
    const auto space = bench::HostFileLayer().SpaceOf(dir);
    return space ? bench::RoomOf(*space) : 0;
}

BaselineFiles::BaselineFiles(std::vector<std::string> paths) : paths_(std::move(paths)) {
    struct stat info {};
    for (const std::string& path : paths_) {
        if (inTheWay_.empty() && ::lstat(path.c_str(), &info) == 0) inTheWay_ = path;
    }
}

BaselineFiles::~BaselineFiles() {
    if (!inTheWay_.empty()) return;
    for (const std::string& path : paths_) ::unlink(path.c_str());
}

double PeakMemoryMiB() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace trevalon::perf

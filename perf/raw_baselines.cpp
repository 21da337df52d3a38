#include "perf/raw_baselines.h"

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
#include "perf/host_calls.h"

namespace trevalon::perf {
namespace {

constexpr std::size_t kBlock = 1 << 20;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The same pattern as the short lines: "X" + CR LF.
std::unique_ptr<char[]> LinePattern(std::size_t bytes) {
    std::unique_ptr<char[]> data(new char[bytes]);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = "X\r\n"[i % 3];
    return data;
}

bool uncachedBaselines = false;

void EndWrite(host::File file, const std::string& path) {
    if (uncachedBaselines) host::SyncData(file, path);
    host::Close(file, path);
}

void BeforeRead(const std::string& path) {
    if (uncachedBaselines) bench::HostFileLayer().DropCachedPages(path);
}

}  // namespace

void SetUncachedBaselines(bool uncached) { uncachedBaselines = uncached; }

double WriteInOneGo(const std::string& path, std::uint64_t bytes) {
    const auto data = LinePattern(bytes);
    const double start = Now();
    const host::File file = host::Create(path);
    host::Write(file, data.get(), bytes, path);
    EndWrite(file, path);
    return Now() - start;
}

double ReadInOneGo(const std::string& path) {
    const host::File probe = host::Open(path);
    const std::size_t size = host::Size(probe, path);
    host::CloseQuietly(probe);
    std::unique_ptr<char[]> data(new char[size + 1]);
    std::memset(data.get(), 0, size + 1);  // no page faults inside the timing
    BeforeRead(path);
    const double start = Now();
    const host::File file = host::Open(path);
    std::size_t got = 0;
    while (const std::size_t n = host::Read(file, data.get() + got, size + 1 - got, path)) got += n;
    host::CloseQuietly(file);
    return Now() - start;
}

double WriteInBlocks(const std::string& path, std::uint64_t bytes) {
    std::vector<char> block(kBlock, 'X');
    const double start = Now();
    const host::File file = host::Create(path);
    while (bytes != 0) {
        const std::size_t piece = bytes < kBlock ? static_cast<std::size_t>(bytes) : kBlock;
        host::Write(file, block.data(), piece, path);
        bytes -= piece;
    }
    EndWrite(file, path);
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
    const host::File file = host::Open(path);
    while (host::Read(file, block.data(), kBlock, path) != 0) {
    }
    host::CloseQuietly(file);
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
    int found = 0;
    const double start = Now();
    for (int i = 0; i < calls; i += 2) {
        found += host::Exists(first);
        found += host::Exists(second);
    }
    const double elapsed = Now() - start;
    if (found == 0) throw std::runtime_error("the baseline file went missing: " + first);
    return elapsed;
}

double PlainDeletes(const std::string& first, const std::string& second) {
    const double start = Now();
    host::Remove(first);
    host::Remove(second);
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

void SettleWrites() { host::SettleWrites(); }

std::uint64_t RoomOn(const std::string& dir) {
    const auto space = bench::HostFileLayer().SpaceOf(dir);
    return space ? bench::RoomOf(*space) : 0;
}

BaselineFiles::BaselineFiles(std::vector<std::string> paths) : paths_(std::move(paths)) {
    for (const std::string& path : paths_) {
        if (inTheWay_.empty() && host::Exists(path)) inTheWay_ = path;
    }
}

BaselineFiles::~BaselineFiles() {
    if (!inTheWay_.empty()) return;
    for (const std::string& path : paths_) host::RemoveQuietly(path);
}

double PeakMemoryMiB() { return host::PeakMiB(); }

}  // namespace trevalon::perf

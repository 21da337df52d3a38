#include "bench/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#undef CopyFile
#undef DeleteFile
#endif

#include <cerrno>
#include <string>
#include <vector>

#include "bench/run_error.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


std::vector<std::string> ReadAll(const std::string& path) {
    TextFileReader reader(HostFileLayer(), path);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line)) lines.emplace_back(line);
    reader.Close();
    return lines;
}

TEST(TextFile, LinesEndInCarriageReturnLineFeedAndReadBackWithoutThem) {
    TempDir dir;
    const std::string path = dir.path() + "/lines.txt";
    const std::string fill(1024, 'X');
    {
        TextFileWriter writer(HostFileLayer(), path);
        writer.WriteLine("X");
        writer.WriteLine("");
        writer.WriteLine(fill);
        writer.Close();
    }
    EXPECT_EQ(ReadFile(path), "X\r\n\r\n" + fill + "\r\n");
    EXPECT_EQ(ReadAll(path), (std::vector<std::string>{"X", "", fill}));
}

TEST(TextFile, ManyLinesCrossingBufferBoundariesAllComeBack) {
    TempDir dir;
    const std::string path = dir.path() + "/many.txt";
    // Line lengths that do not divide the buffer size, so lines straddle refills.
    const int count = 5000;
    {
        TextFileWriter writer(HostFileLayer(), path);
        for (int i = 0; i < count; ++i) writer.WriteLine(std::string(static_cast<std::size_t>(i % 997), 'a' + i % 26));
        writer.Close();
    }
    const auto lines = ReadAll(path);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; i += 499) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], std::string(static_cast<std::size_t>(i % 997), 'a' + i % 26));
    }
}

TEST(TextFile, ForeignLineEndsAndLastLineWithoutEnd) {
    TempDir dir;
    const std::string path = dir.path() + "/foreign.txt";
    WriteFile(path, "one\ntwo\r\nthree");
    EXPECT_EQ(ReadAll(path), (std::vector<std::string>{"one", "two", "three"}));
    WriteFile(path, "");
    EXPECT_TRUE(ReadAll(path).empty());
    // A line longer than the buffer comes back in pieces; no byte is lost.
    const std::string huge(kTextBufferSize + 100, 'Y');
    WriteFile(path, huge + "\r\nend\r\n");
    const auto lines = ReadAll(path);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].size() + lines[1].size(), huge.size());
    EXPECT_EQ(lines[2], "end");
}

#ifndef _WIN32
int OpenDescriptors() {
    int count = 0;
    for (int fd = 0; fd < 1024; ++fd) count += ::fcntl(fd, F_GETFD) != -1;
    return count;
}
#else
// Windows files are handles, not descriptors: the process's handle count.
int OpenDescriptors() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return static_cast<int>(count);
}
#endif

TEST(TextFile, AFailedFlushIsReportedAtCloseAndTheFileIsClosedAnyway) {
    TempDir dir;
    const std::string path = dir.path() + "/flush.txt";
    const int before = OpenDescriptors();
    FailingFileLayer files(FileCall::kWrite, EIO);
    TextFileWriter writer(files, path);
    writer.WriteLine("X");  // buffered: nothing fails yet
    try {
        writer.Close();
        FAIL() << "the deferred write error was not reported";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), error_number::kDeviceIo);
    }
    EXPECT_EQ(OpenDescriptors(), before);
    writer.Close();  // already closed: nothing more to report
}

TEST(TextFile, AnErrorOnlyTheCloseReportsIsRaised) {
    TempDir dir;
    FailingFileLayer files(FileCall::kClose, ENOSPC);
    TextFileWriter writer(files, dir.path() + "/close.txt");
    writer.WriteLine("X");
    try {
        writer.Close();
        FAIL() << "the close error was not reported";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), error_number::kDiskFull);
    }
}

TEST(TextFile, RealFullDriveFailsAtTheWriteThatNoLongerFits) {
    TREVALON_REQUIRE_PRIVATE_MOUNTS();
    TempDir dir;
    const std::string mount = dir.Sub("tiny");
    testing::MountTmpfs(mount, 64 * 1024);
    TextFileWriter writer(HostFileLayer(), mount + "/full.txt");
    // 200 KB, less than one buffer: only the close's flush can find out.
    for (int i = 0; i < 200; ++i) writer.WriteLine(std::string(1024, 'X'));
    try {
        writer.Close();
        FAIL() << "a full drive was reported as a successful write";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), error_number::kDiskFull);
    }
}

}  // namespace
}  // namespace trevalon::bench

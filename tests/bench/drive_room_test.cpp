// The reserve a run keeps and the files it may replace.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "bench/drive_room.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {

TEST(SpaceReserve, ASmallDriveKeepsATenthAndALargerOneWhatItKeptBefore) {
    struct Case {
        std::uint64_t capacity, reserve;
    };
    for (const auto& [capacity, reserve] :
         {Case{50'000'000, 5'000'000}, Case{96 * kMiB, 96 * kMiB / 10}, Case{300 * kMiB, 64 * kMiB},
          Case{600 * kMiB, 64 * kMiB}, Case{kGiB, 64 * kMiB}, Case{10 * kGiB, 10 * kGiB / 20},
          Case{100 * kGiB, 2 * kGiB}}) {
        EXPECT_EQ(SpaceReserve(capacity), reserve) << capacity;
    }
}

TEST(RoomOf, ADriveInMemoryKeepsAQuarterOfTheAvailableMemory) {
    struct Case {
        const char* what;
        DriveSpace space;
        std::uint64_t room;
    };
    const Case cases[] = {
        {"a disk", {10 * kGiB, 4 * kGiB, std::nullopt}, 4 * kGiB - 512 * kMiB},
        {"a full disk", {10 * kGiB, 100 * kMiB, std::nullopt}, 0},
        {"a tmpfs as large as memory", {24 * kGiB, 24 * kGiB, 16 * kGiB}, 12 * kGiB},
        {"a small tmpfs", {50'000'000, 50'000'000, 16 * kGiB}, 45'000'000},
        {"a ramfs, no size of its own", {0, 0, 8 * kGiB}, 6 * kGiB},
    };
    for (const Case& c : cases) EXPECT_EQ(RoomOf(c.space), c.room) << c.what;
}

#ifndef _WIN32
TEST(MemoryBehind, OnlyAFileSystemInMemoryHasIt) {
    TempDir disk;  // /tmp, on the machine's disk here
    const bool tmpIsDisk = !MemoryBehind(disk.path());
    if (!tmpIsDisk) GTEST_SKIP() << "/tmp is kept in memory here";
    ASSERT_TRUE(std::filesystem::is_directory("/dev/shm"));
    const auto shm = HostFileLayer().SpaceOf("/dev/shm");
    ASSERT_TRUE(shm && shm->memoryAvailable);
    EXPECT_GT(*shm->memoryAvailable, 0U);
    EXPECT_FALSE(HostFileLayer().SpaceOf(disk.path())->memoryAvailable);
}
#endif

// The recogniser over the host's layer and over the standard library's.
class LeftOvers : public ::testing::TestWithParam<FileLayer& (*)()> {};
INSTANTIATE_TEST_SUITE_P(Layers, LeftOvers, ::testing::Values(&HostFileLayer, &PortableFileLayer),
                         [](const auto& info) { return info.index == 0 ? "Host" : "Portable"; });

TEST_P(LeftOvers, OnlyWhatARunWritesIsALeftOver) {
    struct Case {
        const char* what;
        std::string content;
        bool leftOver;
    };
    std::string middle = testing::XLines(200'000, 1);  // 600,000 bytes
    middle.replace(300'000, 5, "note!");
    std::string between = testing::XLines(200'000, 1);
    between.replace(100'000, 5, "note!");  // where no piece is read
    const Case cases[] = {
        {"empty", "", true},
        {"short lines", testing::XLines(1'024'000, 1), true},
        {"fill lines", testing::XLines(3000, 1024), true},
        {"fill lines, the last cut short", testing::XLines(3000, 1024).substr(0, 3000 * 1026 - 77), true},
        {"short lines, cut in a line end", testing::XLines(10, 1).substr(0, 29), true},
        {"a user's note", "shopping: milk, bread, eggs, tea, honey\r\n", false},
        {"X without line ends", std::string(5000, 'X'), false},
        {"Unix line ends", std::string(3000, 'X') + "\n", false},
        {"a short line among fill lines", testing::XLines(5, 1024) + "X\r\n" + testing::XLines(5, 1024), false},
        {"a note at the end", testing::XLines(100'000, 1) + "mine", false},
        {"a note in the middle", middle, false},
        {"a note between the pieces read", between, true},
    };
    FileLayer& files = GetParam()();
    TempDir dir;
    const std::string path = dir.path() + "/DriveSpeedTest.txt";
    for (const Case& c : cases) {
        WriteFile(path, c.content);
        EXPECT_EQ(IsLeftOver(files, path), c.leftOver) << c.what;
    }
    // Nothing a run makes: a second name, a link, a folder, a FIFO.
    const std::string other = dir.path() + "/other";
    WriteFile(other, "");
#ifndef _WIN32  // Wine counts no second names and makes neither links nor FIFOs
    std::filesystem::remove(path);
    std::filesystem::create_hard_link(other, path);
    EXPECT_FALSE(IsLeftOver(files, path)) << "a second name";
    std::filesystem::remove(path);
    std::filesystem::create_symlink(other, path);
    EXPECT_FALSE(IsLeftOver(files, path)) << "a link";
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(IsLeftOver(files, path)) << "a FIFO";
#endif
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(IsLeftOver(files, path)) << "a folder";
}

#ifndef _WIN32
TEST(LeftOvers, AnotherUsersScratchFileIsNotOurs) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
    TempDir dir;
    const std::string path = dir.path() + "/DriveSpeedTest.txt";
    WriteFile(path, testing::XLines(100, 1024));
    EXPECT_TRUE(IsLeftOver(HostFileLayer(), path));
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(IsLeftOver(HostFileLayer(), path));
}
#endif

}  // namespace
}  // namespace trevalon::bench

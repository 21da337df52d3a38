#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/file_layer.h"
#include "bench/run_error.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


template <typename Work>
std::int32_t ErrorNumberOf(Work work) {
    try {
        work();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}

FileLayer& files() { return HostFileLayer(); }

// What the portable layer (the host's layer where POSIX calls are missing)
// must do the same way.
class BothFileLayers : public ::testing::TestWithParam<FileLayer& (*)()> {
protected:
    FileLayer& files() { return GetParam()(); }
};
INSTANTIATE_TEST_SUITE_P(Layers, BothFileLayers,
                         ::testing::Values(&HostFileLayer, &PortableFileLayer),
                         [](const auto& info) { return info.index == 0 ? "Host" : "Portable"; });

TEST(HostErrorNumbers, HostErrorsMapOntoTheRunTimeNumbers) {
    EXPECT_EQ(RunTimeNumberForHostError(ENOENT), 53);
    EXPECT_EQ(RunTimeNumberForHostError(ENOSPC), 61);
    EXPECT_EQ(RunTimeNumberForHostError(EDQUOT), 61);
    EXPECT_EQ(RunTimeNumberForHostError(ENOMEDIUM), 71);
    EXPECT_EQ(RunTimeNumberForHostError(ENXIO), 71);
    EXPECT_EQ(RunTimeNumberForHostError(ENODEV), 71);
    // A network share whose server went away is a drive that is not ready.
    for (const int code : {ENOTCONN, ESTALE, EHOSTDOWN, ETIMEDOUT}) {
        EXPECT_EQ(RunTimeNumberForHostError(code), 71) << code;
    }
    EXPECT_EQ(HostFileError(EFBIG).number(), 61);
    EXPECT_EQ(HostFileError(EFBIG).hostCode(), EFBIG);
    EXPECT_EQ(RunTimeNumberForHostError(EROFS), 75);
    EXPECT_EQ(RunTimeNumberForHostError(EACCES), 75);
    EXPECT_EQ(RunTimeNumberForHostError(EPERM), 75);
    EXPECT_EQ(RunTimeNumberForHostError(ELOOP), 75);
    EXPECT_EQ(RunTimeNumberForHostError(ENAMETOOLONG), 52);
    EXPECT_EQ(RunTimeNumberForHostError(ENOTDIR), 52);
    EXPECT_EQ(RunTimeNumberForHostError(EINVAL), 52);
    EXPECT_EQ(RunTimeNumberForHostError(EIO), 57);
    // Anything else keeps a number of its own and the system's text.
    const RunTimeError other = HostFileError(EPROTO);
    EXPECT_EQ(other.number(), error_number::kHostErrorBase + EPROTO);
    EXPECT_EQ(other.description(), std::strerror(EPROTO));
}

// std::filesystem reports the platform's own codes (system category), other
// callers errno values (generic): both give the same numbers.
TEST(HostErrorNumbers, ErrorCodesOfEitherCategoryMapTheSame) {
    for (const std::errc code : {std::errc::no_such_file_or_directory, std::errc::no_space_on_device,
                                 std::errc::permission_denied, std::errc::filename_too_long}) {
        const std::error_code generic = std::make_error_code(code);
        EXPECT_EQ(RunTimeNumberForHostError(generic), RunTimeNumberForHostError(generic.value()));
        EXPECT_EQ(HostFileError(generic).description(), HostFileError(generic.value()).description());
    }
    std::error_code missing;
    (void)std::filesystem::space("/no/such/folder/here", missing);
    ASSERT_TRUE(missing);
    EXPECT_EQ(HostFileError(missing).number(), 53) << missing.message();
}

TEST_P(BothFileLayers, MissingDirectoriesAndBadNamesGiveTheirNumbers) {
    TempDir dir;
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForWriting(dir.path() + "/gone/x.txt"); }), 53);
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForReading(dir.path() + "/x.txt"); }), 53);
    EXPECT_EQ(ErrorNumberOf([&] { files().DeleteFile(dir.path() + "/x.txt"); }), 53);
    EXPECT_EQ(ErrorNumberOf([&] { files().SpaceOf(dir.path() + "/gone"); }), 53);
    WriteFile(dir.path() + "/plain", "");
    // Windows reports a file used as a folder, and (Wine) an overlong name,
    // as a path not found: both numbers give the same message.
#ifdef _WIN32
    const std::int32_t kNotAFolder = 53;
#else
    const std::int32_t kNotAFolder = 52;
#endif
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForWriting(dir.path() + "/plain/x.txt"); }), kNotAFolder);
    const std::int32_t overlong =
        ErrorNumberOf([&] { files().OpenForWriting(dir.path() + "/" + std::string(300, 'n')); });
    EXPECT_TRUE(overlong == 52 || overlong == kNotAFolder) << overlong;
}

TEST_P(BothFileLayers, APlantedSymbolicLinkIsNeverFollowed) {
    TempDir dir;
    const std::string victim = dir.path() + "/victim";
    WriteFile(victim, "precious");
    const std::string link = dir.path() + "/DriveSpeedTest.txt";
    TREVALON_PLANT_SYMLINK(victim, link);
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForWriting(link); }), 75);
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForReading(link); }), 75);
    EXPECT_EQ(ErrorNumberOf([&] { files().CopyFile(victim, link); }), 75);
    EXPECT_FALSE(files().IsNormalFile(link));
    EXPECT_EQ(ReadFile(victim), "precious");
}

// Past the cache the file comes in aligned blocks of the layer's own: every
// size around a block's edge, asked for in pieces that fit no block, must come
// back byte for byte.
TEST_P(BothFileLayers, ReadingFromTheDriveGivesTheFileAsWritten) {
    TempDir dir;
    const std::string path = dir.path() + "/DriveSpeedTest.txt";
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4095},
                                   std::size_t{1} << 20, (std::size_t{1} << 20) + 7,
                                   (std::size_t{3} << 20) + 4099}) {
        std::string content(size, '\0');
        for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>('a' + i % 23);
        WriteFile(path, content);
        files().DropCachedPages(path);
        auto file = files().OpenForReadingFromDrive(path);
        std::string back;
        char piece[1000];
        while (const std::size_t got = file->Read(piece, sizeof piece)) back.append(piece, got);
        file->Close();
        EXPECT_EQ(back.size(), size);
        EXPECT_TRUE(back == content) << size << " bytes";
    }
}

TEST(HostFileLayer, APlantedHardLinkOrSpecialFileIsNotWritten) {
    TempDir dir;
    const std::string victim = dir.path() + "/victim";
    WriteFile(victim, "precious");
    const std::string hard = dir.path() + "/DriveSpeedTest.txt";
    std::filesystem::create_hard_link(victim, hard);
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForWriting(hard); }), 75);
    EXPECT_EQ(ReadFile(victim), "precious");

#ifndef _WIN32
    // A FIFO would block an open for writing forever.
    const std::string fifo = dir.path() + "/DriveSpeedTest2.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(ErrorNumberOf([&] { files().OpenForWriting(fifo); }), 0);
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForReading(fifo); }), 75);
    EXPECT_FALSE(files().IsNormalFile(fifo));
#endif

    const std::string folder = dir.Sub("folder");
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForWriting(folder); }), 75);
    EXPECT_FALSE(files().IsNormalFile(folder));
}

TEST_P(BothFileLayers, CopyReplacesTheTargetButNeverCopiesAFileOntoItself) {
    TempDir dir;
    const std::string source = dir.path() + "/source";
    const std::string target = dir.path() + "/target";
    WriteFile(source, std::string(3 * 1024 * 1024 + 7, 'S'));
    WriteFile(target, "old and longer than nothing");
    files().CopyFile(source, target);
    EXPECT_EQ(ReadFile(target), ReadFile(source));
    EXPECT_TRUE(files().IsNormalFile(target));

    EXPECT_EQ(ErrorNumberOf([&] { files().CopyFile(source, source); }), 52);
    EXPECT_EQ(ErrorNumberOf([&] { files().CopyFile(source, dir.path() + "/./source"); }), 52);
    EXPECT_EQ(ReadFile(source).size(), 3U * 1024 * 1024 + 7);
    EXPECT_EQ(ErrorNumberOf([&] { files().CopyFile(dir.path() + "/none", target); }), 53);
}

TEST(HostFileLayer, RealFullAndReadOnlyDrives) {
    TREVALON_REQUIRE_PRIVATE_MOUNTS();
    TempDir dir;
    const auto [tiny, readOnly] = testing::MountTinyAndReadOnly(dir);
    const std::string source = dir.path() + "/source";
    WriteFile(source, std::string(1024 * 1024, 'S'));

    // A failed copy leaves no partial target behind.
    EXPECT_EQ(ErrorNumberOf([&] { files().CopyFile(source, tiny + "/copy"); }), 61);
    EXPECT_FALSE(Exists(tiny + "/copy"));
    EXPECT_EQ(ErrorNumberOf([&] { files().OpenForWriting(readOnly + "/x"); }), 75);
    EXPECT_EQ(ErrorNumberOf([&] { files().CopyFile(source, readOnly + "/x"); }), 75);
}

}  // namespace
}  // namespace trevalon::bench

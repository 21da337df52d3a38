#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>
#include <string>

#include "bench/mount_info.h"
#include "bench/result_slots.h"
#include "bench/results_text.h"

namespace trevalon::bench {
namespace {

// The mount table is Linux's (host/posix).
#ifndef _WIN32
// Lines of the /proc/self/mountinfo form; the fields after "-" are type and source.
constexpr const char* kTable =
    "21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
    "22 21 0:5 / /dev/shm rw shared:2 - tmpfs tmpfs rw\n"
    "23 21 8:2 / /media/ann/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
    "24 21 0:9 / /mnt/a rw - xfs /dev/sdc1 rw\n"
    "25 21 0:10 / /mnt/a rw master:3 propagate_from:4 - btrfs /dev/sdd1 rw\n"
    "26 21 0:11 / /mnt/tab\\011and\\134back rw - ext2 /dev/odd\\040name rw\n"
    "broken line\n";

struct MountCase {
    const char* directory;
    const char* mountPoint;
    const char* type;
    const char* device;
};

TEST(FindMount, LongestContainingMountPointWithEscapesDecoded) {
    const MountCase cases[] = {
        {"/home/ann", "/", "ext4", "/dev/vda1"},
        {"/dev/shm/a", "/dev/shm", "tmpfs", "tmpfs"},
        {"/dev/shm", "/dev/shm", "tmpfs", "tmpfs"},
        {"/dev/shmx", "/", "ext4", "/dev/vda1"},  // a prefix that is no path component
        {"/media/ann/USB STICK/b c", "/media/ann/USB STICK", "vfat", "/dev/sdb1"},
        {"/mnt/a/x", "/mnt/a", "btrfs", "/dev/sdd1"},  // the later mount hides the earlier
        {"/mnt/tab\tand\\back", "/mnt/tab\tand\\back", "ext2", "/dev/odd name"},
    };
    for (const MountCase& c : cases) {
        const MountInfo mount = FindMount(kTable, c.directory);
        EXPECT_EQ(mount.mountPoint, c.mountPoint) << c.directory;
        EXPECT_EQ(mount.fileSystemType, c.type) << c.directory;
        EXPECT_EQ(mount.device, c.device) << c.directory;
    }
    EXPECT_EQ(FindMount("", "/x").fileSystemType, kUnknownMount);
    EXPECT_EQ(FindMount("garbage\n", "/x").device, kUnknownMount);
}

TEST(FindMount, HostKnowsTheRootFileSystem) {
#ifdef __linux__
    EXPECT_NE(MountOf("/").fileSystemType, kUnknownMount);
    EXPECT_EQ(MountOf("/proc/self").fileSystemType, "proc");
#endif
    EXPECT_FALSE(MountOf("/").device.empty());
}
#endif

TEST(ResultsText, NumbersInTheGivenSeparators) {
    const NumberSeparators english{".", ","}, german{",", "."};
    struct Case {
        double value;
        int decimals;
        NumberSeparators separators;
        const char* text;
    } cases[] = {
        {0.0, 2, english, "0.00"},       {999.999, 2, english, "1,000.00"},
        {1234567.891, 1, german, "1.234.567,9"}, {-1234.6, 0, english, "-1,235"},
        {-0.001, 2, english, "0.00"},     {12.0, 0, german, "12"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDecimal(c.value, c.decimals, c.separators), c.text) << c.value;
    }
    // A KB is a 1026-byte line: 75,000 KB/sec is 76.95 MB/s.
    EXPECT_EQ(FormatMegabytes(75000, english), "76.95 MB/s");
    EXPECT_EQ(FormatMegabytes(1000000, german), "1.026,00 MB/s");
    EXPECT_DOUBLE_EQ(BytesPerSecond(2), 2052);
}

// trevalon-cli sets the user's locale, whose decimal point the C library's
// number formatting would take; the given separators alone must count.
TEST(ResultsText, NumbersIgnoreTheProgramsLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "French_France.1252", "German"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
            comma = name;
            break;
        }
    }
    if (comma == nullptr) GTEST_SKIP() << "no locale with a decimal comma here";
    const std::string french = FormatMegabytes(710456, {",", "\u00a0"});
    const std::string english = FormatDecimal(1234.5, 2, {".", ","});
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(french, "728,93 MB/s") << comma;
    EXPECT_EQ(english, "1,234.50") << comma;
}

TEST(ResultsText, BytesAndMegabytesOfEachStep) {
    const NumberSeparators english{".", ","};
    const struct {
        ResultRecord record;
        const char* text;
    } cases[] = {
        {{TestKind::kSingleDriveCheck, 6, 4.0, ResultUnit::kSeconds, 6'200'000'000}, "6,200,000,000 bytes, 1,550.00 MB/s"},
        {{TestKind::kSingleDriveCheck, 0, 0.0, ResultUnit::kSeconds, 3'072'000}, "3,072,000 bytes"},
        {{TestKind::kSingleDriveCheck, 7, 0.5, ResultUnit::kSeconds}, ""},
        {{TestKind::kDriveComparison, 1, 75000, ResultUnit::kKilobytesPerSecond, 230'850'000}, "230,850,000 bytes, 76.95 MB/s"},
        {{TestKind::kDriveComparison, 0, 1000, ResultUnit::kKilobytesPerSecond}, "1.03 MB/s"},
    };
    for (const auto& c : cases) EXPECT_EQ(TransferText(c.record, english), c.text) << c.text;
    EXPECT_EQ(ErrorWindowText(57, 6, "Device I/O error Position: 3"),
              "Error Number: 57, Error Location: 6, Error Description: Device I/O error Position: 3");
}

TEST(ResultsText, SlotsNameTheirCaptionsAndDrives) {
    EXPECT_EQ(SlotCount(TestKind::kSingleDriveCheck), 9);
    EXPECT_EQ(Slot(TestKind::kSingleDriveCheck, 7).label, "Directory Lookup Speed (10000 Files):");
    EXPECT_EQ(Slot(TestKind::kSingleDriveCheck, 2).fullScale, 25.0);
    EXPECT_EQ(ResultLabel(TestKind::kDriveComparison, 5), "#3 Drive Overall Read Speed (KB/second):");
    EXPECT_EQ(ResultLabel(TestKind::kCopyTest, 0), "#2 Drive To Drive Copy Speed (10MB):");
    EXPECT_EQ(DriveHeading(TestKind::kCopyTest, 0), "Source drive #1");
    EXPECT_EQ(DriveHeading(TestKind::kCopyTest, 3), "Destination drive #4");
    EXPECT_THROW(Slot(TestKind::kCopyTest, 3), std::out_of_range);
    EXPECT_THROW(Slot(TestKind::kDriveComparison, -1), std::out_of_range);
}

TEST(ResultsText, ReportReadsAsPlainLines) {
    ResultsReport report;
    report.version = "1.5.5";
    report.localTime = "2024-05-01 14:03:22";
    report.mode = "cached";
    report.test = TestKind::kDriveComparison;
    EXPECT_EQ(ResultsText(report), "Trevalon 1.5.5, 2024-05-01 14:03:22, cached\nNo results yet\n");

    report.drives = {{0, "/dev/shm/a/", {"/dev/shm", "tmpfs", "tmpfs"}},
                     {2, "/var/tmp/b c/", {"/", "ext4", "/dev/vda1"}}};
    const ResultUnit speed = ResultUnit::kKilobytesPerSecond;
    report.results = {{"75,000 KB/sec", {TestKind::kDriveComparison, 0, 75000.0, speed}},
                      {"1,026 KB/sec", {TestKind::kDriveComparison, 4, 1026.0, speed, 3'158'028}}};
    report.status = "Comparison Complete";
    EXPECT_EQ(ResultsText(report),
              "Trevalon 1.5.5, 2024-05-01 14:03:22, cached\n"
              "Drive #1: /dev/shm/a/ (tmpfs, tmpfs)\n"
              "Drive #3: /var/tmp/b c/ (ext4, /dev/vda1)\n"
              "#1 Drive Overall Write Speed (KB/second): 75,000 KB/sec (76.95 MB/s)\n"
              "#3 Drive Overall Write Speed (KB/second): 1,026 KB/sec (3,158,028 bytes, 1.05 MB/s)\n"
              "Comparison Complete\n");

    report.test = TestKind::kSingleDriveCheck;
    report.drives.resize(1);
    report.results = {{"0.125 seconds", {TestKind::kSingleDriveCheck, 8, 0.125, ResultUnit::kSeconds}}};
    report.status = "Done";
    EXPECT_NE(ResultsText(report).find("\nDrive: /dev/shm/a/ (tmpfs, tmpfs)\n"
                                       "File Delete Speed (20 MB): 0.125 seconds\nDone\n"),
              std::string::npos);

    // A failed run: what the user was shown, with its drive where it has one.
    report.test = TestKind::kCopyTest;
    report.results.clear();
    report.messages = {{std::nullopt, "", "I am unable to access the source drive.", false},
                       {2, "/mnt/c/", "Error Number: 57, Error Location: 8, Error Description: x", true}};
    report.status = "Drive Error";
    EXPECT_EQ(ResultsText(report),
              "Trevalon 1.5.5, 2024-05-01 14:03:22, cached\n"
              "Source drive #1: /dev/shm/a/ (tmpfs, tmpfs)\n"
              "Message: I am unable to access the source drive.\n"
              "Error window about Destination drive #3 /mnt/c/: Error Number: 57, Error Location: 8, "
              "Error Description: x\n"
              "Drive Error\n");
}

}  // namespace
}  // namespace trevalon::bench

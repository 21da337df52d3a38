#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


// Every record must describe exactly what its caption shows, once per shown slot.
void ExpectRecordsMatchCaptions(RecordingView& view, TestKind test, std::vector<int> slots) {
    ASSERT_EQ(view.records.size(), slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const ResultRecord& record = view.records[i];
        EXPECT_EQ(record.test, test);
        EXPECT_EQ(record.slot, slots[i]);
        const std::string shown =
            record.unit == ResultUnit::kSeconds ? FormatTime(record.value, view.separators)
                                                : FormatSpeed(record.value, view.separators);
        EXPECT_EQ(shown, view.results[record.slot]) << "slot " << record.slot;
    }
}

TEST(ResultRecords, EachTestReportsEveryShownFigureAndItsDrives) {
    TempDir dir;
    const std::string a = dir.Sub("a"), b = dir.Sub("b");
    ScriptedClock clock({}, 1.0 / 64.0);

    RecordingView single({a});
    RunSingleDriveCheck(single, {clock, HostFileLayer()});
    ExpectRecordsMatchCaptions(single, TestKind::kSingleDriveCheck, {0, 1, 2, 3, 4, 5, 7, 6, 8});
    EXPECT_EQ(single.records[4].unit, ResultUnit::kKilobytesPerSecond);
    EXPECT_EQ(single.records[0].unit, ResultUnit::kSeconds);
    EXPECT_EQ(single.drives, (std::map<int, std::string>{{0, a + "/"}}));

    RecordingView compare({a, a, b, ""});
    RunDriveComparison(compare, {clock, HostFileLayer()});
    ExpectRecordsMatchCaptions(compare, TestKind::kDriveComparison, {0, 1, 4, 5});
    EXPECT_EQ(compare.drives, (std::map<int, std::string>{{0, a + "/"}, {2, b + "/"}}));

    RecordingView copy({a, b, a, b});
    RunCopyTest(copy, {clock, HostFileLayer()});
    ExpectRecordsMatchCaptions(copy, TestKind::kCopyTest, {0, 2});
    EXPECT_EQ(copy.drives, (std::map<int, std::string>{{0, a + "/"}, {1, b + "/"}, {3, b + "/"}}));
}

// Sizes on the drive as the run's files close, are copied and are deleted:
// what each record's bytes must be.
struct SizesOnDrive {
    std::vector<std::uint64_t> closed;  // each file as it closes
    std::vector<std::uint64_t> copied;  // the source as each copy begins
    std::uint64_t deleted = 0;          // all files deleted
    testing::HookedFileLayer files;
    explicit SizesOnDrive(const std::string& source) {
        files.hook = [this, source](const std::string& path, FileCall call, std::uint64_t) {
            if (call == FileCall::kClose) closed.push_back(std::filesystem::file_size(path));
            if (call == FileCall::kCopy) copied.push_back(std::filesystem::file_size(source));
            if (call == FileCall::kDelete) deleted += std::filesystem::file_size(path);
        };
    }
};

TEST(ResultRecords, EachRecordCarriesTheBytesItsStepMoved) {
    TempDir dir;
    const std::string a = dir.Sub("a"), b = dir.Sub("b");
    const std::string source = a + "/DriveSpeedTest.txt";
    ScriptedClock clock({}, 1.0 / 64.0);
    const auto bytesOf = [](const RecordingView& view) {
        std::vector<std::optional<std::uint64_t>> bytes;
        for (const ResultRecord& record : view.records) bytes.push_back(record.bytes);
        return bytes;
    };

    SizesOnDrive single(source);
    RecordingView check({a});
    RunSingleDriveCheck(check, {clock, single.files});
    ASSERT_EQ(single.closed.size(), 6U);  // four short-line files, the timed write, its read-back
    ASSERT_EQ(single.copied.size(), 1U);
    const auto& c = single.closed;
    // Slots in the order shown: 0 1 2 3 4 5, the lookups (7), the copy (6), the deletes (8).
    EXPECT_EQ(bytesOf(check), (std::vector<std::optional<std::uint64_t>>{
                                  c[0], c[1], c[2], c[3], c[4], c[5], std::nullopt,
                                  single.copied[0], single.deleted}));
    EXPECT_GT(c[4], 0U);

    SizesOnDrive compared(source);
    RecordingView compare({a, b});
    RunDriveComparison(compare, {clock, compared.files});
    ASSERT_EQ(compared.closed.size(), 4U);
    EXPECT_EQ(bytesOf(compare), (std::vector<std::optional<std::uint64_t>>{
                                    compared.closed.begin(), compared.closed.end()}));

    SizesOnDrive copied(source);
    RecordingView copy({a, b, a, b});
    RunCopyTest(copy, {clock, copied.files});
    ASSERT_EQ(copied.copied.size(), 2U);
    EXPECT_EQ(bytesOf(copy), (std::vector<std::optional<std::uint64_t>>{
                                 copied.copied.begin(), copied.copied.end()}));
}

}  // namespace
}  // namespace trevalon::bench

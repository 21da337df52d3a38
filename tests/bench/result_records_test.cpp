#include <gtest/gtest.h>

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

}  // namespace
}  // namespace trevalon::bench

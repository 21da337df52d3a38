#include "bench/result_slots.h"

#include <array>
#include <stdexcept>

#include "bench/formats.h"

namespace trevalon::bench {
namespace {

constexpr std::string_view kOverallWrite = "Drive Overall Write Speed (KB/second):";
constexpr std::string_view kOverallRead = "Drive Overall Read Speed (KB/second):";

constexpr std::array<SlotInfo, 9> kSingleDriveSlots = {{
    {"Small File Write Speed (1 MB):", kSmallFileScale},
    {"Small File Read Speed (1 MB):", kSmallFileScale},
    {"Large File Write Speed (10 MB):", kLargeFileScale},
    {"Large File Read Speed (10 MB):", kLargeFileScale},
    {kOverallWrite, kSpeedScale},
    {kOverallRead, kSpeedScale},
    {"File Copy Speed (10 MB):", kCopyScale},
    {"Directory Lookup Speed (10000 Files):", kLookupDeleteScale},
    {"File Delete Speed (20 MB):", kLookupDeleteScale},
}};

}  // namespace

int SlotCount(TestKind test) {
    switch (test) {
        case TestKind::kSingleDriveCheck: return 9;
        case TestKind::kDriveComparison: return 8;
        case TestKind::kCopyTest: return 3;
    }
    return 0;
}

SlotInfo Slot(TestKind test, int slot) {
    if (slot < 0 || slot >= SlotCount(test)) throw std::out_of_range("no such result slot");
    switch (test) {
        case TestKind::kSingleDriveCheck: return kSingleDriveSlots[static_cast<std::size_t>(slot)];
        case TestKind::kDriveComparison:
            return {slot % 2 == 0 ? kOverallWrite : kOverallRead, kSpeedScale};
        case TestKind::kCopyTest: return {"Drive To Drive Copy Speed (10MB):", kCopyScale};
    }
    throw std::out_of_range("no such test");
}

int DriveListOfSlot(TestKind test, int slot) {
    switch (test) {
        case TestKind::kSingleDriveCheck: return 0;
        case TestKind::kDriveComparison: return slot / 2;
        case TestKind::kCopyTest: return slot + 1;
    }
    return 0;
}

std::string_view TestName(TestKind test) {
    switch (test) {
        case TestKind::kSingleDriveCheck: return "check";
        case TestKind::kDriveComparison: return "compare";
        case TestKind::kCopyTest: return "copy";
    }
    return "";
}

std::string_view UnitName(ResultUnit unit) {
    return unit == ResultUnit::kSeconds ? "seconds" : "KB/sec";
}

double BytesPerSecond(double kbPerSecond) { return kbPerSecond * kBytesPerKilobyte; }

std::optional<double> BytesPerSecondOf(const ResultRecord& record) {
    if (record.unit == ResultUnit::kKilobytesPerSecond) return BytesPerSecond(record.value);
    if (!record.bytes || !(record.value > 0)) return std::nullopt;
    return static_cast<double>(*record.bytes) / record.value;
}

}  // namespace trevalon::bench

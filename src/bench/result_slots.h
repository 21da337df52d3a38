// What each result slot of each test is: the caption label the panel shows
// above it and the full scale of its bar. Whatever shows results outside a
// panel names them so.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bench/view_operations.h"

namespace trevalon::bench {

struct SlotInfo {
    std::string_view label;  // e.g. "Small File Write Speed (1 MB):"
    double fullScale;        // in the slot's unit
};

// The number of result slots of a test's panel.
int SlotCount(TestKind test);
// Throws std::out_of_range for a slot the panel does not have.
SlotInfo Slot(TestKind test, int slot);
// The drive list whose drive a slot measures (for the copy test, the destination's).
int DriveListOfSlot(TestKind test, int slot);

// "check", "compare", "copy".
std::string_view TestName(TestKind test);
// "seconds", "KB/sec".
std::string_view UnitName(ResultUnit unit);

// A fill line is counted as one KB but holds 1026 bytes.
inline constexpr double kBytesPerKilobyte = 1026.0;
double BytesPerSecond(double kbPerSecond);
// What a step moved a second: a speed's KB as fill lines, or a time's bytes
// over its seconds; none for a time without bytes or without a duration.
std::optional<double> BytesPerSecondOf(const ResultRecord& record);

}  // namespace trevalon::bench

// Bar widths and result captions.
#pragma once

#include <string>

#include "bench/view_operations.h"

namespace trevalon::bench {

// Inside width of a result track; a bar of this width fills it exactly.
inline constexpr double kTrackWidth = 3705.0;
inline constexpr float kResetBarWidth = 15.0F;

// Full-scale values of the measurements.
inline constexpr double kSmallFileScale = 5.0;      // seconds
inline constexpr double kLargeFileScale = 25.0;     // seconds
inline constexpr double kLookupDeleteScale = 2.0;   // seconds
inline constexpr double kCopyScale = 4.0;           // seconds
inline constexpr double kSpeedScale = 75000.0;      // KB/sec

// 3705 / fullScale * value as the bar's width; raises overflow (6) when
// the width cannot be held as a single-precision number.
float BarWidth(double fullScale, double value);

// "0.000" + " seconds": three decimals, at least one integer digit.
std::string FormatTime(double seconds, const NumberSeparators& separators);
// "##,###" + " KB/sec": whole number with thousands separators and no
// leading zero, so a figure below one half shows no digits.
std::string FormatSpeed(double kbPerSecond, const NumberSeparators& separators);

}  // namespace trevalon::bench

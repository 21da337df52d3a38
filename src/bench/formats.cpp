#include "bench/formats.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "bench/run_error.h"

namespace trevalon::bench {
namespace {

[[noreturn]] void RaiseOverflow() { throw RunTimeError(error_number::kOverflow, "Overflow"); }

// Digits of a non-negative whole number held in a double.
std::string WholeDigits(double whole) {
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", whole);
    return text;
}

std::string GroupThousands(const std::string& digits, const std::string& separator) {
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

float BarWidth(double fullScale, double value) {
    const double perUnit = kTrackWidth / fullScale;
    const double width = perUnit * value;
    if (!std::isfinite(width) || std::fabs(width) > FLT_MAX) RaiseOverflow();
    return static_cast<float>(width);
}

std::string FormatTime(double seconds, const NumberSeparators& separators) {
    if (!std::isfinite(seconds)) RaiseOverflow();
    const double thousandths = std::round(std::fabs(seconds) * 1000.0);
    const double whole = std::floor(thousandths / 1000.0);
    const int fraction = static_cast<int>(thousandths - whole * 1000.0);
    char decimals[8];
    std::snprintf(decimals, sizeof decimals, "%03d", fraction);
    std::string text = (seconds < 0 && thousandths > 0) ? "-" : "";
    text += WholeDigits(whole) + separators.decimal + decimals + " seconds";
    return text;
}

std::string FormatSpeed(double kbPerSecond, const NumberSeparators& separators) {
    if (!std::isfinite(kbPerSecond)) RaiseOverflow();
    const double whole = std::round(std::fabs(kbPerSecond));
    std::string text;
    if (whole > 0) {
        if (kbPerSecond < 0) text += '-';
        text += GroupThousands(WholeDigits(whole), separators.thousands);
    }
    return text + " KB/sec";
}

}  // namespace trevalon::bench

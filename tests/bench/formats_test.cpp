#include "bench/formats.h"

#include <gtest/gtest.h>

#include <limits>

#include "bench/run_error.h"

namespace trevalon::bench {
namespace {

const NumberSeparators kEnglish{".", ","};
const NumberSeparators kGerman{",", "."};

TEST(FormatTime, ThreeDecimalsToTheNearestThousandth) {
    EXPECT_EQ(FormatTime(0.0, kEnglish), "0.000 seconds");
    EXPECT_EQ(FormatTime(1.5, kEnglish), "1.500 seconds");
    EXPECT_EQ(FormatTime(0.0004, kEnglish), "0.000 seconds");
    EXPECT_EQ(FormatTime(0.0006, kEnglish), "0.001 seconds");
    EXPECT_EQ(FormatTime(2.9996, kEnglish), "3.000 seconds");
    // No thousands separator in times.
    EXPECT_EQ(FormatTime(12345.6789, kEnglish), "12345.679 seconds");
    EXPECT_EQ(FormatTime(1.5, kGerman), "1,500 seconds");
}

TEST(FormatSpeed, WholeNumbersWithThousandsSeparatorsAndNoLeadingZero) {
    EXPECT_EQ(FormatSpeed(0.0, kEnglish), " KB/sec");
    EXPECT_EQ(FormatSpeed(0.49, kEnglish), " KB/sec");
    EXPECT_EQ(FormatSpeed(0.5, kEnglish), "1 KB/sec");
    EXPECT_EQ(FormatSpeed(999.4, kEnglish), "999 KB/sec");
    EXPECT_EQ(FormatSpeed(999.5, kEnglish), "1,000 KB/sec");
    EXPECT_EQ(FormatSpeed(75000, kEnglish), "75,000 KB/sec");
    EXPECT_EQ(FormatSpeed(1234567.8, kEnglish), "1,234,568 KB/sec");
    EXPECT_EQ(FormatSpeed(1234567.8, kGerman), "1.234.568 KB/sec");
    EXPECT_EQ(FormatSpeed(100000, kEnglish), "100,000 KB/sec");
}

TEST(BarWidth, FullScaleFillsTheTrackAndMoreGoesBeyond) {
    EXPECT_FLOAT_EQ(BarWidth(kSpeedScale, 75000.0), 3705.0F);
    EXPECT_FLOAT_EQ(BarWidth(kSmallFileScale, 5.0), 3705.0F);
    EXPECT_FLOAT_EQ(BarWidth(kCopyScale, 1.5), 1389.375F);
    EXPECT_FLOAT_EQ(BarWidth(kLargeFileScale, 50.0), 7410.0F);
    EXPECT_FLOAT_EQ(BarWidth(kLookupDeleteScale, 0.0), 0.0F);
}

TEST(Formats, FiguresBeyondSinglePrecisionOrNotFiniteOverflow) {
    const auto overflows = [](auto show) {
        try {
            show();
        } catch (const RunTimeError& error) {
            return error.number() == error_number::kOverflow;
        }
        return false;
    };
    EXPECT_TRUE(overflows([] { BarWidth(kLookupDeleteScale, 1e300); }));
    EXPECT_TRUE(overflows([] { BarWidth(kSpeedScale, std::numeric_limits<double>::infinity()); }));
    EXPECT_TRUE(overflows([] { FormatTime(std::numeric_limits<double>::quiet_NaN(), kEnglish); }));
    EXPECT_TRUE(overflows([] { FormatSpeed(std::numeric_limits<double>::infinity(), kEnglish); }));
    EXPECT_FALSE(overflows([] { BarWidth(kLookupDeleteScale, 1e30); }));
}

}  // namespace
}  // namespace trevalon::bench

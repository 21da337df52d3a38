// A run's results as plain text that reads well pasted into a bug report or
// a forum post, and the figures such text shows beside the captions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bench/mount_info.h"
#include "bench/view_operations.h"

namespace trevalon::bench {

struct ReportedDrive {
    int list;               // the drive list it came from
    std::string directory;  // the root the run tested
    MountInfo mount;
};

struct ReportedResult {
    int slot;
    std::string shown;  // the figure exactly as its caption shows it
    std::optional<double> kbPerSecond;  // set for speeds
};

struct ResultsReport {
    std::string version;    // "1.5.5"
    std::string localTime;  // "2024-05-01 14:03:22"
    std::string mode;       // "cached"
    TestKind test = TestKind::kSingleDriveCheck;
    std::vector<ReportedDrive> drives;
    std::vector<ReportedResult> results;
    std::string status;
    NumberSeparators separators;
};

// "Drive", "Drive #2", "Source drive #1", "Destination drive #3".
std::string DriveHeading(TestKind test, int list);
// The caption label, numbered by drive where a panel has several drives.
std::string ResultLabel(TestKind test, int slot);

// Fixed decimals with thousands grouping in the given separators.
std::string FormatDecimal(double value, int decimals, const NumberSeparators& separators);
// A KB/sec figure in MB/s (10^6 bytes a second): "76.92 MB/s".
std::string FormatMegabytes(double kbPerSecond, const NumberSeparators& separators);

// The lines of the report, each ending in a line feed. Without results: the
// first line and "No results yet".
std::string ResultsText(const ResultsReport& report);

}  // namespace trevalon::bench

// A run's results as plain text that reads well pasted into a bug report or
// a forum post, and the figures such text shows beside the captions.
#pragma once

#include <cstdint>
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
    std::string shown;  // the figure exactly as its caption shows it
    ResultRecord record;
};

// A message the user was shown: a drive message box, or what the error
// window was handed.
struct ReportedMessage {
    std::optional<int> list;  // the drive list whose drive it concerns
    std::string directory;    // that drive's root
    std::string text;
    bool errorWindow = false;
};

struct ResultsReport {
    std::string version;    // "1.5.5"
    std::string localTime;  // "2024-05-01 14:03:22"
    std::string mode;       // "cached"
    TestKind test = TestKind::kSingleDriveCheck;
    std::vector<ReportedDrive> drives;
    std::vector<ReportedResult> results;
    std::vector<ReportedMessage> messages;
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
// The bytes a record's step moved and their speed: "3,072,000 bytes,
// 256.00 MB/s"; empty for a step that moved none.
std::string TransferText(const ResultRecord& record, const NumberSeparators& separators);
// What the error window shows of a hand-off, on one line.
std::string ErrorWindowText(std::int32_t number, std::int32_t location,
                            const std::string& description);

// The lines of the report, each ending in a line feed. Without results or
// messages: the first line and "No results yet".
std::string ResultsText(const ResultsReport& report);

}  // namespace trevalon::bench

#include "bench/results_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "bench/result_slots.h"

namespace trevalon::bench {

std::string DriveHeading(TestKind test, int list) {
    const std::string number = "#" + std::to_string(list + 1);
    switch (test) {
        case TestKind::kSingleDriveCheck: return "Drive";
        case TestKind::kDriveComparison: return "Drive " + number;
        case TestKind::kCopyTest:
            return (list == 0 ? "Source drive " : "Destination drive ") + number;
    }
    return "Drive";
}

std::string ResultLabel(TestKind test, int slot) {
    const std::string label(Slot(test, slot).label);
    if (test == TestKind::kSingleDriveCheck) return label;
    return "#" + std::to_string(DriveListOfSlot(test, slot) + 1) + " " + label;
}

std::string FormatDecimal(double value, int decimals, const NumberSeparators& separators) {
    if (!std::isfinite(value)) return std::to_string(value);
    // to_chars, unlike printf, keeps "." whatever locale the program set.
    char buffer[400];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::fixed, decimals).ptr;
    const std::string digits(buffer, end);
    const std::size_t point = digits.find('.');
    const std::string whole = digits.substr(0, point);
    std::string text = value < 0 && digits.find_first_not_of("0.") != std::string::npos ? "-" : "";
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) text += separators.thousands;
        text += whole[i];
    }
    if (point != std::string::npos) text += separators.decimal + digits.substr(point + 1);
    return text;
}

std::string FormatMegabytes(double kbPerSecond, const NumberSeparators& separators) {
    return FormatDecimal(BytesPerSecond(kbPerSecond) / 1e6, 2, separators) + " MB/s";
}

std::string TransferText(const ResultRecord& record, const NumberSeparators& separators) {
    std::string text;
    if (record.bytes) {
        text = FormatDecimal(static_cast<double>(*record.bytes), 0, separators) + " bytes";
    }
    if (const std::optional<double> speed = BytesPerSecondOf(record)) {
        if (!text.empty()) text += ", ";
        text += FormatDecimal(*speed / 1e6, 2, separators) + " MB/s";
    }
    return text;
}

std::string ErrorWindowText(std::int32_t number, std::int32_t location,
                            const std::string& description) {
    return "Error Number: " + std::to_string(number) +
           ", Error Location: " + std::to_string(location) +
           ", Error Description: " + description;
}

std::string ResultsText(const ResultsReport& report) {
    std::string text = "Trevalon " + report.version + ", " + report.localTime + ", " +
                       report.mode + "\n";
    if (report.results.empty() && report.messages.empty()) return text + "No results yet\n";
    for (const ReportedDrive& drive : report.drives) {
        text += DriveHeading(report.test, drive.list) + ": " + drive.directory + " (" +
                drive.mount.fileSystemType + ", " + drive.mount.device + ")\n";
    }
    for (const ReportedResult& result : report.results) {
        text += ResultLabel(report.test, result.record.slot) + " " + result.shown;
        const std::string moved = TransferText(result.record, report.separators);
        if (!moved.empty()) text += " (" + moved + ")";
        text += "\n";
    }
    for (const ReportedMessage& message : report.messages) {
        text += message.errorWindow ? "Error window" : "Message";
        if (message.list) {
            text += " about " + DriveHeading(report.test, *message.list) + " " + message.directory;
        }
        text += ": " + message.text + "\n";
    }
    return text + report.status + "\n";
}

}  // namespace trevalon::bench

#include "cli/report.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <optional>
#include <vector>

#include "bench/formats.h"
#include "bench/result_slots.h"
#include "bench/results_text.h"

namespace trevalon::console {
namespace {

// Columns a UTF-8 text takes, for separators such as a narrow no-break space.
std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string PadRight(const std::string& text, std::size_t columns) {
    return text + std::string(columns - std::min(columns, Columns(text)), ' ');
}

std::string PadLeft(const std::string& text, std::size_t columns) {
    return std::string(columns - std::min(columns, Columns(text)), ' ') + text;
}

std::string Figure(const bench::ResultRecord& record, const bench::NumberSeparators& separators) {
    return record.unit == bench::ResultUnit::kSeconds
               ? bench::FormatTime(record.value, separators)
               : bench::FormatSpeed(record.value, separators);
}

std::string BytesColumn(const bench::ResultRecord& record, const bench::NumberSeparators& separators) {
    if (!record.bytes) return "";
    return bench::FormatDecimal(static_cast<double>(*record.bytes), 0, separators) + " bytes";
}

std::string SpeedColumn(const bench::ResultRecord& record, const bench::NumberSeparators& separators) {
    const std::optional<double> speed = bench::BytesPerSecondOf(record);
    return speed ? bench::FormatDecimal(*speed / 1e6, 2, separators) + " MB/s" : "";
}

bool IsValidUtf8(const std::string& text) {
    try {
        (void)nlohmann::json(text).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

}  // namespace

std::string TextBar(double value, double fullScale) {
    const double share = fullScale > 0 && value > 0 ? value / fullScale : 0.0;
    const int filled = std::isfinite(share)
                           ? static_cast<int>(std::lround(std::min(share, 1.0) * kBarCells))
                           : kBarCells;
    std::string bar = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "]";
    if (!(share <= 1.0)) bar.back() = '>';
    return bar;
}

std::string PlainReport(const RunRecorder& run, const RunFacts& facts) {
    struct Line {
        std::string label, figure, bar, bytes, speed;
    };
    std::string text = "Trevalon " + facts.version + ", " + std::string(bench::TestName(facts.test)) +
                       ", " + facts.mode + "\n";
    std::size_t labelWidth = 0, figureWidth = 0, bytesWidth = 0, speedWidth = 0;
    std::vector<std::pair<int, std::vector<Line>>> blocks;  // drive list -> its lines
    for (const auto& [list, root] : run.drives()) {
        std::vector<Line> lines;
        for (int slot = 0; slot < bench::SlotCount(facts.test); ++slot) {
            if (bench::DriveListOfSlot(facts.test, slot) != list) continue;
            const auto record = run.Record(slot);
            if (!record) continue;
            const bench::SlotInfo info = bench::Slot(facts.test, slot);
            lines.push_back({std::string(info.label), Figure(*record, facts.separators),
                             TextBar(record->value, info.fullScale),
                             BytesColumn(*record, facts.separators),
                             SpeedColumn(*record, facts.separators)});
            labelWidth = std::max(labelWidth, Columns(lines.back().label));
            figureWidth = std::max(figureWidth, Columns(lines.back().figure));
            bytesWidth = std::max(bytesWidth, Columns(lines.back().bytes));
            speedWidth = std::max(speedWidth, Columns(lines.back().speed));
        }
        blocks.emplace_back(list, std::move(lines));
    }
    for (const auto& [list, lines] : blocks) {
        const std::string root = run.drives().at(list);
        const bench::MountInfo mount = facts.mountOf(root);
        text += bench::DriveHeading(facts.test, list) + ": " + root + " (" + mount.fileSystemType +
                ", " + mount.device + ")\n";
        for (const Line& line : lines) {
            std::string row = "  " + PadRight(line.label, labelWidth) + "  " +
                              PadLeft(line.figure, figureWidth) + "  " + line.bar;
            if (bytesWidth > 0) row += "  " + PadLeft(line.bytes, bytesWidth);
            if (speedWidth > 0) row += "  " + PadLeft(line.speed, speedWidth);
            text += row.substr(0, row.find_last_not_of(' ') + 1) + "\n";
        }
    }
    if (!run.status().empty()) text += run.status() + "\n";
    return text;
}

nlohmann::json JsonReport(const RunRecorder& run, const RunFacts& facts) {
    nlohmann::json report = {
        {"program", "trevalon-cli"},
        {"version", facts.version},
        {"mode", facts.mode},
        {"test", bench::TestName(facts.test)},
        {"started", facts.startedUtc},
        {"drives", nlohmann::json::array()},
        {"results", nlohmann::json::array()},
        {"status", run.status()},
    };
    for (const auto& [list, root] : run.drives()) {
        const bench::MountInfo mount = facts.mountOf(root);
        nlohmann::json drive = {{"list", list + 1},
                                {"directory", root},
                                {"fileSystemType", mount.fileSystemType},
                                {"device", mount.device}};
        // File names are bytes: this one exactly, beside its readable form.
        if (!IsValidUtf8(root)) {
            drive["directoryBytes"] = std::vector<unsigned char>(root.begin(), root.end());
        }
        report["drives"].push_back(std::move(drive));
    }
    for (const bench::ResultRecord& record : run.records()) {
        nlohmann::json result = {
            {"test", bench::TestName(record.test)},
            {"slot", record.slot},
            {"drive", bench::DriveListOfSlot(record.test, record.slot) + 1},
            {"caption", bench::Slot(record.test, record.slot).label},
            {"value", record.value},
            {"unit", bench::UnitName(record.unit)},
        };
        if (record.bytes) result["bytes"] = *record.bytes;
        if (const std::optional<double> speed = bench::BytesPerSecondOf(record)) {
            result["bytesPerSecond"] = *speed;
        }
        report["results"].push_back(std::move(result));
    }
    if (!run.driveMessages().empty()) report["driveErrors"] = run.driveMessages();
    if (const auto& error = run.unexpectedError()) {
        report["unexpectedError"] = {{"number", error->number},
                                     {"location", error->location},
                                     {"description", error->description}};
    }
    return report;
}

std::string JsonText(const nlohmann::json& report) {
    return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

int ExitCodeOf(const RunRecorder& run) {
    if (run.unexpectedError()) return 3;
    if (!run.driveMessages().empty()) return 1;
    return 0;
}

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    // Called once, before any thread of ours runs: std::gmtime's shared buffer is safe.
    const std::tm utc = *std::gmtime(&now);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace trevalon::console

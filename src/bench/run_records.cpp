#include "bench/run_records.h"

#include "bench/host/host.h"

namespace trevalon::bench {

const char* ModeName(MeasureMode mode) {
    return mode == MeasureMode::kUncached ? "uncached" : "cached";
}

void RunRecords::RunBegins(MeasureMode mode) {
    *this = RunRecords{};
    mode_ = mode;
}

void RunRecords::Drive(int list, const std::string& root) {
    drives_[list] = root;
    currentList_ = list;
}

void RunRecords::Message(const std::string& text, bool errorWindow) {
    ReportedMessage message{std::nullopt, {}, text, errorWindow};
    if (const auto drive = drives_.find(currentList_); drive != drives_.end()) {
        message.list = drive->first;
        message.directory = drive->second;
    }
    messages_.push_back(std::move(message));
}

ResultsReport RunRecords::Report(const std::function<std::string(int slot)>& shownText) const {
    ResultsReport report;
    if (mode_) report.mode = ModeName(*mode_);
    report.messages = messages_;
    for (const auto& [list, root] : drives_) report.drives.push_back({list, root, MountOf(root)});
    for (const auto& [slot, record] : records_) {
        report.test = record.test;
        std::string shown = shownText(slot);
        if (!shown.empty()) report.results.push_back({std::move(shown), record});
    }
    return report;
}

}  // namespace trevalon::bench

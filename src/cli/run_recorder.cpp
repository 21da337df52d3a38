#include "cli/run_recorder.h"

#include <utility>

namespace trevalon::console {

RunRecorder::RunRecorder(std::vector<std::string> entries, bench::NumberSeparators separators)
    : entries_(std::move(entries)), separators_(std::move(separators)) {}

void RunRecorder::SetStatusText(const std::string& text) { status_ = text; }

void RunRecorder::SetResultText(int index, const std::string& text) { captions_[index] = text; }

void RunRecorder::SetBarWidth(int, float) {}

std::string RunRecorder::GetDriveEntry(int list) {
    return list >= 0 && list < static_cast<int>(entries_.size()) ? entries_[list] : "";
}

bool RunRecorder::YieldToWindow() { return true; }

void RunRecorder::ShowDriveMessage(const std::string& text) { messages_.push_back(text); }

void RunRecorder::HandOffError(std::int32_t number, std::int32_t location,
                               const std::string& description) {
    unexpected_ = UnexpectedError{number, location, description};
}

void RunRecorder::SetTestButtonEnabled(bool) {}

void RunRecorder::RecordResult(const bench::ResultRecord& record) { records_.push_back(record); }

void RunRecorder::RecordDrive(int list, const std::string& root) {
    drives_[list] = root;
    currentDrive_ = list;
}

std::optional<bench::ResultRecord> RunRecorder::Record(int slot) const {
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        if (it->slot == slot) return *it;
    }
    return std::nullopt;
}

}  // namespace trevalon::console

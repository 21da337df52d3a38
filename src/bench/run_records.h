// What one panel keeps of its last run for Copy Results: the typed records,
// the drives, the messages the user was shown and the run's mode. Both
// front ends keep theirs in one of these.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/drive_tests.h"
#include "bench/results_text.h"
#include "bench/view_operations.h"

namespace trevalon::bench {

const char* ModeName(MeasureMode mode);

class RunRecords {
public:
    // A new run forgets the last one and keeps its mode.
    void RunBegins(MeasureMode mode);
    void Result(const ResultRecord& record) { records_[record.slot] = record; }
    void Drive(int list, const std::string& root);
    // A message about the drive the run was at when it was shown.
    void Message(const std::string& text, bool errorWindow);
    // The report without version and time; the mode only once the panel ran.
    // shownText gives a slot's figure as its label shows it now.
    ResultsReport Report(const std::function<std::string(int slot)>& shownText) const;

private:
    std::optional<MeasureMode> mode_;
    std::map<int, ResultRecord> records_;
    std::map<int, std::string> drives_;
    std::vector<ReportedMessage> messages_;
    int currentList_ = -1;
};

}  // namespace trevalon::bench

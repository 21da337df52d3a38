// A window-less view over the drive tests that keeps what a run shows:
// the console programs print from it once the run is over.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/view_operations.h"

namespace trevalon::console {

struct UnexpectedError {
    std::int32_t number;
    std::int32_t location;
    std::string description;
};

class RunRecorder : public bench::ViewOperations {
public:
    // Directories of drive lists 0 to 3 (fewer given leaves the rest empty).
    explicit RunRecorder(std::vector<std::string> entries,
                         bench::NumberSeparators separators = {});

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    [[nodiscard]] bool YieldToWindow() override;
    void ShowDriveMessage(const std::string& text) override;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override;
    void SetTestButtonEnabled(bool enabled) override;
    bench::NumberSeparators GetNumberSeparators() override { return separators_; }
    void RecordResult(const bench::ResultRecord& record) override;
    void RecordDrive(int list, const std::string& root) override;

    const std::string& status() const { return status_; }
    const std::map<int, std::string>& captions() const { return captions_; }
    // In the order the run showed them.
    const std::vector<bench::ResultRecord>& records() const { return records_; }
    // Drive list -> root, for the drives whose measurements began.
    const std::map<int, std::string>& drives() const { return drives_; }
    const std::vector<std::string>& driveMessages() const { return messages_; }
    const std::optional<UnexpectedError>& unexpectedError() const { return unexpected_; }
    // The latest record of a slot, if the run showed one.
    std::optional<bench::ResultRecord> Record(int slot) const;
    // The drive list whose measurements began last (-1 before any).
    int currentDrive() const { return currentDrive_; }

private:
    std::vector<std::string> entries_;
    bench::NumberSeparators separators_;
    std::string status_;
    std::map<int, std::string> captions_;
    std::vector<bench::ResultRecord> records_;
    std::map<int, std::string> drives_;
    std::vector<std::string> messages_;
    std::optional<UnexpectedError> unexpected_;
    int currentDrive_ = -1;
};

}  // namespace trevalon::console

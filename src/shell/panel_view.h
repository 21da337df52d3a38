// The view operations of one test panel, carried out on its controls.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <map>
#include <vector>

#include "bench/drive_tests.h"
#include "bench/results_text.h"
#include "bench/run_records.h"
#include "bench/view_operations.h"
#include "shell/drive_list.h"

namespace trevalon::shell {

// What every panel's view needs to know about the program as a whole.
class RunState {
public:
    virtual ~RunState() = default;
    virtual bool ClosingRequested() const = 0;
    virtual bool TestRunning() const = 0;
};

struct PanelControls {
    QLabel* status = nullptr;
    std::vector<QLabel*> results;
    std::vector<QWidget*> bars;
    std::vector<DriveList*> lists;
    QPushButton* button = nullptr;
};

// "cached", "uncached".
using bench::ModeName;

// Bar width in whole pixels for a width in twips. Figures that are not
// numbers, negative or absurdly wide are held to what a track can show.
int BarPixels(float twips);

class PanelView final : public bench::ViewOperations {
public:
    PanelView(PanelControls controls, const RunState& state, QWidget* messageOwner);

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    std::optional<std::uint64_t> GetDriveVolume(int list) override;
    [[nodiscard]] bool YieldToWindow() override;
    void ShowDriveMessage(const std::string& text) override;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override;
    void SetTestButtonEnabled(bool enabled) override;
    bench::NumberSeparators GetNumberSeparators() override;
    void RecordResult(const bench::ResultRecord& record) override;
    void RecordDrive(int list, const std::string& root) override;

    // A run of the panel's test begins in this mode: what was recorded of
    // the run before goes.
    void RunBegins(bench::MeasureMode mode) { run_.RunBegins(mode); }
    // The panel's last run as it shows now: its mode, drives, the figures of
    // its result labels, the messages it showed and its status text. Version
    // and time are left empty, and the mode too before any run.
    bench::ResultsReport Report();

    // The button is usable when the panel's test wants it and no test runs.
    void ApplyButtonState();

    const PanelControls& Controls() const { return controls_; }

private:
    PanelControls controls_;
    const RunState& state_;
    QWidget* messageOwner_;
    bool buttonWanted_ = true;
    bench::RunRecords run_;
};

}  // namespace trevalon::shell

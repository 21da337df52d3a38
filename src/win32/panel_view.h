// The view operations of one test panel, carried out on its Win32 controls
// (window thread only; runs reach it through WindowThreadView).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "bench/drive_tests.h"
#include "bench/results_text.h"
#include "bench/run_records.h"
#include "bench/view_operations.h"

namespace trevalon::win32 {

// What every panel needs to know about the program as a whole.
class RunState {
public:
    virtual ~RunState() = default;
    virtual bool ClosingRequested() const = 0;
    virtual bool TestRunning() const = 0;
};

struct PanelControls {
    HWND status = nullptr;
    std::vector<HWND> results;
    std::vector<HWND> bars;
    std::vector<HWND> lists;
    HWND button = nullptr;
};

// Bar width in whole pixels for a width in twips at `dpi`. Figures that are
// not numbers, negative or absurdly wide are held to what a track can show.
int BarPixels(float twips, int dpi);

using HandOff = std::function<void(std::int32_t, std::int32_t, const std::string&)>;

class PanelView final : public bench::ViewOperations {
public:
    PanelView(PanelControls controls, const RunState& state, HWND owner, int dpi, HandOff handOff);

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    [[nodiscard]] bool YieldToWindow() override;
    void ShowDriveMessage(const std::string& text) override;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override;
    void SetTestButtonEnabled(bool enabled) override;
    bench::NumberSeparators GetNumberSeparators() override;
    void RecordResult(const bench::ResultRecord& record) override;
    void RecordDrive(int list, const std::string& root) override;

    // A new run forgets the last one's records and messages and keeps its mode.
    void RunBegins(bench::MeasureMode mode) { run_.RunBegins(mode); }
    // The panel's last run as it shows now; version and time are left empty,
    // and the mode too where the panel has not run yet.
    bench::ResultsReport Report();
    // The button is usable when the panel's test wants it and no test runs.
    void ApplyButtonState();

    const PanelControls& Controls() const { return controls_; }

private:
    PanelControls controls_;
    const RunState& state_;
    HWND owner_;
    int dpi_;
    HandOff handOff_;
    bool buttonWanted_ = true;
    bench::RunRecords run_;
};

// The user's regional decimal and thousands separators.
bench::NumberSeparators UserSeparators();

}  // namespace trevalon::win32

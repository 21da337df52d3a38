// The view operations of one test panel, carried out on its Win32 controls
// (window thread only; runs reach it through WindowThreadView).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "forms/panel_run.h"

namespace trevalon::win32 {

using forms::RunState;

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

class PanelView final : public forms::PanelRun {
public:
    PanelView(PanelControls controls, const RunState& state, HWND owner, int dpi, HandOff handOff);

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    [[nodiscard]] bool YieldToWindow() override;
    bench::NumberSeparators GetNumberSeparators() override;

    const PanelControls& Controls() const { return controls_; }

private:
    void ShowMessageBox(const std::string& text) override;
    void PassOnError(std::int32_t number, std::int32_t location,
                     const std::string& description) override;
    void EnableButton(bool enabled) override;
    std::string ResultCaption(int slot) override;
    std::string StatusCaption() override;

    PanelControls controls_;
    HWND owner_;
    int dpi_;
    HandOff handOff_;
};

// The user's regional decimal and thousands separators.
bench::NumberSeparators UserSeparators();

}  // namespace trevalon::win32

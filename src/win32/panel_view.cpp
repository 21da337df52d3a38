#include "win32/panel_view.h"

#include <cmath>

#include "bench/host/host.h"
#include "bench/mount_info.h"
#include "win32/controls.h"
#include "win32/wide_text.h"

namespace trevalon::win32 {

int BarPixels(float twips, int dpi) {
    // Far wider than any track; the track cuts the bar off at its edge anyway.
    constexpr double kWidest = 100000.0;
    if (!(twips > 0.0F)) return 0;  // negative and NaN alike
    return static_cast<int>(std::lround(std::fmin(twips, kWidest) * dpi / 1440.0));
}

bench::NumberSeparators UserSeparators() { return bench::UserNumberSeparators(); }

PanelView::PanelView(PanelControls controls, const RunState& state, HWND owner, int dpi,
                     HandOff handOff)
    : PanelRun(state),
      controls_(std::move(controls)),
      owner_(owner),
      dpi_(dpi),
      handOff_(std::move(handOff)) {}

void PanelView::SetStatusText(const std::string& text) {
    SetWindowTextW(controls_.status, Wide(text).c_str());
}

void PanelView::SetResultText(int index, const std::string& text) {
    SetWindowTextW(controls_.results.at(static_cast<std::size_t>(index)), Wide(text).c_str());
}

void PanelView::SetBarWidth(int index, float twips) {
    SetWidthPixels(controls_.bars.at(static_cast<std::size_t>(index)), BarPixels(twips, dpi_));
}

std::string PanelView::GetDriveEntry(int list) {
    const HWND box = controls_.lists.at(static_cast<std::size_t>(list));
    const LRESULT selected = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return {};
    const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == CB_ERR) return {};
    std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(static_cast<std::size_t>(length));
    return Utf8(entry);
}

// The window thread serves the run's operations from its message loop, so
// its events run all the while; a yield only asks whether to go on.
bool PanelView::YieldToWindow() { return !State().ClosingRequested(); }

void PanelView::ShowMessageBox(const std::string& text) {
    MessageBoxW(owner_, Wide(text).c_str(), L"Trevalon", MB_OK);
}

void PanelView::PassOnError(std::int32_t number, std::int32_t location,
                            const std::string& description) {
    handOff_(number, location, description);
}

bench::NumberSeparators PanelView::GetNumberSeparators() { return UserSeparators(); }

std::string PanelView::ResultCaption(int slot) {
    return Utf8(WindowText(controls_.results.at(static_cast<std::size_t>(slot))));
}

std::string PanelView::StatusCaption() { return Utf8(WindowText(controls_.status)); }

void PanelView::EnableButton(bool enabled) { EnableWindow(controls_.button, enabled ? TRUE : FALSE); }

}  // namespace trevalon::win32

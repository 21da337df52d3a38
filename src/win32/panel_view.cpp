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
    : controls_(std::move(controls)),
      state_(state),
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
bool PanelView::YieldToWindow() { return !state_.ClosingRequested(); }

void PanelView::ShowDriveMessage(const std::string& text) {
    if (state_.ClosingRequested()) return;
    messages_.push_back(MessageAboutCurrentDrive(text, false));
    MessageBoxW(owner_, Wide(text).c_str(), L"Trevalon", MB_OK);
}

void PanelView::HandOffError(std::int32_t number, std::int32_t location,
                             const std::string& description) {
    if (state_.ClosingRequested()) return;
    messages_.push_back(
        MessageAboutCurrentDrive(bench::ErrorWindowText(number, location, description), true));
    handOff_(number, location, description);
}

void PanelView::SetTestButtonEnabled(bool enabled) {
    buttonWanted_ = enabled;
    ApplyButtonState();
}

bench::NumberSeparators PanelView::GetNumberSeparators() { return UserSeparators(); }

void PanelView::RecordResult(const bench::ResultRecord& record) { records_[record.slot] = record; }

void PanelView::RecordDrive(int list, const std::string& root) {
    drives_[list] = root;
    currentList_ = list;
}

bench::ReportedMessage PanelView::MessageAboutCurrentDrive(const std::string& text,
                                                           bool errorWindow) const {
    bench::ReportedMessage message{std::nullopt, {}, text, errorWindow};
    if (const auto drive = drives_.find(currentList_); drive != drives_.end()) {
        message.list = drive->first;
        message.directory = drive->second;
    }
    return message;
}

void PanelView::RunBegins(bench::MeasureMode mode) {
    mode_ = mode;
    records_.clear();
    drives_.clear();
    messages_.clear();
    currentList_ = -1;
}

bench::ResultsReport PanelView::Report() {
    bench::ResultsReport report;
    if (mode_) report.mode = mode_ == bench::MeasureMode::kUncached ? "uncached" : "cached";
    report.messages = messages_;
    report.separators = GetNumberSeparators();
    report.status = Utf8(WindowText(controls_.status));
    for (const auto& [list, root] : drives_) {
        report.drives.push_back({list, root, bench::MountOf(root)});
    }
    for (const auto& [slot, record] : records_) {
        report.test = record.test;
        const std::string shown =
            Utf8(WindowText(controls_.results.at(static_cast<std::size_t>(slot))));
        if (shown.empty()) continue;
        report.results.push_back({shown, record});
    }
    return report;
}

void PanelView::ApplyButtonState() {
    EnableWindow(controls_.button, buttonWanted_ && !state_.TestRunning() ? TRUE : FALSE);
}

}  // namespace trevalon::win32

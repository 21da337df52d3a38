// The view operations of one test panel, carried out on its controls.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "forms/panel_run.h"
#include "shell/drive_list.h"

namespace trevalon::shell {

using forms::RunState;

struct PanelControls {
    QLabel* status = nullptr;
    std::vector<QLabel*> results;
    std::vector<QWidget*> bars;
    std::vector<DriveList*> lists;
    QPushButton* button = nullptr;
};

// Bar width in whole pixels for a width in twips. Figures that are not
// numbers, negative or absurdly wide are held to what a track can show.
int BarPixels(float twips);

class PanelView final : public forms::PanelRun {
public:
    PanelView(PanelControls controls, const RunState& state, QWidget* messageOwner);

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    std::optional<std::uint64_t> GetDriveVolume(int list) override;
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
    QWidget* messageOwner_;
};

}  // namespace trevalon::shell

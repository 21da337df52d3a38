#include "forms/run_loop.h"

#include "common/error_locations.h"
#include "forms/windows.h"

namespace trevalon::forms {

std::optional<PanelOrder> PanelShownBy(Command command) {
    switch (command) {
        case Command::DriveSpeedComparison:
            return PanelOrder{kComparisonPanel, {kCopyPanel, kSingleDrivePanel}};
        case Command::MultiDriveCopyCheck:
            return PanelOrder{kCopyPanel, {kComparisonPanel, kSingleDrivePanel}};
        case Command::SingleDriveDetailedCheck:
            return PanelOrder{kSingleDrivePanel, {kComparisonPanel, kCopyPanel}};
        default:
            return std::nullopt;
    }
}

ErrorTexts ErrorWindowTexts(std::int32_t number, std::int32_t location,
                            std::string_view description) {
    return {"Error Location: " + std::to_string(location), "Error Number: " + std::to_string(number),
            "Error Description: " + std::string(description)};
}

void RunStartupSequence(StartupSteps& steps, bool versionCheck) {
    bool started = false;
    TrapErrors(
        location::kInitializeAppTimer,
        [&] {
            // However long the check takes, the event never comes a second time.
            steps.DisableTimer();
            if (versionCheck) {
                steps.SetStatus(kCheckingStatus);
                steps.LetEventsRun();
            }
            started = true;
        },
        [&](std::int32_t number, std::int32_t where, const std::string& description) {
            steps.HandOff(number, where, description);
        });
    if (!started) return;

    if (versionCheck) IgnoringErrors([&] { steps.CheckForNewVersion(); });
    IgnoringErrors([&] { steps.ShowMainWindow(); });
    IgnoringErrors([&] {
        if (steps.NoticeVisible()) steps.RaiseNotice();
    });
    IgnoringErrors([&] { steps.DisableTimer(); });
    IgnoringErrors([&] { steps.UnloadSplash(); });
}

}  // namespace trevalon::forms

// What the windows do that no toolkit decides: which panel a command shows,
// when a test may start and its button be used, how a handler traps its
// errors, and the order of start-up. Both front ends run these.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/run_error.h"
#include "forms/form.h"

namespace trevalon::forms {

// A "&Check Drives" command: make `shown` visible, bring it to the front,
// then hide the other two in this order.
struct PanelOrder {
    std::string_view shown;
    std::array<std::string_view, 2> hidden;
};
// Empty for a command that shows no panel.
std::optional<PanelOrder> PanelShownBy(Command command);
// Form_Load runs this command's handler, so the window first shows its panel.
inline constexpr Command kLoadCommand = Command::SingleDriveDetailedCheck;

// Two runs on the same scratch files would spoil both: while one test runs,
// and once the program is closing, a click starts nothing.
constexpr bool MayStartTest(bool testRunning, bool closing) { return !testRunning && !closing; }
// A test button is usable when its panel's test wants it and no test runs.
constexpr bool TestButtonEnabled(bool wanted, bool testRunning) { return wanted && !testRunning; }

// frmErrors' three labels for its three values, as each activation and
// focus refreshes them: numbers in decimal, a negative one with its "-".
struct ErrorTexts {
    std::string location, number, description;
};
ErrorTexts ErrorWindowTexts(std::int32_t number, std::int32_t location,
                            std::string_view description);

// Every handler traps every error raised inside it and hands it off with its
// location number; nothing crosses a handler, the hand-off included.
template <class Handler, class HandOff>
void TrapErrors(std::int32_t location, Handler&& handler, HandOff&& handOff) noexcept {
    try {
        handler();
    } catch (...) {
        try {
            const RunTimeError error = CurrentRunTimeError();
            handOff(error.number(), location, error.description());
        } catch (...) {
        }
    }
}

// A step that fails is skipped and the next one runs.
template <class Step>
void IgnoringErrors(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

// The splash window's part in start-up, as its front end carries it out.
class StartupSteps {
public:
    virtual ~StartupSteps() = default;
    virtual void DisableTimer() = 0;
    virtual void SetStatus(std::string_view text) = 0;
    virtual void LetEventsRun() = 0;  // once, so the new status shows
    virtual void CheckForNewVersion() = 0;
    virtual void ShowMainWindow() = 0;
    virtual bool NoticeVisible() = 0;
    virtual void RaiseNotice() = 0;
    virtual void UnloadSplash() = 0;
    virtual void HandOff(std::int32_t number, std::int32_t location,
                         const std::string& description) = 0;
};

inline constexpr std::string_view kCheckingStatus = "Checking for newer version";

// tmrInitializeApp_Timer. An error before the check hands off (location 46)
// and leaves the splash up; from the check on, a failing step is skipped.
// Without the version check (a build choice) the splash keeps its text and
// no request is made.
void RunStartupSequence(StartupSteps& steps, bool versionCheck);

}  // namespace trevalon::forms

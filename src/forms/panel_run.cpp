#include "forms/panel_run.h"

#include <utility>

#include "common/version.h"
#include "forms/run_loop.h"

namespace trevalon::forms {

void PanelRun::ShowDriveMessage(const std::string& text) {
    if (state_.ClosingRequested()) return;
    run_.Message(text, false);
    ShowMessageBox(text);
}

void PanelRun::HandOffError(std::int32_t number, std::int32_t location,
                            const std::string& description) {
    if (state_.ClosingRequested()) return;
    run_.Message(bench::ErrorWindowText(number, location, description), true);
    PassOnError(number, location, description);
}

void PanelRun::SetTestButtonEnabled(bool enabled) {
    buttonWanted_ = enabled;
    ApplyButtonState();
}

bench::ResultsReport PanelRun::Report() {
    bench::ResultsReport report = run_.Report([this](int slot) { return ResultCaption(slot); });
    report.separators = GetNumberSeparators();
    report.status = StatusCaption();
    return report;
}

void PanelRun::ApplyButtonState() {
    EnableButton(TestButtonEnabled(buttonWanted_, state_.TestRunning()));
}

void TestRuns::RunTest(PanelRun& view, std::int32_t location, DriveTest test) {
    if (!MayStartTest(testRunning_, closing_)) return;
    testRunning_ = true;
    UpdateTestButtons();
    Trap(location, [&] {
        const bench::TestEnvironment environment{*clock_, bench::HostFileLayer(), &stop_, mode_};
        view.RunBegins(mode_);
        if (const std::exception_ptr error = RunRelayedTest(
                view, [&](bench::ViewOperations& relay) { test(relay, environment); })) {
            std::rethrow_exception(error);
        }
    });
    testRunning_ = false;
    if (closing_) {
        Quit();
        return;
    }
    UpdateTestButtons();
}

std::string TestRuns::CopiedResults(PanelRun& front, std::string localTime) const {
    bench::ResultsReport report = front.Report();
    report.version = kVersionText;
    report.localTime = std::move(localTime);
    // A panel without a run yet: the mode its first run would have.
    if (report.mode.empty()) report.mode = bench::ModeName(mode_);
    return bench::ResultsText(report);
}

}  // namespace trevalon::forms

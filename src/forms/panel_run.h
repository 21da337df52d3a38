// The parts of the main window's test runs that no toolkit decides: what a
// panel keeps of its last run and when its button is usable, and a test
// button's click. Both front ends derive their panel views and their
// frmDriveSpeed from these.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "bench/drive_tests.h"
#include "bench/host/host.h"
#include "bench/results_text.h"
#include "bench/run_records.h"
#include "bench/view_operations.h"

namespace trevalon::forms {

// What every panel's view needs to know about the program as a whole.
class RunState {
public:
    virtual ~RunState() = default;
    virtual bool ClosingRequested() const = 0;
    virtual bool TestRunning() const = 0;
};

// A panel's view, but for what its controls do. Once the program is closing
// it shows no message and hands off no error.
class PanelRun : public bench::ViewOperations {
public:
    explicit PanelRun(const RunState& state) : state_(state) {}

    void ShowDriveMessage(const std::string& text) final;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) final;
    void SetTestButtonEnabled(bool enabled) final;
    void RecordResult(const bench::ResultRecord& record) final { run_.Result(record); }
    void RecordDrive(int list, const std::string& root) final { run_.Drive(list, root); }

    // A new run forgets the last one's records and messages and keeps its mode.
    void RunBegins(bench::MeasureMode mode) { run_.RunBegins(mode); }
    // The panel's last run as it shows now: its mode, drives, the figures of
    // its result labels, the messages it showed and its status text. Version
    // and time are left empty, and the mode too before any run.
    bench::ResultsReport Report();
    // The button is usable when the panel's test wants it and no test runs.
    void ApplyButtonState();

protected:
    const RunState& State() const { return state_; }

private:
    // The modal box of ShowDriveMessage.
    virtual void ShowMessageBox(const std::string& text) = 0;
    // frmErrors.
    virtual void PassOnError(std::int32_t number, std::int32_t location,
                             const std::string& description) = 0;
    virtual void EnableButton(bool enabled) = 0;
    virtual std::string ResultCaption(int slot) = 0;
    virtual std::string StatusCaption() = 0;

    const RunState& state_;
    bool buttonWanted_ = true;
    bench::RunRecords run_;
};

// frmDriveSpeed's test runs. Two runs on the same scratch files would spoil
// both, so while one test runs every test button is disabled and a click that
// still arrives is refused; once the program closes, a running test stops at
// its next yield and cleans up before the program ends.
class TestRuns : public RunState {
public:
    bool ClosingRequested() const override { return closing_; }
    bool TestRunning() const override { return testRunning_; }

protected:
    using DriveTest = void (*)(bench::ViewOperations&, const bench::TestEnvironment&);
    // A test button's click.
    void RunTest(PanelRun& view, std::int32_t location, DriveTest test);
    // From now on no test starts and a running one is abandoned within its step.
    void BeginClosing() {
        closing_ = true;
        stop_ = true;
    }
    // Copy Results' text for the panel in front, stamped with the local time.
    std::string CopiedResults(PanelRun& front, std::string localTime) const;

    bool closing_ = false;
    bool testRunning_ = false;
    // What the running test, on its own thread, checks inside its steps.
    bench::StopFlag stop_{false};
    bench::Clock* clock_ = &bench::HostClock();
    // Read when a run starts, so a change during a run applies to the next.
    bench::MeasureMode mode_ = bench::MeasureMode::kCached;

private:
    virtual void UpdateTestButtons() = 0;
    // The front end's TrapErrors.
    virtual void Trap(std::int32_t location, const std::function<void()>& handler) noexcept = 0;
    // Runs `test` off the window thread over a WindowThreadView of `view`.
    virtual std::exception_ptr RunRelayedTest(
        bench::ViewOperations& view, const std::function<void(bench::ViewOperations&)>& test) = 0;
    // The run has cleaned up after it saw the program closing.
    virtual void Quit() = 0;
};

}  // namespace trevalon::forms

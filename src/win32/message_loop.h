// The window thread's message loop, and the thread a drive test runs on:
// every view operation of the run is sent to the window thread and waited
// for, so the controls are only ever touched there, in the run's order.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "bench/view_operations.h"

namespace trevalon::win32 {

// Messages of this kind carry a std::function<void()>* to run on the window
// thread; a window procedure hands them to RunRelayed.
inline constexpr UINT kRunOnWindowThread = WM_APP + 1;
LRESULT RunRelayed(LPARAM operation);

// The main window's shortcut keys, honoured for it and all its children.
void UseAccelerators(HWND window, HACCEL table);

// Until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Lets the pending messages run once, as a yield does.
void RunPendingMessages();

// Runs `run` on a new thread while this (window) thread goes on handling
// messages; returns once the run has ended, with the error that ended it.
std::exception_ptr RunOffWindowThread(const std::function<void()>& run);

// Forwards each view operation to `view` on the thread of `relay` (a window
// that answers kRunOnWindowThread) and waits; an error it raises is raised
// again in the run.
class WindowThreadView final : public bench::ViewOperations {
public:
    WindowThreadView(bench::ViewOperations& view, HWND relay) : view_(view), relay_(relay) {}

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

private:
    void OnWindowThread(const std::function<void()>& operation);

    bench::ViewOperations& view_;
    HWND relay_;
};

}  // namespace trevalon::win32

// The window thread's message loop, and the thread a drive test runs on:
// every view operation of the run is sent to the window thread and waited
// for, so the controls are only ever touched there, in the run's order.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "bench/view_operations.h"
#include "forms/relayed_view.h"

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

// Carries each view operation to the thread of `relay` (a window that
// answers kRunOnWindowThread) and waits.
class WindowThreadView final : public forms::RelayedView {
public:
    WindowThreadView(bench::ViewOperations& view, HWND relay) : RelayedView(view), relay_(relay) {}

private:
    void OnWindowThread(const std::function<void()>& operation) override;

    HWND relay_;
};

}  // namespace trevalon::win32

// Ctrl+C, Ctrl+Break and the console's closing end a run the way Exit does.
// The handler runs on a thread of its own: it sets the stop flag and, for a
// console that is closing (which ends the process once the handler
// returns), gives the run time to remove its scratch files.
#include "bench/host/win32/win32.h"

#include <atomic>
#include <csignal>

#include "bench/host/host.h"

namespace trevalon::bench {
namespace {

std::atomic<int> arrived{0};

void Arrived(int number) {
    int none = 0;
    arrived.compare_exchange_strong(none, number);
    ProcessStopFlag().store(true);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            Arrived(SIGINT);
            return TRUE;
        case CTRL_BREAK_EVENT:
            Arrived(SIGBREAK);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            Arrived(SIGTERM);
            // Windows ends the process when this returns (or after 5 s): the
            // program's own end comes first.
            ::Sleep(4500);
            return TRUE;
        default:
            return FALSE;
    }
}

extern "C" void OnSignal(int number) {
    Arrived(number);
    std::signal(number, OnSignal);
}

}  // namespace

StopFlag& ProcessStopFlag() {
    static StopFlag flag{false};
    return flag;
}

int InstallStopSignals() {
    static const int descriptor = [] {
        (void)ProcessStopFlag();
        ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
        std::signal(SIGTERM, OnSignal);
        return -1;
    }();
    return descriptor;
}

int StopSignalNumber() { return arrived.load(); }

void ForgetStopSignals() {
    arrived.store(0);
    ProcessStopFlag().store(false);
}

void DrainStopSignals() {}

int StopSignalExitStatus() {
    const int number = StopSignalNumber();
    return number == 0 ? 0 : 128 + number;
}

}  // namespace trevalon::bench

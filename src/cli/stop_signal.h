// Ctrl+C (and SIGTERM, SIGHUP) stop the running test at once through the
// shared stop request; it removes its scratch files and the program exits
// with 128 + the signal, 130 for Ctrl+C.
#pragma once

namespace trevalon::console {

inline constexpr int kInterruptedExitCode = 130;

void InstallStopOnInterrupt();
bool StopRequested();
// What the handler does, for tests that cannot send a signal.
void RequestStop();
// 128 + the stop signal, or kInterruptedExitCode for a stop without one.
int StoppedExitCode();

}  // namespace trevalon::console

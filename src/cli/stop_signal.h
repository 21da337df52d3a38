// Ctrl+C asks the running test to stop at its next yield; it then removes its
// scratch files and the program exits with 130. Kept in one place so that a
// shared stop request can take its role.
#pragma once

namespace trevalon::console {

inline constexpr int kInterruptedExitCode = 130;

// Installs the SIGINT handler (no restart of system calls needed: the run
// checks the flag at its yields).
void InstallStopOnInterrupt();
bool StopRequested();
// What the handler does, for tests that cannot send a signal.
void RequestStop();

}  // namespace trevalon::console

// SIGTERM, SIGHUP and SIGINT end a run the way Exit does. The handler only
// sets the process's stop flag and wakes a descriptor that an event loop
// can watch; the program cleans up and ends outside the handler.
#pragma once

#include "bench/stop_request.h"

namespace trevalon::bench {

// The flag the host's runs (those without an environment of their own) obey.
StopFlag& ProcessStopFlag();

// Installs the handlers once. Returns a descriptor that becomes readable
// when one of the signals arrives, or -1 where the platform has none.
int InstallStopSignals();

// The first stop signal that arrived, 0 if none did.
int StopSignalNumber();

// Back to no signal having arrived, for a process that goes on after one
// (a test of several stops in turn).
void ForgetStopSignals();

// Empties the descriptor after it became readable.
void DrainStopSignals();

// The exit status a program ends with after a stop signal: 128 + the signal,
// as a shell reports a program the signal ended; 0 if none arrived.
int StopSignalExitStatus();

}  // namespace trevalon::bench

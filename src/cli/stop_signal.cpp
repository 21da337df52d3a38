#include "cli/stop_signal.h"

#include "bench/stop_signals.h"

namespace trevalon::console {

void InstallStopOnInterrupt() { (void)bench::InstallStopSignals(); }

bool StopRequested() { return bench::StopRequested(&bench::ProcessStopFlag()); }

void RequestStop() { bench::ProcessStopFlag().store(true); }

int StoppedExitCode() {
    const int status = bench::StopSignalExitStatus();
    return status != 0 ? status : kInterruptedExitCode;
}

}  // namespace trevalon::console

// The only file besides the host file layer that uses POSIX calls; elsewhere
// std::signal covers what the platform has.
#include "bench/stop_signals.h"

#include <csignal>

#if __has_include(<unistd.h>) && __has_include(<fcntl.h>)
#define TREVALON_POSIX_SIGNALS 1
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace trevalon::bench {
namespace {

std::atomic<int> arrived{0};
static_assert(std::atomic<int>::is_always_lock_free);
int wakeRead = -1;
int wakeWrite = -1;

extern "C" void OnStopSignal(int number) {
    int none = 0;
    arrived.compare_exchange_strong(none, number);
    ProcessStopFlag().store(true);
#ifdef TREVALON_POSIX_SIGNALS
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    if (wakeWrite >= 0) (void)!::write(wakeWrite, &byte, 1);
    errno = saved;
#endif
}

}  // namespace

StopFlag& ProcessStopFlag() {
    static StopFlag flag{false};
    return flag;
}

int InstallStopSignals() {
    static const int descriptor = [] {
        (void)ProcessStopFlag();  // constructed before any handler can run
#ifdef TREVALON_POSIX_SIGNALS
        int ends[2];
        if (::pipe(ends) == 0) {
            for (int end : ends) {
                ::fcntl(end, F_SETFD, FD_CLOEXEC);
                ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
            }
            wakeRead = ends[0];
            wakeWrite = ends[1];
        }
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        // Calls the signal lands in carry on; the flag is what stops the run.
        action.sa_flags = SA_RESTART;
        for (int number : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(number, &action, nullptr);
        return wakeRead;
#else
        std::signal(SIGTERM, OnStopSignal);
        std::signal(SIGINT, OnStopSignal);
        return -1;
#endif
    }();
    return descriptor;
}

int StopSignalNumber() { return arrived.load(); }

void ForgetStopSignals() {
    DrainStopSignals();
    arrived.store(0);
    ProcessStopFlag().store(false);
}

void DrainStopSignals() {
#ifdef TREVALON_POSIX_SIGNALS
    char bytes[64];
    while (wakeRead >= 0 && ::read(wakeRead, bytes, sizeof bytes) > 0) {
    }
#endif
}

int StopSignalExitStatus() {
    const int number = StopSignalNumber();
    return number == 0 ? 0 : 128 + number;
}

}  // namespace trevalon::bench

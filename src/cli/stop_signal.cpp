#include "cli/stop_signal.h"

#include <atomic>
#include <csignal>

namespace trevalon::console {
namespace {

// A signal handler may only touch lock-free atomics.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { stopRequested.store(true); }

}  // namespace

void InstallStopOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool StopRequested() { return stopRequested.load(); }

void RequestStop() { stopRequested.store(true); }

}  // namespace trevalon::console

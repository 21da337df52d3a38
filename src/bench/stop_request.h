// A request to end the running test. It is set from anywhere, a signal
// handler included, and read only where a run can stop at no measurable cost.
#pragma once

#include <atomic>

namespace trevalon::bench {

using StopFlag = std::atomic<bool>;
static_assert(StopFlag::is_always_lock_free, "a signal handler must be able to set it");

// Raised where a run sees the program closing: the run ends at once, makes
// no further view call, and its scratch files go.
struct ProgramClosing {};

inline bool StopRequested(const StopFlag* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

inline void ThrowIfStopped(const StopFlag* stop) {
    if (StopRequested(stop)) throw ProgramClosing{};
}

}  // namespace trevalon::bench

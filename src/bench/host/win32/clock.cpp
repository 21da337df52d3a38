// The performance counter: Windows' finest monotonic clock.
#include "bench/host/win32/win32.h"

#include "bench/clock.h"

namespace trevalon::bench {
namespace {

class PerformanceCounterClock final : public Clock {
public:
    PerformanceCounterClock() {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        frequency_ = static_cast<double>(frequency.QuadPart);
    }
    double Now() override {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart) / frequency_;
    }
    double Tick() override { return 1.0 / frequency_; }

private:
    double frequency_ = 1.0;
};

}  // namespace

Clock& HostClock() {
    static PerformanceCounterClock clock;
    return clock;
}

}  // namespace trevalon::bench

// The clock that times the steps: seconds from a monotonic start, so that a
// step spanning midnight (or a change of the wall clock) keeps its true time.
#pragma once

#include <chrono>

#include "bench/host/host.h"

namespace trevalon::bench {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since an arbitrary fixed start.
    virtual double Now() = 0;
    // The smallest step between two different readings, in seconds.
    virtual double Tick() = 0;
};

class SteadyClock final : public Clock {
public:
    double Now() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    double Tick() override {
        return static_cast<double>(std::chrono::steady_clock::period::num) /
               static_cast<double>(std::chrono::steady_clock::period::den);
    }
};

// Each reading a fixed step after the one before: a run then takes the same
// course whatever the machine's speed (soak runs, tests).
class StepClock : public Clock {
public:
    explicit StepClock(double step) : StepClock(step, step) {}
    StepClock(double step, double tick) : step_(step), tick_(tick) {}
    double Now() override { return now_ += step_; }
    double Tick() override { return tick_; }

protected:
    double now_ = 0.0;

private:
    double step_;
    double tick_;
};

}  // namespace trevalon::bench

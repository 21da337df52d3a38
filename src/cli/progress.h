// The line on a terminal's standard error that tells what a run is doing:
// step, drive and seconds elapsed, redrawn in place and cleared at the end.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "bench/view_operations.h"

namespace trevalon::console {

// The step a run is in, from the slots it has shown and the drive list whose
// measurements began last (-1 before any).
std::string CurrentStep(bench::TestKind test, const std::set<int>& shownSlots, int drive);

class ProgressLine {
public:
    // Draws only when `out` is a terminal, unless forced (for tests).
    ProgressLine(std::FILE* out, bench::TestKind test, bool force = false);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void DriveBegan(int list, const std::string& root);
    void SlotShown(int slot);
    // Stops redrawing and clears the line.
    void Finish();

private:
    void Draw();

    std::FILE* out_;
    bench::TestKind test_;
    bool enabled_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable wake_;
    bool finished_ = false;
    std::set<int> shown_;
    int drive_ = -1;
    std::string root_;
    std::thread painter_;
};

}  // namespace trevalon::console

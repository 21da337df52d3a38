// trevalon-bench --soak DIR [RUNS]: each drive test run back to back, with
// the process's open descriptors, memory and leftover scratch files reported
// every hundred runs, so that anything that grows shows.
#pragma once

#include <string>

namespace trevalon::perf {

inline constexpr int kSoakRuns = 200;

// 0 when nothing grew and no scratch file was left; 1 otherwise.
int Soak(const std::string& dir, int runs);

}  // namespace trevalon::perf

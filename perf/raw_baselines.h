// The raw limit of each measured step: the same bytes moved with as few
// calls as the host allows, timed with the same clock.
#pragma once

#include <cstdint>
#include <string>

namespace trevalon::perf {

// Uncached baselines end each write when its data is on the drive and
// drop a file's cached pages before it is read or copied (outside the timing).
void SetUncachedBaselines(bool uncached);

// Seconds for one timed piece of work.
double WriteInOneGo(const std::string& path, std::uint64_t bytes);
double ReadInOneGo(const std::string& path);
double WriteInBlocks(const std::string& path, std::uint64_t bytes);  // 1 MiB a call
double ReadInBlocks(const std::string& path);                        // 1 MiB a call
double PlainCopy(const std::string& from, const std::string& to);    // std::filesystem
double PlainStats(const std::string& first, const std::string& second, int calls);
double PlainDeletes(const std::string& first, const std::string& second);

// Our own line path over the same file: the check's read-back without the check.
double ReadLinesWithOurPath(const std::string& path);

// Waits until the host has written out what earlier steps left in memory,
// so that each measurement starts from the same state.
void SettleWrites();

// Peak resident memory of this process so far, in MiB.
double PeakMemoryMiB();

}  // namespace trevalon::perf

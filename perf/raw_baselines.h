// The raw limit of each measured step: the same bytes moved with as few
// calls as the host allows, timed with the same clock.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// The bytes the baselines may write in dir and keep the drive tests' reserve.
std::uint64_t RoomOn(const std::string& dir);

// The baselines' own files, removed however their scope is left, unless
// one of them was there before: a baseline never writes over a file it did
// not make (a user's, or what a killed run left).
class BaselineFiles {
public:
    explicit BaselineFiles(std::vector<std::string> paths);
    ~BaselineFiles();
    BaselineFiles(const BaselineFiles&) = delete;
    BaselineFiles& operator=(const BaselineFiles&) = delete;
    // The first that was there before, or empty.
    const std::string& inTheWay() const { return inTheWay_; }

private:
    std::vector<std::string> paths_;
    std::string inTheWay_;
};

// Peak resident memory of this process so far, in MiB.
double PeakMemoryMiB();

}  // namespace trevalon::perf

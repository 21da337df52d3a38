// A stop request (a signal, Exit, the session ending) that arrives inside a
// step: the step is abandoned, its figure never shown, no view call follows,
// and no scratch file stays. And a run killed outright: the next run on that
// drive replaces its left-overs and leaves nothing.
#include <sys/stat.h>

#include <fstream>

#include "fault_runs.h"

namespace faults {
namespace {

using Event = FileCall;

struct Moment {
    Kind kind;
    const char* name;
    Event event;
    int file;               // which file of the run (counted at its first write or read)
    std::uint64_t atBytes;  // that far into it
    int abandonedSlot;      // the figure that must never be shown
};

const Moment kMoments[] = {
    {Kind::kSingle, "small file write", Event::kWrite, 1, 1 << 20, 0},
    {Kind::kSingle, "small file read", Event::kRead, 1, 1 << 20, 1},
    {Kind::kSingle, "large file write", Event::kWrite, 2, 4 << 20, 2},
    {Kind::kSingle, "large file read", Event::kRead, 2, 4 << 20, 3},
    {Kind::kSingle, "time-boxed write", Event::kWrite, 3, 1 << 20, 4},
    {Kind::kSingle, "read-back", Event::kRead, 3, 1 << 20, 5},
    {Kind::kSingle, "copy", Event::kCopy, 1, 0, 6},
    {Kind::kCompare, "time-boxed write", Event::kWrite, 1, 1 << 20, 0},
    {Kind::kCompare, "read-back", Event::kRead, 1, 1 << 20, 1},
    {Kind::kCopy, "copy test file write", Event::kWrite, 1, 1 << 20, 0},
    {Kind::kCopy, "copy", Event::kCopy, 1, 0, 0},
};

class StopRequest : public FaultTest {};

TEST_F(StopRequest, AStepThatSeesTheRequestIsAbandonedAndLeavesNothing) {
    for (const Moment& moment : kMoments) {
        SCOPED_TRACE(std::string(KindName(moment.kind)) + ", " + moment.name);
        Drives drives;
        RecordingView view(kShown);
        for (int list = 0; list < 2; ++list) {
            const std::string name = KindTag(moment.kind) + moment.name + std::to_string(list);
            drives.Listed(work, name, view, list);
        }
        trevalon::bench::StopFlag stop{false};
        std::size_t resultsAtStop = 0, statusesAtStop = 0;
        int yieldsAtStop = 0, seen = 0, transfersAfterStop = 0;
        HookedFileLayer files;
        files.hook = [&](const std::string&, Event event, std::uint64_t bytes) {
            const bool transfer = event == Event::kWrite || event == Event::kRead || event == Event::kCopy;
            if (stop && transfer) ++transfersAfterStop;
            if (stop || event != moment.event) return;
            if (event == Event::kCopy || bytes == 0) ++seen;
            if (seen == moment.file && bytes >= moment.atBytes) {
                stop = true;
                resultsAtStop = view.results.size();
                statusesAtStop = view.statuses.size();
                yieldsAtStop = view.yields;
            }
        };
        StepClock clock(0.001);  // 3000 fill lines: several buffers to flush
        RunKind(moment.kind, view, clock, files, &stop);
        ASSERT_TRUE(stop) << "the moment never came";
        // The next buffer, line or copy already sees the request.
        EXPECT_EQ(transfersAfterStop, 0);
        EXPECT_EQ(view.results.size(), resultsAtStop);
        EXPECT_EQ(view.statuses.size(), statusesAtStop);
        EXPECT_EQ(view.yields, yieldsAtStop);
        EXPECT_EQ(view.results.count(moment.abandonedSlot), 0U);
        EXPECT_TRUE(view.messages.empty());
        EXPECT_TRUE(view.handOffs.empty());
        drives.ExpectUnchanged("after the stop");
    }
}

void Plant(const std::string& path, const std::string& content, mode_t mode) {
    std::ofstream(path, std::ios::binary) << content;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

TEST_F(StopRequest, ARunAfterAKilledOneReplacesItsLeftOversAndLeavesNothing) {
    struct LeftOver {
        Kind kind;
        const char* name;
        std::size_t firstBytes;  // of DriveSpeedTest.txt
        mode_t firstMode;
        std::size_t secondBytes;  // of DriveSpeedTest2.txt, if planted
        mode_t secondMode;
    };
    // Each test's own scratch files, left half-written, empty or read-only;
    // the comparison and the copy test find them on every drive they use.
    const LeftOver cases[] = {
        {Kind::kSingle, "half-written first file", 5'000'000, 0644, 0, 0},
        {Kind::kSingle, "zero-length first file", 0, 0644, 0, 0},
        {Kind::kSingle, "read-only first file", 3'000'000, 0444, 0, 0},
        {Kind::kSingle, "zero-length second file", 1'000, 0644, 0, 0644},
        {Kind::kSingle, "read-only second file", 300'000, 0644, 200'000, 0444},
        {Kind::kSingle, "read-only zero-length second file", 0, 0644, 0, 0444},
        {Kind::kSingle, "both read-only", 0, 0444, 10'000, 0444},
        {Kind::kCompare, "half-written file", 2'000'000, 0644, 0, 0},
        {Kind::kCompare, "zero-length file", 0, 0644, 0, 0},
        {Kind::kCompare, "read-only file", 2'000'000, 0444, 0, 0},
        {Kind::kCompare, "read-only zero-length file", 0, 0444, 0, 0},
        {Kind::kCopy, "half-written copy test file", 7'000, 0644, 0, 0},
        {Kind::kCopy, "zero-length copy test file", 0, 0644, 0, 0},
        {Kind::kCopy, "read-only copy test file", 7'000, 0444, 0, 0},
        {Kind::kCopy, "read-only zero-length copy test file", 0, 0444, 0, 0},
    };
    for (const LeftOver& leftOver : cases) {
        SCOPED_TRACE(std::string(KindName(leftOver.kind)) + ", " + leftOver.name);
        Drives drives;
        RecordingView view(kShown);
        for (int list = 0; list < 2; ++list) {
            const std::string name = KindTag(leftOver.kind) + leftOver.name + std::to_string(list);
            const std::string dir = drives.Listed(work, name, view, list);
            // The single drive check tests list 0 only.
            if (leftOver.kind == Kind::kSingle && list == 1) continue;
            // Short lines, and fill lines in the copy, cut where the run was killed.
            Plant(Root(dir) + "DriveSpeedTest.txt",
                  XLines(leftOver.firstBytes / 3 + 1, 1).substr(0, leftOver.firstBytes),
                  leftOver.firstMode);
            if (leftOver.secondMode != 0) {
                Plant(Root(dir) + "DriveSpeedTest2.txt",
                      XLines(leftOver.secondBytes / 1026 + 1, 1024).substr(0, leftOver.secondBytes),
                      leftOver.secondMode);
            }
        }
        RunKind(leftOver.kind, view);
        ExpectNormalRun(leftOver.kind, view);
        // Only the single drive check writes the second file, on list 0.
        drives.ExpectUnchanged("after the next run");
    }
}

}  // namespace
}  // namespace faults

// A tiny tmpfs that fills up during each kind of write the drive tests make.
#include <sys/mount.h>

#include "fault_runs.h"

namespace faults {
namespace {

constexpr std::uint64_t kKiB = 1024;

class DiskFull : public FaultTest {
protected:
    // A drive of `bytes` with a user's files on it, for list `list`.
    std::string Drive(const std::string& name, std::uint64_t bytes, RecordingView& view,
                      int list = 0) {
        const std::string dir = work.Sub(name);
        MountTmpfs(dir, bytes);
        drives.Add(dir);
        view.entries[static_cast<std::size_t>(list)] = EntryFor(dir);
        return dir;
    }

    // The fault cleared, the same test runs through on the same drives.
    void ExpectNextRunWorks(Kind kind, const std::vector<std::string>& entries) {
        RecordingView next(kShown);
        next.entries = entries;
        RunKind(kind, next);
        ExpectNormalRun(kind, next);
        drives.ExpectUnchanged(std::string("after the next ") + KindName(kind));
    }

    // Nothing changed by the full run; room made on the full drive, the next run works.
    void ExpectRoomGivesANormalRun(Kind kind, const std::string& full,
                                   const RecordingView& view, const std::string& when) {
        drives.ExpectUnchanged(when);
        ResizeTmpfs(full, 256 * kMiB);
        ExpectNextRunWorks(kind, view.entries);
    }

    Drives drives;
};

// The single drive check writes 3 MB, then 30 MB, then a time-boxed file,
// then its copy; each gets a drive that something else fills up in that very
// write (a drive short of room from the start gets the message first).
TEST_F(DiskFull, SingleDriveCheckStopsWithTheFullMessageWhicheverWriteFills) {
    struct Case {
        const char* write;
        std::uint64_t bytes;
        double clockStep;
        int shrinkAfterResult;  // -1: the drive is small from the start
        std::vector<int> filled;
        int shrinkInFile = 0;  // the nth file written fills up once 64 KiB are in
    };
    const Case cases[] = {
        {"small file", 64 * kKiB, 0.01, -1, {}},
        {"large file", 256 * kMiB, 0.01, 1, {0, 1}},
        {"time-boxed write", 256 * kMiB, 3.0 / 40000, -1, {0, 1, 2, 3}, 3},
        {"copy", 256 * kMiB, 0.01, 7, {0, 1, 2, 3, 4, 5, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.write);
        drives = {};
        RecordingView view(kShown);
        const std::string dir = Drive(std::string("single-") + std::to_string(&c - cases), c.bytes, view);
        ASSERT_FALSE(HasFatalFailure());
        if (c.shrinkAfterResult >= 0) {
            view.AtYieldAfterResult(c.shrinkAfterResult, [&] { ShrinkTmpfsToUsed(dir, 64 * kKiB); });
        }
        int files = 0;
        bool shrunk = false;
        HookedFileLayer layer;
        layer.hook = [&](const std::string&, FileCall event, std::uint64_t done) {
            if (event != FileCall::kWrite) return;
            if (done == 0) ++files;
            if (files == c.shrinkInFile && done >= 64 * kKiB && !shrunk) {
                shrunk = true;
                ShrinkTmpfsToUsed(dir, 16 * kKiB);
            }
        };
        StepClock clock(c.clockStep);
        RunKind(Kind::kSingle, view, clock, layer);

        ExpectDriveError(view, DriveFull(Root(dir)));
        std::vector<int> filled;
        for (const auto& [index, text] : view.results) filled.push_back(index);
        EXPECT_EQ(filled, c.filled);
        ExpectRoomGivesANormalRun(Kind::kSingle, dir, view, "after the full drive");
    }
}

// Room for bytes but no file left to make: the first open already fails.
TEST_F(DiskFull, ADriveWithoutAFreeFileEntryGivesTheFullMessage) {
    const std::string dir = work.Sub("no-inodes");
    // The root and the user's six files and folders take every entry.
    MountTmpfs(dir, 256 * kMiB, "nr_inodes=7");
    ASSERT_FALSE(HasFatalFailure());
    drives.Add(dir);
    for (const Kind kind : {Kind::kSingle, Kind::kCompare}) {
        SCOPED_TRACE(KindName(kind));
        RecordingView view(kShown);
        view.entries[0] = EntryFor(dir);
        RunKind(kind, view);
        ExpectDriveError(view, DriveFull(Root(dir)));
        EXPECT_TRUE(view.results.empty());
        drives.ExpectUnchanged("without a free file entry");
    }
    ASSERT_EQ(::mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT, "nr_inodes=64"), 0);
    ExpectNextRunWorks(Kind::kSingle, {EntryFor(dir), "", "", ""});
}

TEST_F(DiskFull, ComparisonStopsAtTheFullDriveInTheTimeBoxedWriteAndTheRefill) {
    {
        SCOPED_TRACE("time-boxed write");
        RecordingView view(kShown);
        const std::string full = Drive("compare-full", 64 * kKiB, view, 0);
        const std::string later = Drive("compare-later", 256 * kMiB, view, 1);
        RunKind(Kind::kCompare, view);
        ExpectDriveError(view, DriveFull(Root(full)));
        // Slots after the full one are not measured.
        EXPECT_TRUE(view.results.empty());
        ExpectRoomGivesANormalRun(Kind::kCompare, full, view, "after the full drive");
        (void)later;
    }
    {
        SCOPED_TRACE("refill");
        drives = {};
        RecordingView view(kShown);
        const std::string dir = Drive("compare-refill", 256 * kMiB, view, 0);
        // A slow drive: 60 fill lines in the window, so the file is refilled
        // to 100, which no longer fits.
        view.AtYieldAfterResult(0, [&] { ShrinkTmpfsToUsed(dir, 16 * kKiB); });
        RunKind(Kind::kCompare, view, 0.05);
        ExpectDriveError(view, DriveFull(Root(dir)));
        EXPECT_EQ(view.results.count(0), 1U);
        EXPECT_EQ(view.results.count(1), 0U);
        ExpectRoomGivesANormalRun(Kind::kCompare, dir, view, "after the refill");
    }
}

TEST_F(DiskFull, CopyTestStopsAtAFullSourceOrAFullDestination) {
    {
        SCOPED_TRACE("copy test file");
        RecordingView view(kShown);
        const std::string source = Drive("copy-source-full", 64 * kKiB, view, 0);
        Drive("copy-to-1", 256 * kMiB, view, 1);
        RunKind(Kind::kCopy, view);
        ExpectDriveError(view, DriveFull(Root(source)));
        EXPECT_TRUE(view.results.empty());
        ExpectRoomGivesANormalRun(Kind::kCopy, source, view, "after the full source");
    }
    for (int full = 1; full <= 3; ++full) {
        SCOPED_TRACE("destination " + std::to_string(full));
        drives = {};
        RecordingView view(kShown);
        Drive("copy-source-" + std::to_string(full), 256 * kMiB, view, 0);
        std::string fullDir;
        for (int k = 1; k <= 3; ++k) {
            const std::string dir = Drive("copy-" + std::to_string(full) + "-to-" + std::to_string(k),
                                          k == full ? 64 * kKiB : 256 * kMiB, view, k);
            if (k == full) fullDir = dir;
        }
        RunKind(Kind::kCopy, view);
        ExpectDriveError(view, DriveFull(Root(fullDir)));
        // Destinations before the full one keep their times; later ones are not measured.
        for (int slot = 0; slot < 3; ++slot) {
            EXPECT_EQ(view.results.count(slot), slot < full - 1 ? 1U : 0U) << "slot " << slot;
        }
        ExpectRoomGivesANormalRun(Kind::kCopy, fullDir, view, "after the full destination");
    }
}

}  // namespace
}  // namespace faults

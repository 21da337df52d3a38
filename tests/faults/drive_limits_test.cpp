// Real drives at their limits: a drive unmounted after it was listed, a small
// file system the time-boxed write would fill, a file-size limit.
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "fault_runs.h"

namespace faults {
namespace {

class DriveLimits : public FaultTest {};

// Listed while its stick was mounted; the folder stays after the unmount.
TEST_F(DriveLimits, ADriveUnmountedAfterItWasListedIsNotReadyAndNothingIsWrittenUnderneath) {
    for (const Kind kind : {Kind::kSingle, Kind::kCompare, Kind::kCopy}) {
        SCOPED_TRACE(KindName(kind));
        const std::string stick = work.Sub(std::string("usb0-") + KindTag(kind));
        const std::string other = work.Sub(std::string("other-") + KindTag(kind));
        MountTmpfs(stick, 128 * kMiB);
        const auto listed = trevalon::bench::HostFileLayer().VolumeOf(stick);
        Unmount(stick);
        Drives drives;
        drives.Add(stick, /*withUserFiles=*/false);
        drives.Add(other);
        RecordingView view(kShown);
        // The copy test copies from the other drive onto the stick.
        const int at = kind == Kind::kCopy ? 1 : 0;
        view.entries[at] = EntryFor(stick);
        view.volumes[at] = listed;
        view.entries[1 - at] = EntryFor(other);
        view.volumes[1 - at] = trevalon::bench::HostFileLayer().VolumeOf(other);
        RunKind(kind, view, 0.05);
        EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(Root(stick))});
        EXPECT_TRUE(view.handOffs.empty());
        // The comparison and the copy test go on with their next slot.
        EXPECT_EQ(view.LastStatus(), kind == Kind::kSingle ? "Drive Error" : DoneText(kind));
        drives.ExpectUnchanged("after the run");
    }
}

// An empty drive runs each test that its size leaves room for, and keeps a
// tenth of a drive under 256 MiB free, 64 MiB of a larger one.
TEST_F(DriveLimits, ASmallDriveKeepsItsReserveOrGetsTheFullMessageFirst) {
    struct Case {
        std::uint64_t bytes;
        bool fits[3];  // single, compare, copy (source and copy on this drive)
    };
    const Case cases[] = {{300 * kMiB, {true, true, true}},
                          {96 * kMiB, {true, true, true}},
                          {50'000'000, {true, true, true}},
                          {20'000'000, {false, true, false}}};
    for (const Kind kind : {Kind::kSingle, Kind::kCompare, Kind::kCopy}) {
        for (const Case& c : cases) {
            const bool fits = c.fits[static_cast<int>(kind)];
            SCOPED_TRACE(std::string(KindName(kind)) + " " + std::to_string(c.bytes) + " bytes");
            const std::string drive = work.Sub(KindTag(kind) + std::to_string(c.bytes));
            MountTmpfs(drive, c.bytes);
            const std::string dir = drive + "/source";
            const std::string destination = drive + "/destination";
            Drives drives;
            RecordingView view(kShown);
            drives.Listed(work, KindTag(kind) + std::to_string(c.bytes) + "/source", view, 0);
            if (kind == Kind::kCopy) {
                drives.Listed(work, KindTag(kind) + std::to_string(c.bytes) + "/destination", view, 1);
            }
            const std::uint64_t capacity = trevalon::bench::HostFileLayer().SpaceOf(drive)->capacity;
            std::uint64_t leastFree = capacity;
            HookedFileLayer files;
            files.hook = [&](const std::string&, FileCall call, std::uint64_t) {
                if (call == FileCall::kOpenRead || call == FileCall::kOpenWrite) return;
                leastFree = std::min(leastFree, files.SpaceOf(drive)->available);
            };
            StepClock clock(1e-7);  // the window would write some 30 GB
            RunKind(kind, view, clock, files);
            if (fits) {
                ExpectNormalRun(kind, view);
                EXPECT_GE(leastFree, capacity < 256 * kMiB ? capacity / 10 : 64 * kMiB);
            } else {
                ExpectDriveError(view, DriveFull(Root(kind == Kind::kCopy ? destination : dir)));
            }
            drives.ExpectUnchanged("after the run");
            Unmount(drive);
        }
    }
}

// btrfs counts the space of deleted files as free only once it commits them:
// a run right after another one's files were deleted still finds its room.
TEST_F(DriveLimits, SpaceFreedJustBeforeTheRunCounts) {
    if (CurrentIsolation() != Isolation::kPrivileged) GTEST_SKIP() << "loop devices need root";
    const std::string dir = work.Sub("btrfs");
    const std::string image = "/var/tmp/trevalon-btrfs-" + std::to_string(::getpid()) + ".img";
    const std::string problem = MountImage("btrfs", image, dir, 300);
    std::filesystem::remove(image);  // the loop device holds it
    if (!problem.empty()) GTEST_SKIP() << problem;
    WriteFile(dir + "/earlier.bin", std::string(200'000'000, 'E'));
    SyncFileSystem(dir);
    std::filesystem::remove(dir + "/earlier.bin");
    Drives drives;
    drives.Add(dir);
    RecordingView view(kShown);
    view.entries[0] = EntryFor(dir);
    RunKind(Kind::kSingle, view, 1e-4);
    ExpectNormalRun(Kind::kSingle, view);
    drives.ExpectUnchanged("after the run");
    ::umount2(dir.c_str(), 0);
}

// The process's file-size limit gives the real EFBIG of a file system's limit.
TEST_F(DriveLimits, AFileSizeLimitEndsOnlyTheTimeBoxedWrite) {
    struct Case {
        Kind kind;
        std::uint64_t limit;
        bool ends;  // with the full-drive message
    };
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    for (const auto& [kind, limit, ends] : {Case{Kind::kSingle, 40 * kMiB, false},
                                             Case{Kind::kCompare, 40 * kMiB, false},
                                             Case{Kind::kSingle, 10 * kMiB, true}}) {
        SCOPED_TRACE(KindName(kind));
        const std::string dir = work.Sub(KindTag(kind) + std::to_string(limit));
        MountTmpfs(dir, 512 * kMiB);
        Drives drives;
        drives.Add(dir);
        RecordingView view(kShown);
        view.entries[0] = EntryFor(dir);
        rlimit small = saved;
        small.rlim_cur = limit;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        RunKind(kind, view, 1e-6);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        if (ends) {
            ExpectDriveError(view, DriveFull(Root(dir)));
        } else {
            ExpectNormalRun(kind, view);
            // 40 MiB of lines over the few clock steps they took, not over 3 s.
            std::string caption = view.results[kind == Kind::kSingle ? 4 : 0];
            std::erase(caption, ',');
            EXPECT_GT(std::atof(caption.c_str()), 100'000.0) << caption;
        }
        drives.ExpectUnchanged("after the run");
        Unmount(dir);
    }
    std::signal(SIGXFSZ, previous);
}

}  // namespace
}  // namespace faults

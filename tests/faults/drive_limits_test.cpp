// Real drives at their limits: a drive unmounted after it was listed, a small
// file system the time-boxed write would fill, a file-size limit.
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "fault_runs.h"

namespace faults {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

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

TEST_F(DriveLimits, ASmallDriveKeepsItsReserveOrGetsTheFullMessageFirst) {
    struct Case {
        std::uint64_t megabytes;
        bool fits;
    };
    for (const Kind kind : {Kind::kSingle, Kind::kCompare}) {
        for (const auto& [megabytes, fits] : {Case{300, true}, Case{90, false}}) {
            SCOPED_TRACE(std::string(KindName(kind)) + " " + std::to_string(megabytes) + " MB");
            const std::string dir = work.Sub(KindTag(kind) + std::to_string(megabytes));
            MountTmpfs(dir, megabytes * kMiB);
            Drives drives;
            drives.Add(dir);
            RecordingView view(kShown);
            view.entries[0] = EntryFor(dir);
            std::uint64_t leastFree = megabytes * kMiB;
            HookedFileLayer files;
            files.hook = [&](const std::string&, FileCall call, std::uint64_t) {
                const bool sampled = call == FileCall::kWrite || call == FileCall::kRead ||
                                     call == FileCall::kCopy || call == FileCall::kClose;
                if (!sampled) return;
                leastFree = std::min(leastFree, files.SpaceOf(dir)->available);
            };
            StepClock clock(1e-7);  // the window would write some 30 GB
            RunKind(kind, view, clock, files);
            if (fits) {
                ExpectNormalRun(kind, view);
                EXPECT_GE(leastFree, 64 * kMiB);
            } else {
                ExpectDriveError(view, DriveFull(Root(dir)));
            }
            drives.ExpectUnchanged("after the run");
            Unmount(dir);
        }
    }
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

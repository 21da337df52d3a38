// A drive that cannot be written: a read-only tmpfs and a read-only bind
// mount, under each of the three tests.
#include <sys/mount.h>

#include "fault_runs.h"

namespace faults {
namespace {

enum class Way { kReadOnlyTmpfs, kReadOnlyBind };

class ReadOnly : public FaultTest, public testing::WithParamInterface<Way> {
protected:
    // A drive with a user's files that is then made read-only.
    std::string Drive(const std::string& name) {
        const std::string dir = work.Sub(name);
        if (GetParam() == Way::kReadOnlyTmpfs) {
            MountTmpfs(dir, 256 * kMiB);
            drives.Add(dir);
            RemountReadOnly(dir);
        } else {
            const std::string source = work.Sub(name + "-source");
            PutUserFiles(source);
            BindReadOnly(source, dir);
            drives.Add(dir, /*withUserFiles=*/false);
        }
        return dir;
    }
    void MakeWritable(const std::string& dir) {
        if (GetParam() == Way::kReadOnlyTmpfs) {
            RemountWritable(dir);
        } else {
            Unmount(dir);
            // The same files, now writable.
            ASSERT_EQ(::mount((dir + "-source").c_str(), dir.c_str(), nullptr, MS_BIND, nullptr), 0);
        }
    }
    Drives drives;
};

TEST_P(ReadOnly, EachTestShowsTheReadOnlyMessageAndChangesNothing) {
    for (const Kind kind : {Kind::kSingle, Kind::kCompare, Kind::kCopy}) {
        SCOPED_TRACE(KindName(kind));
        drives = {};
        RecordingView view(kShown);
        const std::string dir = Drive(std::string("ro-") + KindTag(kind));
        ASSERT_FALSE(HasFatalFailure());
        view.entries[0] = EntryFor(dir);
        if (kind == Kind::kCopy) view.entries[1] = EntryFor(work.Sub("copy-to"));
        RunKind(kind, view);
        ExpectDriveError(view, kReadOnlyMessage);
        EXPECT_TRUE(view.results.empty());
        drives.ExpectUnchanged("on the read-only drive");

        MakeWritable(dir);
        RecordingView next(kShown);
        next.entries = view.entries;
        RunKind(kind, next);
        ExpectNormalRun(kind, next);
        drives.ExpectUnchanged("after the next run");
    }
}

TEST_P(ReadOnly, CopyTestStopsAtAReadOnlyDestination) {
    RecordingView view(kShown);
    const std::string source = work.Sub("source");
    drives.Add(source);
    view.entries[0] = EntryFor(source);
    const std::string first = work.Sub("first");
    drives.Add(first);
    view.entries[1] = EntryFor(first);
    const std::string locked = Drive("locked");
    ASSERT_FALSE(HasFatalFailure());
    view.entries[2] = EntryFor(locked);
    const std::string third = work.Sub("third");
    drives.Add(third);
    view.entries[3] = EntryFor(third);

    RunKind(Kind::kCopy, view);
    ExpectDriveError(view, kReadOnlyMessage);
    EXPECT_EQ(view.results.count(0), 1U);
    EXPECT_EQ(view.results.count(1), 0U);
    EXPECT_EQ(view.results.count(2), 0U);
    drives.ExpectUnchanged("after the read-only destination");
}

INSTANTIATE_TEST_SUITE_P(Mounts, ReadOnly,
                         testing::Values(Way::kReadOnlyTmpfs, Way::kReadOnlyBind),
                         [](const auto& info) {
                             return info.param == Way::kReadOnlyTmpfs ? "Tmpfs" : "BindMount";
                         });

}  // namespace
}  // namespace faults

// A drive whose file system goes away between two runs.
#include <sys/mount.h>

#include <filesystem>

#include "fault_runs.h"

namespace faults {
namespace {

class Unmounted : public FaultTest {};

// Removable media: the mount point goes with the file system.
TEST_F(Unmounted, ARunAfterTheMountPointWentShowsTheNoAccessMessage) {
    for (const Kind kind : {Kind::kSingle, Kind::kCompare, Kind::kCopy}) {
        SCOPED_TRACE(KindName(kind));
        const std::string dir = work.Sub(std::string("stick-") + KindTag(kind));
        MountTmpfs(dir, 256 * kMiB);
        Drives drives;
        drives.Add(dir);
        RecordingView first(kShown);
        first.entries[0] = EntryFor(dir);
        const std::string other = work.Sub(std::string("other-") + KindTag(kind));
        Drives others;
        others.Add(other);
        first.entries[1] = EntryFor(other);
        RunKind(kind, first);
        ExpectNormalRun(kind, first);
        drives.ExpectUnchanged("after the first run");

        Unmount(dir);
        std::filesystem::remove(dir);
        RecordingView second(kShown);
        second.entries = first.entries;
        RunKind(kind, second);
        EXPECT_EQ(second.messages, std::vector<std::string>{UnableToAccess(Root(dir))});
        EXPECT_TRUE(second.handOffs.empty());
        // The comparison goes on with the next drive; the others stop there.
        EXPECT_EQ(second.LastStatus(), kind == Kind::kCompare ? DoneText(kind) : "Drive Error");
        EXPECT_FALSE(std::filesystem::exists(dir)) << "a run made the missing drive's directory";
        others.ExpectUnchanged("after the second run");
    }
}

// A fixed mount point stays behind as an empty directory of the parent file
// system: the run tests that directory and leaves it as it found it.
TEST_F(Unmounted, ARunOnTheBareMountPointLeavesNothingThere) {
    const std::string files = work.Sub("disk");
    const std::string dir = work.Sub("mnt");
    Drives disk;
    disk.Add(files);
    ASSERT_EQ(::mount(files.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr), 0);
    RecordingView first(kShown);
    first.entries[0] = EntryFor(dir);
    RunKind(Kind::kSingle, first);
    ExpectNormalRun(Kind::kSingle, first);

    Unmount(dir);
    Drives bare;
    bare.Add(dir, /*withUserFiles=*/false);
    RecordingView second(kShown);
    second.entries = first.entries;
    RunKind(Kind::kSingle, second);
    ExpectNormalRun(Kind::kSingle, second);
    bare.ExpectUnchanged("on the bare mount point");
    disk.ExpectUnchanged("on the unmounted disk");
}

}  // namespace
}  // namespace faults

// An ext4 image on a loop device shut down in the middle of a run: every
// later open, write and read on it fails with a real EIO.
#include <sys/mount.h>

#include <filesystem>

#include "fault_runs.h"

namespace faults {
namespace {

using Event = FileCall;

constexpr std::int32_t kDeviceIo = 57;  // the runtime's "Device I/O error"

class Shutdown : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        if (IsSkipped()) return;
        image = work.Sub("images") + "/" + "drive.img";
        dir = work.Sub("ext4");
        const std::string problem = MountExt4Image(image, dir, 160);
        if (!problem.empty()) GTEST_SKIP() << "no ext4 image on a loop device here: " << problem;
        drives.Add(dir);
        SyncFileSystem(dir);
    }
    void TearDown() override {
        if (!dir.empty()) ::umount2(dir.c_str(), 0);
    }

    // After the fault: the user's files survive a fresh mount, and the test
    // runs through and leaves nothing behind.
    void ExpectRecovery(Kind kind, const std::vector<std::string>& entries) {
        Unmount(dir);
        RemountExt4Image(image, dir);
        ASSERT_FALSE(HasFatalFailure());
        RecordingView next(kShown);
        next.entries = entries;
        RunKind(kind, next);
        ExpectNormalRun(kind, next);
        drives.ExpectUnchanged(std::string("after the next ") + KindName(kind));
    }

    std::string image, dir;
    Drives drives;
};

// What the window is handed: the device error, where it happened.
void ExpectHandOff(const RecordingView& view, std::int32_t location, const std::string& end) {
    EXPECT_TRUE(view.messages.empty()) << view.messages.front();
    ASSERT_EQ(view.handOffs.size(), 1U);
    EXPECT_EQ(view.handOffs[0].number, kDeviceIo);
    EXPECT_EQ(view.handOffs[0].location, location);
    EXPECT_TRUE(view.handOffs[0].description.ends_with(end)) << view.handOffs[0].description;
    EXPECT_NE(view.LastStatus(), "Drive Error");
}

struct Moment {
    const char* name;
    Event event;            // the file operation before which the drive dies
    int occurrence;         // which file of the run, for that operation
    std::uint64_t atBytes;  // that far into the file
    const char* position;
};

TEST_F(Shutdown, SingleDriveCheckHandsTheDeviceErrorOnWhereverTheDriveDies) {
    const Moment moments[] = {
        {"small file write", Event::kWrite, 1, 0, " Position: 3"},
        {"small file read", Event::kRead, 1, 0, " Position: 4"},
        {"large file write", Event::kWrite, 2, 1 << 20, " Position: 5"},
        {"large file read", Event::kRead, 2, 1 << 20, " Position: 6"},
        // The time-boxed file closes without complaint; opening it for the
        // read-back is where the dead drive shows.
        {"time-boxed write's close", Event::kClose, 5, 0, " Position: 9"},
        {"copy", Event::kCopy, 1, 0, " Position: 12"},
    };
    for (const Moment& moment : moments) {
        SCOPED_TRACE(moment.name);
        RecordingView view(kShown);
        view.entries[0] = EntryFor(dir);
        HookedFileLayer files;
        int seen = 0;
        bool down = false;
        files.hook = [&](const std::string&, Event event, std::uint64_t bytes) {
            if (down || event != moment.event) return;
            // Writes and reads count per file, closes and copies one by one.
            if (event == Event::kClose || event == Event::kCopy || bytes == 0) ++seen;
            if (seen == moment.occurrence && bytes >= moment.atBytes) {
                ShutDownExt4(dir);
                down = true;
            }
        };
        StepClock clock(0.01);
        RunKind(Kind::kSingle, view, clock, files);
        EXPECT_TRUE(down);
        ExpectHandOff(view, 6, moment.position);
        // A whole check after the last moment; the quicker comparison, which
        // also writes, reads and deletes there, after the others.
        ExpectRecovery(&moment == std::end(moments) - 1 ? Kind::kSingle : Kind::kCompare,
                       view.entries);
        ASSERT_FALSE(HasFatalFailure());
    }
}

TEST_F(Shutdown, ADriveThatDiesBeforeTheFirstOpenFailsThere) {
    RecordingView view(kShown);
    view.entries[0] = EntryFor(dir);
    // The yield after "Testing Drive: ".
    view.onYield = [&](int yield) {
        if (view.LastStatus().starts_with("Testing Drive: ") && yield == 10) ShutDownExt4(dir);
    };
    RunKind(Kind::kSingle, view);
    ExpectHandOff(view, 6, " Position: 2");
    EXPECT_TRUE(view.results.empty());
    ExpectRecovery(Kind::kSingle, view.entries);
}

TEST_F(Shutdown, ComparisonHandsOnTheDeviceErrorOfATimeBoxedWrite) {
    RecordingView view(kShown);
    view.entries[0] = EntryFor(dir);
    HookedFileLayer files;
    files.hook = [&, down = false](const std::string&, Event event, std::uint64_t bytes) mutable {
        if (!down && event == Event::kWrite && bytes >= 100 * 1024) {
            ShutDownExt4(dir);
            down = true;
        }
    };
    StepClock clock(0.001);  // 3000 fill lines: several pieces to write
    RunKind(Kind::kCompare, view, clock, files);
    ExpectHandOff(view, 7, "Input/output error");
    EXPECT_TRUE(view.ButtonEnabled());
    ExpectRecovery(Kind::kCompare, view.entries);
}

TEST_F(Shutdown, CopyTestHandsOnTheDeviceErrorOfADestinationAndCleansTheSource) {
    RecordingView view(kShown);
    const std::string source = work.Sub("source");
    Drives sourceDrive;
    sourceDrive.Add(source);
    const std::string first = work.Sub("first");
    Drives firstDrive;
    firstDrive.Add(first);
    view.entries = {EntryFor(source), EntryFor(first), EntryFor(dir), EntryFor(first)};
    HookedFileLayer files;
    files.hook = [&](const std::string& path, Event event, std::uint64_t) {
        if (event == Event::kCopy && path.starts_with(dir)) ShutDownExt4(dir);
    };
    StepClock clock(0.01);
    RunKind(Kind::kCopy, view, clock, files);
    ExpectHandOff(view, 8, "Input/output error");
    EXPECT_EQ(view.results.count(0), 1U);
    EXPECT_EQ(view.results.count(2), 0U);
    sourceDrive.ExpectUnchanged("the healthy source");
    firstDrive.ExpectUnchanged("the healthy destination");
    ExpectRecovery(Kind::kCopy, view.entries);
}

}  // namespace
}  // namespace faults

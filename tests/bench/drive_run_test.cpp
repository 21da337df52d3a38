#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/drive_run.h"
#include "bench/run_error.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


// One runner over a fresh folder, its view recording every call.
struct RunnerFixture : ::testing::Test {
    TempDir dir;
    std::string root = dir.path() + "/";
    RecordingView view{{dir.path()}};
    ScriptedClock clock{{}, 0.01};
};

struct EndCase {
    TestKind test;
    std::int32_t number;
    bool inSlot;
    // A drive message with "Drive Error", or else a hand-off with this.
    bool message;
    std::int32_t location;
    std::string description;
    bool buttonEnabled;
};

class RunEnds : public RunnerFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RunEnds, EachTestSortsAnErrorThatEndsItByItsPolicy) {
    const EndCase& c = GetParam();
    {
        FileLayer& files = HostFileLayer();
        DriveRun run(view, {clock, files}, c.test);
        run.Run([&] {
            run.MeasuringDrive(0, root);
            run.Mark(4);
            const auto fail = [&] { throw RunTimeError(c.number, "boom"); };
            if (c.inSlot) {
                run.Slot([&] {
                    run.MeasuringDrive(1, root);
                    fail();
                });
            }
            fail();
        });
    }
    if (c.message) {
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_NE(view.messages[0].find(root), std::string::npos) << view.messages[0];
        EXPECT_EQ(view.statuses, std::vector<std::string>{"Drive Error"});
        EXPECT_TRUE(view.handOffs.empty());
    } else {
        EXPECT_TRUE(view.messages.empty());
        ASSERT_EQ(view.handOffs.size(), 1u);
        EXPECT_EQ(view.handOffs[0].number, c.number);
        EXPECT_EQ(view.handOffs[0].location, c.location);
        EXPECT_EQ(view.handOffs[0].description, c.description);
    }
    EXPECT_EQ(view.buttonStates, c.buttonEnabled ? std::vector<bool>{true} : std::vector<bool>{});
}

constexpr auto kSingle = TestKind::kSingleDriveCheck;
constexpr auto kCompare = TestKind::kDriveComparison;
constexpr auto kCopy = TestKind::kCopyTest;

INSTANTIATE_TEST_SUITE_P(
    Policies, RunEnds,
    ::testing::Values(
        // The single check ends on a drive error and names its marker otherwise.
        EndCase{kSingle, 71, false, true, 0, "", false},
        EndCase{kSingle, 61, false, true, 0, "", false},
        EndCase{kSingle, 57, false, false, 6, "boom Position: 4", false},
        // The comparison hands off what happens outside a drive's slot.
        EndCase{kCompare, 71, false, false, 7, "boom", true},
        EndCase{kCompare, 61, true, true, 0, "", true},
        EndCase{kCompare, 57, true, false, 7, "boom", true},
        // The copy test names the drive outside a slot too.
        EndCase{kCopy, 53, false, true, 0, "", false},
        EndCase{kCopy, 61, true, true, 0, "", false},
        EndCase{kCopy, 7, true, false, 8, "boom", false}));

TEST_F(RunnerFixture, ASlotThatMovesOnRemovesOnlyItsOwnFiles) {
    const std::string earlier = root + "earlier.txt", own = root + "own.txt";
    bool after = false;
    {
        FileLayer& files = HostFileLayer();
        DriveRun run(view, {clock, files}, kCopy);
        run.Run([&] {
            run.WriteLines(earlier, "X", 3);
            run.Slot([&] {
                run.MeasuringDrive(1, root);
                run.WriteLines(own, "X", 3);
                run.WriteLines(earlier, "X", 3);  // rewritten, still the earlier slot's
                throw HostFileError(ENODEV);
            });
            EXPECT_TRUE(std::filesystem::exists(earlier));
            EXPECT_FALSE(std::filesystem::exists(own));
            EXPECT_FALSE(run.Owns(own));
            after = true;
        });
    }
    EXPECT_TRUE(after);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(view.statuses.empty());
    EXPECT_FALSE(std::filesystem::exists(earlier));  // the run's end removes the rest
}

TEST_F(RunnerFixture, TheSingleCheckNeverMovesOn) {
    FileLayer& files = HostFileLayer();
    DriveRun run(view, {clock, files}, kSingle);
    int slotsRun = 0;
    run.Run([&] {
        for (int k = 0; k < 2; ++k) {
            run.Slot([&] {
                ++slotsRun;
                run.MeasuringDrive(k, root);
                throw RunTimeError(error_number::kDiskNotReady, "gone");
            });
        }
    });
    EXPECT_EQ(slotsRun, 1);
    EXPECT_EQ(view.statuses, std::vector<std::string>{"Drive Error"});
}

TEST_F(RunnerFixture, AMarkerSetOnceOpenTakesEffectOnlyWhenTheFileOpens) {
    struct Case {
        FileCall failAt;
        std::int16_t expected;
    };
    for (const Case c : {Case{FileCall::kOpenWrite, 2}, Case{FileCall::kWrite, 3},
                         Case{FileCall::kOpenRead, 3}, Case{FileCall::kRead, 5}}) {
        FailingFileLayer files(c.failAt, EIO);
        RecordingView local;
        DriveRun run(local, {clock, files}, kSingle);
        run.Run([&] {
            run.Mark(2);
            run.MarkOnceOpen(3);
            run.WriteLines(root + "m.txt", "X", 10);
            run.MarkOnceOpen(5);
            run.ReadLines(root + "m.txt");
        });
        ASSERT_EQ(local.handOffs.size(), 1u);
        EXPECT_EQ(run.marker(), c.expected) << static_cast<int>(c.failAt);
        EXPECT_TRUE(local.handOffs[0].description.ends_with(
            "Position: " + std::to_string(c.expected)));
    }
}

TEST(CurrentRunTimeError, EveryKindOfErrorBecomesANumberAndText) {
    struct Case {
        std::function<void()> raise;
        std::int32_t number;
        std::string description;
    };
    const std::vector<Case> cases = {
        {[] { throw RunTimeError(61, "Disk full"); }, 61, "Disk full"},
        {[] { throw std::bad_alloc(); }, error_number::kOutOfMemory, "Out of memory"},
        {[] { throw std::logic_error("odd"); }, error_number::kInternal, "odd"},
        {[] { throw 3; }, error_number::kInternal, "Internal error"},
    };
    for (const Case& c : cases) {
        try {
            c.raise();
            ADD_FAILURE() << "nothing raised";
        } catch (...) {
            const RunTimeError error = CurrentRunTimeError();
            EXPECT_EQ(error.number(), c.number);
            EXPECT_EQ(error.description(), c.description);
        }
    }
}

}  // namespace
}  // namespace trevalon::bench

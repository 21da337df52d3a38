#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


constexpr double kStep = 1.0 / 64.0;  // 191 fill lines in each 3-second window
const NumberSeparators kSeparators{".", ","};

bool SlotReset(RecordingView& view, int slot) {
    return view.results[2 * slot] == "" && view.results[2 * slot + 1] == "" &&
           view.barHistory[2 * slot].size() == 1 && view.barHistory[2 * slot + 1].size() == 1;
}

bool SlotMeasured(RecordingView& view, int slot) {
    return !view.results[2 * slot].empty() && !view.results[2 * slot + 1].empty();
}

TEST(DriveComparison, MeasuresEachDriveOnceAndSkipsRepeatsAndBlanks) {
    TempDir dir;
    const std::string a = dir.Sub("a"), b = dir.Sub("b");
    RecordingView view = RunOn(RunDriveComparison, {a, b, a, ""}, kStep);

    EXPECT_EQ(view.statuses, (std::vector<std::string>{"Testing Drive: " + a + "/",
                                                      "Testing Drive: " + b + "/",
                                                      "Comparison Complete"}));
    EXPECT_EQ(view.buttonStates, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.calls.front(), "button off");
    EXPECT_EQ(view.calls.back(), "button on");
    EXPECT_TRUE(SlotMeasured(view, 0));
    EXPECT_TRUE(SlotMeasured(view, 1));
    EXPECT_TRUE(SlotReset(view, 2));
    EXPECT_TRUE(SlotReset(view, 3));
    EXPECT_EQ(view.results[0], FormatSpeed(191.0 / 3, kSeparators));
    EXPECT_FLOAT_EQ(view.bars[1], static_cast<float>(3705.0 / 75000 * (191.0 / kStep)));
    EXPECT_EQ(view.results[1], FormatSpeed(191.0 / (2 * kStep), kSeparators));
    // 1 + per slot: after the status, twice after the write, once after the read.
    EXPECT_EQ(view.yields, 1 + 2 * 4);
    EXPECT_TRUE(dir.Entries("a").empty());
    EXPECT_TRUE(dir.Entries("b").empty());
}

TEST(DriveComparison, ASlotIsComparedWithEveryLowerSlot) {
    TempDir dir;
    const std::string a = dir.Sub("a"), b = dir.Sub("b");
    {
        RecordingView view = RunOn(RunDriveComparison, {a, b, a, b}, kStep);
        EXPECT_TRUE(SlotMeasured(view, 1));
        EXPECT_TRUE(SlotReset(view, 2));
        EXPECT_TRUE(SlotReset(view, 3));
    }
    {
        RecordingView view = RunOn(RunDriveComparison, {a, a, a, a}, kStep);
        EXPECT_TRUE(SlotMeasured(view, 0));
        for (int slot = 1; slot < 4; ++slot) EXPECT_TRUE(SlotReset(view, slot)) << slot;
        EXPECT_EQ(view.statuses.back(), "Comparison Complete");
    }
    {
        // Exact and case-sensitive: another spelling is another drive.
        RecordingView view = RunOn(RunDriveComparison, {a, a + " [label]", "", ""}, kStep);
        EXPECT_TRUE(SlotMeasured(view, 1));
    }
}

// A window in which exactly `lines` fill lines are begun.
ScriptedClock WindowOf(int lines) {
    std::vector<double> script(static_cast<std::size_t>(lines) + 1, 0.0);
    script.push_back(3.0);
    return ScriptedClock(script, kStep);
}

TEST(DriveComparison, FewerThan75LinesAreRefilledTo100BeforeTheReadBack) {
    TempDir dir;
    for (const auto& [written, readBack] :
         {std::pair{0, 100}, std::pair{74, 100}, std::pair{75, 75}, std::pair{76, 76}}) {
        RecordingView view({dir.path()});
        ScriptedClock clock = WindowOf(written);
        RunDriveComparison(view, {clock, HostFileLayer()});
        EXPECT_EQ(view.results[0], FormatSpeed(written / 3.0, kSeparators)) << written;
        // The read-back takes one step: speed = lines / step.
        EXPECT_FLOAT_EQ(view.bars[1], static_cast<float>(3705.0 / 75000 * (readBack / kStep)))
            << written;
        EXPECT_TRUE(dir.Entries().empty());
    }
}

TEST(DriveComparison, AReadBackWithinOneTickIsTimedAsOneTick) {
    TempDir dir;
    RecordingView view({dir.path()});
    // The clock stands still once the window has closed.
    ScriptedClock clock({0.0, 0.0, 3.0}, 0.0, /*tick=*/0.001);
    RunDriveComparison(view, {clock, HostFileLayer()});
    EXPECT_TRUE(view.handOffs.empty());
    EXPECT_EQ(view.results[1], "100,000 KB/sec");  // 100 lines / 0.001 s
    EXPECT_EQ(view.statuses.back(), "Comparison Complete");
}

TEST(DriveComparison, NotReadyMissingOrBadNameMovesOnToTheNextSlot) {
    for (const int code : {ENOMEDIUM, ENOENT, ENAMETOOLONG, ENOTCONN, ESTALE, EHOSTDOWN, ETIMEDOUT}) {
        TempDir dir;
        const std::string a = dir.Sub("a"), b = dir.Sub("b"), c = dir.Sub("c"), d = dir.Sub("d");
        FailingFileLayer files(FileCall::kOpenWrite, code);
        files.onlyPathsWith = b;
        RecordingView view = RunOn(RunDriveComparison, {a, b, c, d}, kStep, files);
        EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(b + "/")});
        EXPECT_TRUE(SlotMeasured(view, 0));
        EXPECT_TRUE(SlotReset(view, 1));
        EXPECT_TRUE(SlotMeasured(view, 2));
        EXPECT_TRUE(SlotMeasured(view, 3));
        EXPECT_EQ(view.statuses.back(), "Comparison Complete");
        EXPECT_EQ(view.buttonStates.back(), true);
    }
}

TEST(DriveComparison, AFailedReadBackKeepsTheWriteSpeedAndRemovesTheFile) {
    TempDir dir;
    const std::string a = dir.Sub("a"), b = dir.Sub("b");
    FailingFileLayer files(FileCall::kOpenRead, ENOENT);
    RecordingView view = RunOn(RunDriveComparison, {a, b}, kStep, files);
    EXPECT_FALSE(view.results[0].empty());
    EXPECT_EQ(view.results[1], "");
    EXPECT_TRUE(SlotMeasured(view, 1));
    EXPECT_TRUE(dir.Entries("a").empty());
    EXPECT_TRUE(dir.Entries("b").empty());
}

TEST(DriveComparison, FullOrReadOnlyEndsTheRunWithDriveError) {
    for (const int code : {ENOSPC, EROFS, EACCES}) {
        TempDir dir;
        const std::string a = dir.Sub("a"), b = dir.Sub("b");
        FailingFileLayer files(FileCall::kClose, code);  // found only when the file closes
        RecordingView view = RunOn(RunDriveComparison, {a, b}, kStep, files);
        ASSERT_EQ(view.messages.size(), 1U);
        if (code == ENOSPC) {
            EXPECT_EQ(view.messages[0], DriveFull(a + "/"));
        } else {
            EXPECT_NE(view.messages[0].find("is read only"), std::string::npos);
        }
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(SlotReset(view, 0));
        EXPECT_TRUE(SlotReset(view, 1));
        EXPECT_EQ(view.calls.back(), "button on");
        EXPECT_TRUE(dir.Entries("a").empty());  // the drive is not left full
    }
}

TEST(DriveComparison, UnexpectedErrorsGoToTheErrorWindowAtLocation7) {
    TempDir dir;
    FailingFileLayer files(FileCall::kDelete, EIO);
    RecordingView view = RunOn(RunDriveComparison, {dir.path()}, kStep, files);
    ASSERT_EQ(view.handOffs.size(), 1U);
    EXPECT_EQ(view.handOffs[0].number, 57);
    EXPECT_EQ(view.handOffs[0].location, 7);
    EXPECT_EQ(view.handOffs[0].description, std::strerror(EIO));
    EXPECT_EQ(view.statuses.back(), "Testing Drive: " + dir.path() + "/");
    EXPECT_EQ(view.calls.back(), "button on");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(DriveComparison, StopsAtAYieldWhenTheProgramCloses) {
    TempDir dir;
    RecordingView view({dir.path()});
    view.closeAtYield = 3;  // just after the write speed is shown
    ScriptedClock clock({}, kStep);
    RunDriveComparison(view, {clock, HostFileLayer()});
    EXPECT_EQ(view.callsAfterClosing, 0);
    EXPECT_EQ(view.buttonStates, std::vector<bool>{false});
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(DriveComparison, RealFaults) {
    TempDir dir;
    const std::string good = dir.Sub("good");
    {
        RecordingView view = RunOn(RunDriveComparison, {dir.path() + "/missing", good}, kStep);
        EXPECT_EQ(view.messages.size(), 1U);
        EXPECT_TRUE(SlotMeasured(view, 1));
        EXPECT_EQ(view.statuses.back(), "Comparison Complete");
    }
    TREVALON_REQUIRE_PRIVATE_MOUNTS();
    const auto [tiny, readOnly] = testing::MountTinyAndReadOnly(dir);
    for (const std::string& bad : {tiny, readOnly}) {
        RecordingView view = RunOn(RunDriveComparison, {bad, good}, kStep);
        ASSERT_EQ(view.messages.size(), 1U) << bad;
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(SlotReset(view, 1));
        EXPECT_TRUE(dir.Entries("tiny").empty());
    }
}

}  // namespace
}  // namespace trevalon::bench

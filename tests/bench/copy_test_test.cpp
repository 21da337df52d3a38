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


constexpr double kStep = 1.0 / 64.0;

bool SlotReset(RecordingView& view, int slot) {
    return view.results[slot] == "" && view.barHistory[slot].size() == 1;
}

TEST(CopyTest, CopiesToEachDestinationAndLeavesNothingBehind) {
    TempDir dir;
    const std::string source = dir.Sub("source"), b = dir.Sub("b"), c = dir.Sub("c");
    RecordingView view({source, b, c, source});
    // Every copy seems to take 1.5 s.
    ScriptedClock clock({0.0, 1.5, 1.5, 10.0, 11.5, 11.5}, kStep);
    int copiesSeen = 0;
    view.onYield = [&](int) {
        for (const std::string& d : {b, c}) {
            if (testing::Exists(d + "/DriveSpeedTest.txt")) {
                ++copiesSeen;
                EXPECT_EQ(testing::ReadFile(d + "/DriveSpeedTest.txt").size(), 10'260'000U);
            }
        }
    };
    RunCopyTest(view, {clock, HostFileLayer()});

    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{"Creating File To Copy", "Copying To Drive: " + b + "/",
                                        "Copying To Drive: " + c + "/",
                                        "Drive Copy Test Complete"}));
    EXPECT_EQ(copiesSeen, 2);
    EXPECT_EQ(view.results[0], "1.500 seconds");
    EXPECT_FLOAT_EQ(view.bars[0], 1389.375F);
    EXPECT_EQ(view.results[1], "1.500 seconds");
    EXPECT_TRUE(SlotReset(view, 2));  // same entry as the source
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.handOffs.empty());
    EXPECT_EQ(view.yields, 1 + 2 * 2);
    for (const char* sub : {"source", "b", "c"}) EXPECT_TRUE(dir.Entries(sub).empty()) << sub;
}

TEST(CopyTest, TwoDestinationsOnTheSameDriveAreBothMeasured) {
    TempDir dir;
    const std::string source = dir.Sub("source"), b = dir.Sub("b");
    RecordingView view = RunOn(RunCopyTest, {source, b, b, ""}, kStep);
    EXPECT_FALSE(view.results[0].empty());
    EXPECT_FALSE(view.results[1].empty());
    EXPECT_TRUE(SlotReset(view, 2));  // names no drive
    EXPECT_EQ(view.statuses.back(), "Drive Copy Test Complete");
    EXPECT_TRUE(dir.Entries("b").empty());
}

TEST(CopyTest, FourSecondsFillTheTrackAndNoTimeGivesNoBar) {
    TempDir dir;
    const std::string source = dir.Sub("source"), b = dir.Sub("b"), c = dir.Sub("c"),
                      d = dir.Sub("d");
    RecordingView view({source, b, c, d});
    ScriptedClock clock({0.0, 4.0, 4.0, 5.0, 5.0, 5.0, 6.0, 11.0, 11.0}, kStep);
    RunCopyTest(view, {clock, HostFileLayer()});
    EXPECT_FLOAT_EQ(view.bars[0], 3705.0F);
    EXPECT_EQ(view.results[0], "4.000 seconds");
    EXPECT_FLOAT_EQ(view.bars[1], 0.0F);
    EXPECT_EQ(view.results[1], "0.000 seconds");
    EXPECT_FLOAT_EQ(view.bars[2], 4631.25F);  // wider than the track
    EXPECT_EQ(view.results[2], "5.000 seconds");
}

TEST(CopyTest, ADestinationThatIsTheSourceUnderAnotherSpellingIsNotEmptied) {
    TempDir dir;
    const std::string source = dir.Sub("source"), b = dir.Sub("b");
    RecordingView view({source, source + "/", b});
    ScriptedClock clock({}, kStep);
    std::size_t copied = 0;
    view.onYield = [&](int) {
        if (testing::Exists(b + "/DriveSpeedTest.txt")) {
            copied = testing::ReadFile(b + "/DriveSpeedTest.txt").size();
        }
    };
    RunCopyTest(view, {clock, HostFileLayer()});
    EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(source + "/")});
    // The copy test file survived, so the next destination still got all of it.
    EXPECT_EQ(copied, 10'260'000U);
    EXPECT_FALSE(view.results[1].empty());
    EXPECT_EQ(view.statuses.back(), "Drive Copy Test Complete");
    EXPECT_TRUE(dir.Entries("source").empty());
}

TEST(CopyTest, ASourceNamingNoDriveWritesNothing) {
    TempDir dir;
    RecordingView view = RunOn(RunCopyTest, {"", dir.path()}, kStep);
    EXPECT_EQ(view.messages, std::vector<std::string>{
                                 "I am unable to access the source drive, please ensure the drive "
                                 "has a disc inserted and is ready."});
    EXPECT_EQ(view.statuses, std::vector<std::string>{"Creating File To Copy"});
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(CopyTest, DestinationsAllShowingTheSourceMakeNoCopy) {
    TempDir dir;
    RecordingView view({dir.path(), dir.path(), dir.path(), dir.path()});
    ScriptedClock clock({}, kStep);
    bool fileWritten = false;
    view.onYield = [&](int) { fileWritten |= testing::Exists(dir.path() + "/DriveSpeedTest.txt"); };
    RunCopyTest(view, {clock, HostFileLayer()});
    for (int slot = 0; slot < 3; ++slot) EXPECT_TRUE(SlotReset(view, slot));
    EXPECT_EQ(clock.readings(), 0);
    EXPECT_EQ(view.statuses.back(), "Drive Copy Test Complete");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(CopyTest, ADestinationNotReadyMovesOnToTheNextOne) {
    for (const int code : {ENOMEDIUM, ENOENT, ENAMETOOLONG}) {
        TempDir dir;
        const std::string source = dir.Sub("source"), b = dir.Sub("b"), c = dir.Sub("c"),
                          d = dir.Sub("d");
        FailingFileLayer files(FileCall::kCopy, code);
        files.onlyPathsWith = c;
        RecordingView view = RunOn(RunCopyTest, {source, b, c, d}, kStep, files);
        EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(c + "/")});
        EXPECT_FALSE(view.results[0].empty());
        EXPECT_TRUE(SlotReset(view, 1));
        EXPECT_FALSE(view.results[2].empty());
        EXPECT_EQ(view.statuses.back(), "Drive Copy Test Complete");
        for (const char* sub : {"source", "b", "c", "d"}) EXPECT_TRUE(dir.Entries(sub).empty());
    }
}

TEST(CopyTest, AFailedDeleteOfACopyKeepsItsTimeAndTheCopyIsRemovedLater) {
    TempDir dir;
    const std::string source = dir.Sub("source"), b = dir.Sub("b"), c = dir.Sub("c");
    FailingFileLayer files(FileCall::kDelete, ENOENT);
    RecordingView view = RunOn(RunCopyTest, {source, b, c}, kStep, files);
    EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(b + "/")});
    EXPECT_FALSE(view.results[0].empty());
    EXPECT_FALSE(view.results[1].empty());
    EXPECT_EQ(view.statuses.back(), "Drive Copy Test Complete");
    EXPECT_TRUE(dir.Entries("b").empty());
}

TEST(CopyTest, AFullOrReadOnlyDestinationEndsTheRunAndTheCopyTestFileGoes) {
    for (const int code : {ENOSPC, EROFS}) {
        TempDir dir;
        const std::string source = dir.Sub("source"), b = dir.Sub("b"), c = dir.Sub("c");
        FailingFileLayer files(FileCall::kCopy, code);
        RecordingView view = RunOn(RunCopyTest, {source, b, c}, kStep, files);
        ASSERT_EQ(view.messages.size(), 1U);
        if (code == ENOSPC) {
            EXPECT_EQ(view.messages[0].rfind("I am unable to access " + b + "/, the drive is reporting that it is full.", 0), 0U);
        }
        if (code == EROFS) {
            EXPECT_NE(view.messages[0].find("is read only"), std::string::npos);
        }
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(SlotReset(view, 1));  // the later destination is not measured
        EXPECT_TRUE(dir.Entries("source").empty());
    }
}

TEST(CopyTest, ErrorsWritingTheCopyTestFileNameTheSourceAndEndTheRun) {
    for (const int code : {ENOSPC, ENOENT, ENOMEDIUM, EROFS}) {
        TempDir dir;
        const std::string source = dir.Sub("source"), b = dir.Sub("b");
        FailingFileLayer files(FileCall::kWrite, code);
        RecordingView view = RunOn(RunCopyTest, {source, b}, kStep, files);
        ASSERT_EQ(view.messages.size(), 1U);
        if (code != EROFS) {
            EXPECT_NE(view.messages[0].find(source + "/"), std::string::npos);
        }
        EXPECT_EQ(view.statuses,
                  (std::vector<std::string>{"Creating File To Copy", "Drive Error"}));
        EXPECT_TRUE(dir.Entries("source").empty());
        EXPECT_TRUE(dir.Entries("b").empty());
    }
}

TEST(CopyTest, UnexpectedErrorsGoToTheErrorWindowAtLocation8) {
    TempDir dir;
    const std::string source = dir.Sub("source"), b = dir.Sub("b");
    FailingFileLayer files(FileCall::kCopy, EIO);
    RecordingView view = RunOn(RunCopyTest, {source, b}, kStep, files);
    ASSERT_EQ(view.handOffs.size(), 1U);
    EXPECT_EQ(view.handOffs[0].number, 57);
    EXPECT_EQ(view.handOffs[0].location, 8);
    EXPECT_EQ(view.handOffs[0].description, std::strerror(EIO));
    EXPECT_EQ(view.statuses.back(), "Copying To Drive: " + b + "/");
    EXPECT_TRUE(dir.Entries("source").empty());
}

TEST(CopyTest, StopsAtAYieldWhenTheProgramCloses) {
    for (const int closeAt : {1, 2, 3}) {
        TempDir dir;
        const std::string source = dir.Sub("source"), b = dir.Sub("b");
        RecordingView view({source, b});
        view.closeAtYield = closeAt;
        ScriptedClock clock({}, kStep);
        RunCopyTest(view, {clock, HostFileLayer()});
        EXPECT_EQ(view.callsAfterClosing, 0);
        EXPECT_TRUE(dir.Entries("source").empty()) << closeAt;
        EXPECT_TRUE(dir.Entries("b").empty()) << closeAt;
    }
}

TEST(CopyTest, RealFaults) {
    TempDir dir;
    const std::string source = dir.Sub("source"), good = dir.Sub("good");
    {
        RecordingView view = RunOn(RunCopyTest, {source, good, dir.path() + "/missing", good}, kStep);
        EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(dir.path() + "/missing/")});
        EXPECT_FALSE(view.results[0].empty());
        EXPECT_FALSE(view.results[2].empty());
        EXPECT_EQ(view.statuses.back(), "Drive Copy Test Complete");
    }
    {
        RecordingView view = RunOn(RunCopyTest, {dir.path() + "/missing", good}, kStep);
        EXPECT_EQ(view.messages, std::vector<std::string>{UnableToAccess(dir.path() + "/missing/")});
        EXPECT_EQ(view.statuses.back(), "Drive Error");
    }
    TREVALON_REQUIRE_PRIVATE_MOUNTS();
    const auto [tiny, readOnly] = testing::MountTinyAndReadOnly(dir);
    for (const std::string& bad : {tiny, readOnly}) {
        RecordingView view = RunOn(RunCopyTest, {source, bad, good}, kStep);
        ASSERT_EQ(view.messages.size(), 1U) << bad;
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(SlotReset(view, 1));
        EXPECT_TRUE(dir.Entries("source").empty());
        EXPECT_TRUE(dir.Entries("tiny").empty());
    }
    {
        // The source itself is full: the message names the source.
        RecordingView view = RunOn(RunCopyTest, {tiny, good}, kStep);
        ASSERT_EQ(view.messages.size(), 1U);
        EXPECT_NE(view.messages[0].find(tiny + "/, the drive is reporting that it is full"),
                  std::string::npos);
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(dir.Entries("tiny").empty());
    }
}

}  // namespace
}  // namespace trevalon::bench

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "bench/drive_tests.h"
#include "bench/formats.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


// Every reading 1/1024 s after the one before: exact in binary, so the
// 3-second window takes exactly 3072 readings.
constexpr double kStep = 1.0 / 1024.0;
const NumberSeparators kSeparators{".", ","};

TEST(SingleDriveCheck, AFullRunShowsNineFiguresAndLeavesTheDriveAsItWas) {
    TempDir dir;
    RecordingView view = RunOn(RunSingleDriveCheck, {dir.path()}, kStep);

    const std::string root = dir.path() + "/";
    EXPECT_EQ(view.statuses, (std::vector<std::string>{"Testing Drive: " + root, "Done"}));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.handOffs.empty());
    EXPECT_TRUE(dir.Entries().empty());
    EXPECT_EQ(view.yields, 23);

    // Each slot was reset first, then set once.
    for (int index = 0; index < 9; ++index) {
        ASSERT_EQ(view.barHistory[index].size(), 2U) << index;
        EXPECT_EQ(view.barHistory[index][0], kResetBarWidth);
    }
    // A time's bar uses the first end reading, its caption a second one.
    EXPECT_FLOAT_EQ(view.bars[0], static_cast<float>(3705.0 / 5 * kStep));
    EXPECT_EQ(view.results[0], FormatTime(2 * kStep, kSeparators));
    EXPECT_FLOAT_EQ(view.bars[3], static_cast<float>(3705.0 / 25 * kStep));
    EXPECT_FLOAT_EQ(view.bars[7], static_cast<float>(3705.0 / 2 * kStep));
    EXPECT_FLOAT_EQ(view.bars[6], static_cast<float>(3705.0 / 4 * kStep));
    // 3071 fill lines begun inside the window, counted over the nominal 3 s.
    EXPECT_EQ(view.results[4], "1,024 KB/sec");
    EXPECT_FLOAT_EQ(view.bars[4], static_cast<float>(3705.0 / 75000 * (3071.0 / 3)));
    EXPECT_FLOAT_EQ(view.bars[5], static_cast<float>(3705.0 / 75000 * (3071.0 / kStep)));
    EXPECT_EQ(view.results[5], FormatSpeed(3071.0 / (2 * kStep), kSeparators));

    // The lookups come before the copy.
    const auto at = [&](const std::string& call) {
        return std::find_if(view.calls.begin(), view.calls.end(),
                            [&](const std::string& c) { return c.starts_with(call); }) -
               view.calls.begin();
    };
    EXPECT_LT(at("result 7 0"), at("result 6 0"));
}

TEST(SingleDriveCheck, RealClockRunOnARealDirectory) {
    // The host's monotonic clock, sped up tenfold so the window lasts 0.3 s.
    class FastClock final : public Clock {
    public:
        double Now() override { return steady_.Now() * 10; }
        double Tick() override { return steady_.Tick() * 10; }

    private:
        SteadyClock steady_;
    } clock;
    TempDir dir;
    // Left by a run that ended early: fill lines, the last one cut short.
    testing::WriteFile(dir.path() + "/DriveSpeedTest2.txt", testing::XLines(40, 1024) + "XXX");
    testing::WriteFile(dir.path() + "/mine.txt", "the user's file");
    RecordingView view({dir.path() + " [label]"});
    RunSingleDriveCheck(view, {clock, HostFileLayer()});
    EXPECT_EQ(view.statuses.back(), "Done");
    EXPECT_EQ(view.results.size(), 9U);
    for (const auto& [index, text] : view.results) EXPECT_FALSE(text.empty()) << index;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"mine.txt"});
}

TEST(SingleDriveCheck, AnEntryNamingNoDriveShowsDriveNotReady) {
    RecordingView view({"   "});
    ScriptedClock clock({}, kStep);
    RunSingleDriveCheck(view, {clock, HostFileLayer()});
    EXPECT_EQ(view.statuses, std::vector<std::string>{"Drive Not Ready"});
    EXPECT_EQ(clock.readings(), 0);
    for (int index = 0; index < 9; ++index) {
        EXPECT_EQ(view.results[index], "");
        EXPECT_EQ(view.bars[index], kResetBarWidth);
    }
}

TEST(SingleDriveCheck, DriveErrorsShowTheirMessageThenDriveError) {
    const std::string& readOnly = kReadOnlyMessage;
    struct Case {
        int code;
        bool nameTheRoot;
        std::string full;
    };
    for (const auto& [code, names, full] : {Case{ENOENT, true, ""}, Case{ENAMETOOLONG, true, ""},
                                           Case{ENOMEDIUM, true, ""}, Case{ENOSPC, false, "full"},
                                           Case{ENOTCONN, true, ""}, Case{ESTALE, true, ""},
                                           Case{EHOSTDOWN, true, ""}, Case{ETIMEDOUT, true, ""},
                                           Case{EFBIG, false, "full"},
                                           Case{EROFS, false, readOnly}}) {
        TempDir dir;
        const std::string root = dir.path() + "/";
        FailingFileLayer files(FileCall::kOpenWrite, code);
        RecordingView view = RunOn(RunSingleDriveCheck, {dir.path()}, kStep, files);
        ASSERT_EQ(view.messages.size(), 1U) << code;
        if (names) {
            EXPECT_EQ(view.messages[0], UnableToAccess(root));
        }
        if (full == "full") {
            EXPECT_EQ(view.messages[0], DriveFull(root));
        } else if (!full.empty()) {
            EXPECT_EQ(view.messages[0], full);
        }
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(view.handOffs.empty());
        EXPECT_EQ(view.bars[0], kResetBarWidth);
    }
}

struct UnexpectedCase {
    FileCall call;
    int nth;
    int marker;
};

class SingleDriveCheckUnexpected : public ::testing::TestWithParam<UnexpectedCase> {};

TEST_P(SingleDriveCheckUnexpected, GoesToTheErrorWindowWithItsPosition) {
    const UnexpectedCase& c = GetParam();
    TempDir dir;
    FailingFileLayer files(c.call, EIO, c.nth);
    RecordingView view = RunOn(RunSingleDriveCheck, {dir.path()}, kStep, files);
    ASSERT_TRUE(files.fired());
    ASSERT_EQ(view.handOffs.size(), 1U);
    EXPECT_EQ(view.handOffs[0].number, 57);
    EXPECT_EQ(view.handOffs[0].location, 6);
    EXPECT_EQ(view.handOffs[0].description,
              std::string(std::strerror(EIO)) + " Position: " + std::to_string(c.marker));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_NE(view.statuses.back(), "Done");
    EXPECT_NE(view.statuses.back(), "Drive Error");
    // No scratch file of the run stays behind.
    EXPECT_TRUE(dir.Entries().empty());
}

// Each file call of the run in turn, with the step marker it must report.
INSTANTIATE_TEST_SUITE_P(
    EachFileCall, SingleDriveCheckUnexpected,
    ::testing::Values(UnexpectedCase{FileCall::kOpenWrite, 1, 2}, UnexpectedCase{FileCall::kClose, 1, 3},
                      UnexpectedCase{FileCall::kOpenRead, 1, 4}, UnexpectedCase{FileCall::kClose, 2, 4},
                      UnexpectedCase{FileCall::kOpenWrite, 2, 5}, UnexpectedCase{FileCall::kClose, 3, 5},
                      UnexpectedCase{FileCall::kOpenRead, 2, 6}, UnexpectedCase{FileCall::kClose, 4, 6},
                      UnexpectedCase{FileCall::kOpenWrite, 3, 8}, UnexpectedCase{FileCall::kClose, 5, 8},
                      UnexpectedCase{FileCall::kOpenRead, 3, 9}, UnexpectedCase{FileCall::kClose, 6, 10},
                      UnexpectedCase{FileCall::kCopy, 1, 12}, UnexpectedCase{FileCall::kDelete, 1, 13},
                      UnexpectedCase{FileCall::kDelete, 2, 13}));

TEST(SingleDriveCheck, AnErrorFoundOnlyAtCloseIsADriveErrorNotASuccess) {
    TempDir dir;
    FailingFileLayer files(FileCall::kClose, ENOSPC);
    RecordingView view = RunOn(RunSingleDriveCheck, {dir.path()}, kStep, files);
    ASSERT_EQ(view.messages.size(), 1U);
    EXPECT_NE(view.messages[0].find("is reporting that it is full"), std::string::npos);
    EXPECT_EQ(view.results[0], "");  // the small file write is not shown as done
    EXPECT_EQ(view.statuses.back(), "Drive Error");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(SingleDriveCheck, AnOverflowingFigureKeepsItsItemAndTheRunGoesOn) {
    TempDir dir;
    RecordingView view({dir.path()});
    // The small file write seems to take 1e39 seconds: too wide for a bar.
    ScriptedClock clock({0.0, 1e39, 1e39, 1.0}, kStep);
    RunSingleDriveCheck(view, {clock, HostFileLayer()});
    EXPECT_EQ(view.bars[0], kResetBarWidth);
    EXPECT_EQ(view.barHistory[0].size(), 1U);
    EXPECT_EQ(view.results[0], FormatTime(1e39, kSeparators));
    EXPECT_EQ(view.statuses.back(), "Done");
    EXPECT_TRUE(view.handOffs.empty());
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(SingleDriveCheck, AWriteWindowUsedUpByTheOpenWritesNoLine) {
    TempDir dir;
    RecordingView view({dir.path()});
    // Readings 1 to 12 belong to the four short-line steps; reading 13 starts
    // the window and reading 14, the first loop test, is already 3 s later.
    std::vector<double> script;
    for (int i = 0; i <= 12; ++i) script.push_back(i * kStep);
    script.push_back(12 * kStep + 3.0);
    ScriptedClock clock(script, kStep);
    RunSingleDriveCheck(view, {clock, HostFileLayer()});
    EXPECT_EQ(view.results[4], " KB/sec");
    EXPECT_EQ(view.bars[4], 0.0F);
    EXPECT_EQ(view.results[5], " KB/sec");
    EXPECT_EQ(view.statuses.back(), "Done");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(SingleDriveCheck, StopsAtAYieldWhenTheProgramClosesAndRemovesItsFiles) {
    for (const int closeAt : {1, 11, 16, 22}) {
        TempDir dir;
        RecordingView view({dir.path()});
        view.closeAtYield = closeAt;
        ScriptedClock clock({}, kStep);
        RunSingleDriveCheck(view, {clock, HostFileLayer()});
        EXPECT_EQ(view.yields, closeAt);
        EXPECT_EQ(view.callsAfterClosing, 0) << closeAt;
        EXPECT_TRUE(dir.Entries().empty()) << closeAt;
    }
}

TEST(SingleDriveCheck, APlantedLinkIsNamedAndNeverFollowed) {
    TempDir dir;
    const std::string victim = dir.Sub("elsewhere") + "/victim";
    testing::WriteFile(victim, "precious");
    const std::string drive = dir.Sub("drive");
    TREVALON_PLANT_SYMLINK(victim, drive + "/DriveSpeedTest.txt");
    RecordingView view = RunOn(RunSingleDriveCheck, {drive}, kStep);
    EXPECT_EQ(view.messages, std::vector<std::string>{testing::InTheWay(drive + "/DriveSpeedTest.txt")});
    EXPECT_EQ(testing::ReadFile(victim), "precious");
    // The link was not the run's own file: it stays.
    EXPECT_TRUE(testing::Exists(drive + "/DriveSpeedTest.txt"));
}

TEST(SingleDriveCheck, RealFaults) {
    TempDir dir;
    {
        RecordingView view = RunOn(RunSingleDriveCheck, {dir.path() + "/no such drive"}, kStep);
        EXPECT_EQ(view.messages,
                  std::vector<std::string>{UnableToAccess(dir.path() + "/no such drive/")});
        EXPECT_EQ(view.statuses.back(), "Drive Error");
    }
    TREVALON_REQUIRE_PRIVATE_MOUNTS();
    const auto [tiny, readOnly] = testing::MountTinyAndReadOnly(dir);
    {
        RecordingView view = RunOn(RunSingleDriveCheck, {tiny}, kStep);
        ASSERT_EQ(view.messages.size(), 1U);
        EXPECT_EQ(view.messages[0].rfind("I am unable to access " + tiny + "/, the drive is "
                                         "reporting that it is full.", 0), 0U);
        EXPECT_EQ(view.statuses.back(), "Drive Error");
        EXPECT_TRUE(dir.Entries("tiny").empty());  // the partial file is gone
    }
    {
        RecordingView view = RunOn(RunSingleDriveCheck, {readOnly}, kStep);
        ASSERT_EQ(view.messages.size(), 1U);
        EXPECT_NE(view.messages[0].find("read only"), std::string::npos);
        EXPECT_EQ(view.statuses.back(), "Drive Error");
    }
}

}  // namespace
}  // namespace trevalon::bench

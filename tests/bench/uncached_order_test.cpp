// Where the uncached mode's syncs and drops fall against each step's clock
// readings: writes end on the drive inside their interval, pages are
// dropped before a read's interval starts. Cached runs stay as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bench/drive_run.h"
#include "bench/drive_tests.h"
#include "tests/bench/drive_runs.h"

namespace trevalon::bench {
namespace {


const std::string kFile = "DriveSpeedTest.txt";
const std::string kSecond = "DriveSpeedTest2.txt";

struct LoggedRun {
    std::vector<std::string> log;
    RecordingView view;
};

// The test run through the recording layer on a fresh directory (two for
// the copy test), with clock steps that end the write window within a few
// thousand lines.
void RunLogged(LoggedRun& run, MeasureMode mode,
               const std::function<void(ViewOperations&, const TestEnvironment&)>& test,
               const TempDir& dir, const TempDir& other) {
    RecordingFileLayer files(run.log);
    // A few MB in the window: more than the writer's buffer holds.
    RecordingClock clock(files, 0.001);
    run.view.entries = {dir.path(), other.path()};
    test(run.view, TestEnvironment{clock, files, nullptr, mode});
}

// Whether `steps` appear in the log in this order, each right after the one
// before it.
bool HasRun(const std::vector<std::string>& log, const std::vector<std::string>& steps) {
    return std::search(log.begin(), log.end(), steps.begin(), steps.end()) != log.end();
}

// The log around the first entry starting with word, for failure messages.
std::string Around(const std::vector<std::string>& log, const std::string& word) {
    std::string shown;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].find(word) != 0) continue;
        for (std::size_t j = i < 3 ? 0 : i - 3; j < std::min(log.size(), i + 4); ++j) shown += log[j] + "; ";
        return shown;
    }
    return "no " + word;
}

bool Mentions(const std::vector<std::string>& log, const std::string& word) {
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& entry) { return entry.find(word) == 0; });
}

struct OrderCase {
    const char* name;
    std::function<void(ViewOperations&, const TestEnvironment&)> test;
    std::string finalStatus;
    // Stretches of the uncached log, each in exactly this order.
    std::vector<std::vector<std::string>> uncachedSteps;
};

const std::vector<std::string> kFillWriteEnd = {"write " + kFile, "sync " + kFile, "close " + kFile,
                                                "clock"};
const std::vector<std::string> kReadStart = {"drop " + kFile, "clock", "open-read " + kFile};

std::vector<OrderCase> Cases() {
    return {
        {"single", [](ViewOperations& v, const TestEnvironment& e) { RunSingleDriveCheck(v, e); },
         "Done",
         {kFillWriteEnd, kReadStart,
          // The time-boxed write waits for the drive while it writes.
          {"clock", "write " + kFile, "write-behind " + kFile, "clock"},
          // The copy starts from a dropped source and ends with its target synced.
          {"drop " + kFile, "clock", "copy " + kFile + " " + kSecond, "sync-file " + kSecond, "clock"},
          {"delete " + kFile, "delete " + kSecond, "sync-dir", "clock"}}},
        {"compare", [](ViewOperations& v, const TestEnvironment& e) { RunDriveComparison(v, e); },
         "Comparison Complete",
         {{"clock", "write " + kFile, "write-behind " + kFile, "clock"}, kFillWriteEnd, kReadStart}},
        {"copy", [](ViewOperations& v, const TestEnvironment& e) { RunCopyTest(v, e); },
         "Drive Copy Test Complete",
         {{"write " + kFile, "sync " + kFile, "close " + kFile},
          {"drop " + kFile, "clock", "copy " + kFile + " " + kFile, "sync-file " + kFile, "clock"}}},
    };
}

TEST(UncachedOrder, SyncsAndDropsSitAtEachStepsEdges) {
    for (const OrderCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        TempDir dir, other;
        LoggedRun run;
        RunLogged(run, MeasureMode::kUncached, c.test, dir, other);
        ASSERT_FALSE(run.view.statuses.empty());
        EXPECT_EQ(run.view.statuses.back(), c.finalStatus);
        for (const auto& steps : c.uncachedSteps) {
            EXPECT_TRUE(HasRun(run.log, steps)) << "missing: " << ::testing::PrintToString(steps)
                                                << " in " << Around(run.log, "write-behind");
        }
        // Every scratch file is written through to the drive.
        EXPECT_TRUE(Mentions(run.log, "open-write-through "));
        EXPECT_FALSE(Mentions(run.log, "open-write ")) << Around(run.log, "open-write ");
        // No read of the scratch file comes straight after its writes.
        for (std::size_t i = 1; i < run.log.size(); ++i) {
            if (run.log[i] == "open-read " + kFile) {
                EXPECT_EQ(run.log[i - 2], "drop " + kFile) << i;
            }
        }
    }
}

TEST(UncachedOrder, CachedRunsNeitherSyncNorDrop) {
    for (const OrderCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        TempDir dir, other;
        LoggedRun run;
        RunLogged(run, MeasureMode::kCached, c.test, dir, other);
        EXPECT_EQ(run.view.statuses.back(), c.finalStatus);
        for (const char* word : {"sync", "drop", "write-behind", "open-write-through"}) EXPECT_FALSE(Mentions(run.log, word)) << word;
    }
}

TEST(UncachedOrder, StatusTextsNamingADriveSayUncached) {
    for (const MeasureMode mode : {MeasureMode::kCached, MeasureMode::kUncached}) {
        const std::string mark = mode == MeasureMode::kUncached ? " (uncached)" : "";
        TempDir dir, other;
        LoggedRun single, copy;
        RunLogged(single, mode, Cases()[0].test, dir, other);
        RunLogged(copy, mode, Cases()[2].test, dir, other);
        EXPECT_EQ(single.view.statuses,
                  (std::vector<std::string>{"Testing Drive: " + dir.path() + "/" + mark, "Done"}));
        EXPECT_EQ(copy.view.statuses,
                  (std::vector<std::string>{"Creating File To Copy",
                                            "Copying To Drive: " + other.path() + "/" + mark,
                                            "Drive Copy Test Complete"}));
    }
}

// Uncached, the write's seconds run to the end of its final sync, past the
// window; cached, they stay the window's three.
TEST(UncachedOrder, TimeBoxedSecondsRunToTheEndOfTheFinalSync) {
    for (const MeasureMode mode : {MeasureMode::kCached, MeasureMode::kUncached}) {
        TempDir dir;
        std::vector<std::string> log;
        RecordingFileLayer files(log);
        RecordingClock clock(files, 0.01);
        RecordingView view({dir.path()});
        DriveRun run(view, TestEnvironment{clock, files, nullptr, mode}, TestKind::kDriveComparison);
        const DriveRun::TimedWrite written = run.TimeBoxedWrite(dir.path() + "/" + kFile, std::string(1024, 'X'));
        const double last = clock.Now() - 0.01;  // the reading before this one
        EXPECT_GT(written.lines, 200);
        if (mode == MeasureMode::kCached) {
            EXPECT_EQ(written.seconds, kWriteWindowSeconds);
        } else {
            EXPECT_NEAR(written.seconds, last - 0.01, 1e-9);  // from the start's reading
            EXPECT_GT(written.seconds, kWriteWindowSeconds);
        }
    }
}

}  // namespace
}  // namespace trevalon::bench

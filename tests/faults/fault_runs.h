// Running the three drive tests on real directories and checking what a
// user would find afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/drive_tests.h"
#include "fault_support.h"

namespace faults {

enum class Kind { kSingle, kCompare, kCopy };

// What each test is called, a short name for directories, and its last status.
struct KindWords {
    const char* name;
    const char* tag;
    const char* done;
};

inline const KindWords& WordsOf(Kind kind) {
    static const KindWords words[] = {{"single drive check", "single", "Done"},
                                      {"comparison", "compare", "Comparison Complete"},
                                      {"copy test", "copy", "Drive Copy Test Complete"}};
    return words[static_cast<int>(kind)];
}
inline const char* KindName(Kind kind) { return WordsOf(kind).name; }
inline std::string KindTag(Kind kind) { return WordsOf(kind).tag; }
inline std::string DoneText(Kind kind) { return WordsOf(kind).done; }

// The view of a fault run keeps only the figures on show.
constexpr auto kShown = RecordingView::Keep::kShownFigures;

inline void RunKind(Kind kind, RecordingView& view, trevalon::bench::Clock& clock,
                    trevalon::bench::FileLayer& files,
                    const trevalon::bench::StopFlag* stop = nullptr) {
    const trevalon::bench::TestEnvironment environment{clock, files, stop};
    switch (kind) {
        case Kind::kSingle: trevalon::bench::RunSingleDriveCheck(view, environment); break;
        case Kind::kCompare: trevalon::bench::RunDriveComparison(view, environment); break;
        case Kind::kCopy: trevalon::bench::RunCopyTest(view, environment); break;
    }
}

inline void RunKind(Kind kind, RecordingView& view, double clockStep = 0.01) {
    StepClock clock(clockStep);
    RunKind(kind, view, clock, trevalon::bench::HostFileLayer());
}

inline std::string Root(const std::string& dir) { return dir + "/"; }

// A run that ended with one drive message and "Drive Error".
inline void ExpectDriveError(const RecordingView& view, const std::string& message) {
    EXPECT_EQ(view.messages, std::vector<std::string>{message});
    EXPECT_EQ(view.LastStatus(), "Drive Error");
    EXPECT_TRUE(view.handOffs.empty()) << view.handOffs.front().description;
    EXPECT_TRUE(view.ButtonEnabled());
}

// A run from its first step to its last, nothing shown but its figures.
inline void ExpectNormalRun(Kind kind, const RecordingView& view) {
    EXPECT_TRUE(view.messages.empty()) << KindName(kind) << ": " << view.messages.front();
    EXPECT_TRUE(view.handOffs.empty()) << KindName(kind) << ": " << view.handOffs.front().description;
    EXPECT_EQ(view.LastStatus(), DoneText(kind)) << KindName(kind);
    EXPECT_TRUE(view.ButtonEnabled());
}

// The directories a user would look at: as they were, and no scratch file.
struct Drives {
    std::vector<std::string> dirs;
    std::vector<Snapshot> before;

    void Add(const std::string& dir, bool withUserFiles = true) {
        if (withUserFiles) PutUserFiles(dir);
        dirs.push_back(dir);
        before.push_back(TakeSnapshot(dir));
    }
    // A new directory with a user's files, listed in drive list `list`.
    std::string Listed(TempDir& work, const std::string& name, RecordingView& view, int list) {
        const std::string dir = work.Sub(name);
        Add(dir);
        view.entries[static_cast<std::size_t>(list)] = EntryFor(dir);
        return dir;
    }
    void ExpectUnchanged(const std::string& when) const {
        for (const std::string& dir : dirs)
            EXPECT_FALSE(HoldsScratchFiles(dir)) << when << ": scratch file left in " << dir;
        ExpectSame(when);
    }
    // Every file as it was, a planted scratch file too.
    void ExpectSame(const std::string& when = "") const {
        for (std::size_t i = 0; i < dirs.size(); ++i)
            EXPECT_EQ(TakeSnapshot(dirs[i]), before[i]) << when << ": files changed in " << dirs[i];
    }
};

// The fault tests need a private mount namespace.
class FaultTest : public testing::Test {
protected:
    void SetUp() override { TREVALON_REQUIRE_PRIVATE_MOUNTS(); }
    TempDir work{TempDir::Where::kOwnTmpfs};
};

}  // namespace faults

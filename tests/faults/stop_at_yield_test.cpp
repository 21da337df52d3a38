// The program closing in the middle of a test: the view's yield answers
// false, the run ends there without another view call, and no scratch file
// stays on any drive.
#include "fault_runs.h"

namespace faults {
namespace {

class StopAtYield : public testing::TestWithParam<Kind> {
protected:
    TempDir work{TempDir::Where::kOwnTmpfs};
};

TEST_P(StopAtYield, EveryYieldOfARunIsAPlaceToCloseWithoutLeavingAFile) {
    const Kind kind = GetParam();
    Drives drives;
    RecordingView full(kShown);
    for (int list = 0; list < 4; ++list) {
        drives.Listed(work, "drive" + std::to_string(list), full, list);
    }
    RunKind(kind, full);
    ExpectNormalRun(kind, full);
    ASSERT_GT(full.yields, 3);

    for (int stopAt = 1; stopAt <= full.yields; ++stopAt) {
        // The single drive check's first nine yields all come before any file.
        if (kind == Kind::kSingle && stopAt > 1 && stopAt < 9) continue;
        SCOPED_TRACE("closing at yield " + std::to_string(stopAt) + " of " +
                     std::to_string(full.yields));
        RecordingView view(kShown);
        view.entries = full.entries;
        view.closeAtYield = stopAt;
        RunKind(kind, view);
        EXPECT_EQ(view.yields, stopAt);
        EXPECT_EQ(view.callsAfterClosing, 0);
        EXPECT_TRUE(view.messages.empty());
        EXPECT_TRUE(view.handOffs.empty());
        EXPECT_NE(view.LastStatus(), DoneText(kind));
        drives.ExpectUnchanged("after closing");
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, StopAtYield,
                         testing::Values(Kind::kSingle, Kind::kCompare, Kind::kCopy),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Kind::kSingle: return "SingleDriveCheck";
                                 case Kind::kCompare: return "Comparison";
                                 default: return "CopyTest";
                             }
                         });

}  // namespace
}  // namespace faults

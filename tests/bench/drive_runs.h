// What the drive test tests share: the kit's names, and one run of a test
// over listed drives.
#pragma once

#include <string>
#include <vector>

#include "bench/drive_tests.h"
#include "tests/support/drive_kit.h"

namespace trevalon::bench {

using testing::DriveFull;
using testing::Exists;
using testing::FailingFileLayer;
using testing::FileCall;
using testing::kGiB;
using testing::kMiB;
using testing::kReadOnlyMessage;
using testing::ReadFile;
using testing::RecordingClock;
using testing::RecordingFileLayer;
using testing::RecordingView;
using testing::ScriptedClock;
using testing::TempDir;
using testing::UnableToAccess;
using testing::WriteFile;

// One run of `test` on the listed drives, its clock stepping `step` a
// reading; the view as the run left it.
inline RecordingView RunOn(void (*test)(ViewOperations&, const TestEnvironment&),
                           std::vector<std::string> entries, double step,
                           FileLayer& files = HostFileLayer()) {
    RecordingView view(std::move(entries));
    ScriptedClock clock({}, step);
    test(view, {clock, files});
    return view;
}

}  // namespace trevalon::bench

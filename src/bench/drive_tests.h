// The three drive tests, each run to its end inside its button's click.
#pragma once

#include "bench/clock.h"
#include "bench/file_layer.h"
#include "bench/stop_request.h"
#include "bench/view_operations.h"

namespace trevalon::bench {

// Cached measures through the host's file cache; uncached waits for the
// drive at the end of each write and reads from the drive itself.
enum class MeasureMode { kCached, kUncached };

// What a run measures with and writes through; the window's runs use the
// host's clock and files, tests and tools their own.
struct TestEnvironment {
    Clock& clock;
    FileLayer& files;
    // Once set, the run is abandoned like a yield that answers false.
    const StopFlag* stop = nullptr;
    MeasureMode mode = MeasureMode::kCached;
};

// The detailed single drive check of drive list 0 (Drive1).
void RunSingleDriveCheck(ViewOperations& view);
// The comparison of drive lists 0 to 3 (drvCompare).
void RunDriveComparison(ViewOperations& view);
// The copy test from drive list 0 to drive lists 1 to 3 (drvCopy).
void RunCopyTest(ViewOperations& view);

void RunSingleDriveCheck(ViewOperations& view, const TestEnvironment& environment);
void RunDriveComparison(ViewOperations& view, const TestEnvironment& environment);
void RunCopyTest(ViewOperations& view, const TestEnvironment& environment);

}  // namespace trevalon::bench

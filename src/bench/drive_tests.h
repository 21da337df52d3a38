// The three drive tests, each run to its end inside its button's click.
#pragma once

#include "bench/view_operations.h"

namespace trevalon::bench {

// The detailed single drive check of drive list 0 (Drive1).
void RunSingleDriveCheck(ViewOperations& view);
// The comparison of drive lists 0 to 3 (drvCompare).
void RunDriveComparison(ViewOperations& view);
// The copy test from drive list 0 to drive lists 1 to 3 (drvCopy).
void RunCopyTest(ViewOperations& view);

}  // namespace trevalon::bench

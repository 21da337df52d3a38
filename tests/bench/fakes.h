// Moved: the drive tests' kit lives in tests/support/drive_kit.h.
#pragma once
#include "tests/support/drive_kit.h"

// trevalon-cli's command line.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "bench/view_operations.h"

namespace trevalon::console {

inline constexpr int kUsageExitCode = 2;

struct Arguments {
    enum class Action { kRun, kHelp, kVersion, kListDrives };
    Action action = Action::kRun;
    bench::TestKind test = bench::TestKind::kSingleDriveCheck;
    std::vector<std::string> directories;  // as given
    bool json = false;
    bool uncached = false;
};

// What is wrong with a command line, in one line.
struct UsageError {
    std::string problem;
};

std::variant<Arguments, UsageError> ParseArguments(const std::vector<std::string>& args);

// The usage text, ending in a line feed.
const char* UsageText();

// The drive list entry for a directory: its absolute path, so that two
// spellings of one folder are the same entry, and a label the root is cut
// from; a drive's root ("d:\\" where drives have letters) is the drive's
// own entry, whose root is that drive root.
std::string EntryForDirectory(const std::string& directory);

}  // namespace trevalon::console

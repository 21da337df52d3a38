#include "cli/arguments.h"

#include <filesystem>
#include <system_error>

#include "bench/drive_root.h"

namespace trevalon::console {
namespace {

struct CommandShape {
    const char* name;
    bench::TestKind test;
    std::size_t fewest;
    std::size_t most;
    const char* operands;
};

constexpr CommandShape kCommands[] = {
    {"check", bench::TestKind::kSingleDriveCheck, 1, 1, "one DIR"},
    {"compare", bench::TestKind::kDriveComparison, 1, 4, "one to four DIRs"},
    {"copy", bench::TestKind::kCopyTest, 2, 4, "a SOURCE and one to three DESTs"},
};

}  // namespace

const char* UsageText() {
    return "usage: trevalon-cli [--json] [--uncached] check DIR\n"
           "       trevalon-cli [--json] [--uncached] compare DIR...       (one to four)\n"
           "       trevalon-cli [--json] [--uncached] copy SOURCE DEST...  (one to three DESTs)\n"
           "       trevalon-cli --list-drives\n"
           "       trevalon-cli --help | --version\n";
}

std::variant<Arguments, UsageError> ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    std::vector<std::string> words;
    bool optionsEnded = false;
    bool help = false, version = false, drives = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "--uncached") {
            parsed.uncached = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--list-drives") {
            drives = true;
        } else {
            return UsageError{"unknown option '" + arg + "'"};
        }
    }
    if (help || version || drives) {
        Arguments shown;
        shown.action = help      ? Arguments::Action::kHelp
                       : version ? Arguments::Action::kVersion
                                 : Arguments::Action::kListDrives;
        return shown;
    }
    if (words.empty()) return UsageError{"no command given"};
    for (const CommandShape& shape : kCommands) {
        if (words[0] != shape.name) continue;
        const std::size_t operands = words.size() - 1;
        if (operands < shape.fewest || operands > shape.most) {
            return UsageError{std::string("'") + shape.name + "' takes " + shape.operands +
                              ", not " + std::to_string(operands)};
        }
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i].empty()) return UsageError{"an empty directory name"};
        }
        parsed.test = shape.test;
        parsed.directories.assign(words.begin() + 1, words.end());
        return parsed;
    }
    return UsageError{"unknown command '" + words[0] + "'"};
}

std::string EntryForDirectory(const std::string& directory) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(directory, error);
    if (error) path = directory;
    path = path.lexically_normal();
    if (path.has_root_name() && path.relative_path().empty()) return path.root_name().string();
    std::string text = path.generic_string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return bench::DirectoryEntry(text, "cli");
}

}  // namespace trevalon::console

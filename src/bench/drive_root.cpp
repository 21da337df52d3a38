#include "bench/drive_root.h"

namespace trevalon::bench {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Entries of the drive-letter form: letter, colon, optionally blank and label.
std::string DriveLetterRoot(std::string_view entry) {
    const auto blank = entry.find(' ');
    std::string root(TrimBlanks(blank == std::string_view::npos ? std::string_view{}
                                                                : entry.substr(0, blank + 1)));
    root += '\\';
    if (root == kNoDriveRoot) {
        root = TrimBlanks(entry);
        root += '\\';
    }
    return root;
}

// A directory: "/..." or, on hosts with drive letters, "c:/..." or "c:\...",
// as opposed to the drive-letter form "c:", "c: [label]".
bool IsDirectoryEntry(std::string_view trimmed) {
    if (trimmed.starts_with('/')) return true;
    const char letter = trimmed.empty() ? '\0' : static_cast<char>(trimmed[0] | 0x20);
    return trimmed.size() >= 3 && letter >= 'a' && letter <= 'z' && trimmed[1] == ':' &&
           (trimmed[2] == '/' || trimmed[2] == '\\');
}

// Entries of directories: a directory, optionally " [label]".
std::string DirectoryRoot(std::string_view entry) {
    const auto label = entry.rfind(" [");
    std::string root;
    if (label == std::string_view::npos) {
        root = TrimBlanks(entry);
    } else {
        // A mount point may end in a blank: only the leading ones go.
        const std::string_view directory = entry.substr(0, label);
        const auto first = directory.find_first_not_of(' ');
        if (first != std::string_view::npos) root = directory.substr(first);
    }
    if (root.empty()) return std::string(kNoDriveRoot);
    // A backslash ends a folder only under a drive letter; after "/" it is
    // a character of the folder's name.
    const bool ended = root.back() == '/' || (root.back() == '\\' && !root.starts_with('/'));
    if (!ended) root += '/';
    return root;
}

}  // namespace

std::string DirectoryEntry(std::string_view directory, std::string_view label) {
    std::string entry(directory);
    entry += " [";
    for (const char c : label) entry += c == '[' ? '(' : c == ']' ? ')' : c;
    entry += ']';
    return entry;
}

std::string DriveRootFromEntry(std::string_view entry) {
    if (IsDirectoryEntry(TrimBlanks(entry))) return DirectoryRoot(entry);
    return DriveLetterRoot(entry);
}

}  // namespace trevalon::bench

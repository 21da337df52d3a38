// DriveRootFromEntry on any text a drive list could hand over.
#include <cctype>
#include <string>
#include <string_view>

#include "bench/drive_root.h"
#include "fuzz_check.h"

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The drive-letter rule as the user's manual gives it, step by step.
std::string LetterRule(std::string_view entry) {
    std::size_t blankAt = 0;  // counted from 1, 0 when there is none
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == ' ') {
            blankAt = i + 1;
            break;
        }
    }
    std::string root = std::string(Trim(entry.substr(0, blankAt))) + "\\";
    if (root == "\\") root = std::string(Trim(entry)) + "\\";
    return root;
}

}  // namespace

// Input split at its first NUL into a mount point and a label: the drive
// list's entry for them maps back to exactly that directory.
void CheckRoundTrip(std::string_view input) {
    const std::size_t split = input.find('\0');
    const std::string directory = "/" + std::string(input.substr(0, split));
    const std::string_view label =
        split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);
    const std::string entry = trevalon::bench::DirectoryEntry(directory, label);
    const std::string expected = directory.back() == '/' ? directory : directory + "/";
    FUZZ_CHECK(trevalon::bench::DriveRootFromEntry(entry) == expected);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entry(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(entry);
    const std::string root = trevalon::bench::DriveRootFromEntry(entry);

    // A root is never empty and always ends where a file name can follow.
    FUZZ_CHECK(!root.empty());
    FUZZ_CHECK(root.back() == '\\' || root.back() == '/');
    // Only an entry without any text names no drive.
    FUZZ_CHECK((root == trevalon::bench::kNoDriveRoot) == Trim(entry).empty());
    if (root == trevalon::bench::kNoDriveRoot) return 0;

    // The root is the entry's own text, blanks trimmed: a label adds nothing.
    const std::string_view body(root.data(), root.size() - 1);
    FUZZ_CHECK(!body.empty() || root == "/");
    FUZZ_CHECK(entry.find(body) != std::string_view::npos);

    const std::string_view trimmed = Trim(entry);
    const bool letterFolder = trimmed.size() >= 3 && std::isalpha(static_cast<unsigned char>(trimmed[0])) &&
                              trimmed[1] == ':' && (trimmed[2] == '/' || trimmed[2] == '\\');
    if (trimmed.front() == '/' || letterFolder) {
        // A directory entry: the root is that directory, never a part of its label.
        FUZZ_CHECK(root.front() == trimmed.front());
        FUZZ_CHECK(trimmed.starts_with(body));
        const std::size_t label = entry.rfind(" [");
        if (label != std::string_view::npos) FUZZ_CHECK(body.size() <= label);
    } else {
        FUZZ_CHECK(body.front() != ' ' && body.back() != ' ');
        FUZZ_CHECK(root == LetterRule(entry));
    }
    return 0;
}

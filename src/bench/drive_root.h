// Drive list entries and the roots made from them.
#pragma once

#include <string>
#include <string_view>

namespace trevalon::bench {

// The root that names no drive.
inline constexpr std::string_view kNoDriveRoot = "\\";

// "C: [label]" gives "C:\"; "/media/ann/USB STICK [USB STICK]" gives
// "/media/ann/USB STICK/"; an empty or blank entry gives "\" (no drive).
// A directory entry with a label keeps every blank before the label.
std::string DriveRootFromEntry(std::string_view entry);

// The entry for a directory (absolute) with a label. Brackets in the label
// show as parentheses, so that the entry always maps back to the directory.
std::string DirectoryEntry(std::string_view directory, std::string_view label);

}  // namespace trevalon::bench

// Drive list entries and the roots made from them.
#pragma once

#include <string>
#include <string_view>

namespace trevalon::bench {

// The root that names no drive.
inline constexpr std::string_view kNoDriveRoot = "\\";

// "C: [label]" gives "C:\"; "/media/ann/USB STICK [USB STICK]" gives
// "/media/ann/USB STICK/"; an empty or blank entry gives "\" (no drive).
std::string DriveRootFromEntry(std::string_view entry);

}  // namespace trevalon::bench

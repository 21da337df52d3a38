// The drop-down drive lists: "c: [label]" entries, the current drive selected.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace trevalon::win32 {

struct DriveEntries {
    std::vector<std::string> entries;
    int current = -1;  // the drive of the current directory
};

// The computer's drives as the system lists them.
DriveEntries ListDrives();

// Replaces the list's entries; keeps the selected drive where it is still
// there, else selects `drives.current`.
void FillDriveList(HWND list, const DriveEntries& drives, bool keepSelection);

}  // namespace trevalon::win32

#include "win32/drive_list.h"

#include <cwctype>

#include "bench/host/host.h"
#include "win32/wide_text.h"

namespace trevalon::win32 {

DriveEntries ListDrives() {
    DriveEntries drives;
    drives.entries = bench::HostDriveEntries();
    wchar_t here[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, here);
    for (std::size_t i = 0; i < drives.entries.size(); ++i) {
        const std::string& entry = drives.entries[i];
        if (here[1] == L':' && !entry.empty() &&
            std::towlower(static_cast<wchar_t>(entry[0])) == std::towlower(here[0])) {
            drives.current = static_cast<int>(i);
        }
    }
    if (drives.current < 0 && !drives.entries.empty()) drives.current = 0;
    return drives;
}

void FillDriveList(HWND list, const DriveEntries& drives, bool keepSelection) {
    std::wstring selectedLetter;
    if (keepSelection) {
        const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
        if (selected != CB_ERR) {
            wchar_t entry[MAX_PATH + 8] = {};
            if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0) < MAX_PATH) {
                SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                             reinterpret_cast<LPARAM>(entry));
                selectedLetter.assign(entry, wcsnlen(entry, 2));
            }
        }
    }
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    int select = drives.current;
    for (std::size_t i = 0; i < drives.entries.size(); ++i) {
        const std::wstring entry = Wide(drives.entries[i]);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        if (!selectedLetter.empty() && entry.compare(0, selectedLetter.size(), selectedLetter) == 0) {
            select = static_cast<int>(i);
        }
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

}  // namespace trevalon::win32

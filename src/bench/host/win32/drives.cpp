// Drive letters, their labels and their file systems.
#include "bench/host/win32/win32.h"

#include <cwctype>

#include "bench/drive_root.h"
#include "bench/host/host.h"
#include "bench/mount_info.h"

namespace trevalon::bench {
namespace {

// A drive without a disc answers at once instead of asking the user.
struct QuietErrors {
    QuietErrors() : previous(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { ::SetErrorMode(previous); }
    UINT previous;
};

std::wstring RootOf(const std::string& directory) {
    std::wstring path = win32::Wide(directory);
    wchar_t root[MAX_PATH + 1];
    if (!::GetVolumePathNameW(path.c_str(), root, MAX_PATH + 1)) return path.substr(0, 3);
    return root;
}

}  // namespace

std::vector<std::string> HostDriveEntries() {
    const QuietErrors quiet;
    wchar_t roots[27 * 4 + 1] = {};
    const DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(std::size(roots) - 1), roots);
    std::vector<std::string> entries;
    for (const wchar_t* root = roots; length != 0 && *root != L'\0'; root += wcslen(root) + 1) {
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) continue;
        std::string entry{static_cast<char>(std::towlower(root[0])), ':'};
        wchar_t label[MAX_PATH + 1] = {};
        if (::GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            label[0] != L'\0') {
            // Brackets inside the label as the folder entries show them.
            std::string shown = DirectoryEntry("", win32::Utf8(label));
            entry += shown;
        }
        entries.push_back(entry);
    }
    return entries;
}

MountInfo MountOf(const std::string& directory) {
    const QuietErrors quiet;
    const std::wstring root = RootOf(directory);
    MountInfo mount{win32::Utf8(root), std::string(kUnknownMount), std::string(kUnknownMount)};
    wchar_t type[MAX_PATH + 1] = {};
    if (::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, type, MAX_PATH + 1)) {
        mount.fileSystemType = win32::Utf8(type);
    }
    wchar_t device[MAX_PATH + 1] = {};
    std::wstring letter = root.substr(0, 2);
    if (letter.size() == 2 && letter[1] == L':' && ::QueryDosDeviceW(letter.c_str(), device, MAX_PATH + 1)) {
        mount.device = win32::Utf8(device);
    }
    return mount;
}

}  // namespace trevalon::bench

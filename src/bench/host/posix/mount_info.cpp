#include "bench/mount_info.h"

#include <set>

#include "bench/drive_root.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace trevalon::bench {
namespace {

// The table writes blank, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string_view::npos) {
                text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 +
                                          (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

// The mount point, type and source of each line, in order.
std::vector<MountInfo> Mounts(std::string_view mountTable) {
    std::vector<MountInfo> mounts;
    while (!mountTable.empty()) {
        const std::size_t end = std::min(mountTable.find('\n'), mountTable.size());
        const std::vector<std::string_view> fields = Fields(mountTable.substr(0, end));
        mountTable.remove_prefix(std::min(end + 1, mountTable.size()));
        // id parent major:minor root mount-point options [optional...] - type source ...
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-") ++dash;
        if (fields.size() < 5 || dash + 2 >= fields.size()) continue;
        mounts.push_back({Unescape(fields[4]), Unescape(fields[dash + 1]), Unescape(fields[dash + 2])});
    }
    return mounts;
}

bool Contains(std::string_view mountPoint, std::string_view directory) {
    if (mountPoint == "/") return directory.starts_with('/');
    return directory.starts_with(mountPoint) &&
           (directory.size() == mountPoint.size() || directory[mountPoint.size()] == '/');
}

}  // namespace

MountInfo FindMount(std::string_view mountTable, std::string_view directory) {
    MountInfo found{"", std::string(kUnknownMount), std::string(kUnknownMount)};
    bool any = false;
    // The last of the longest mount points holding the folder: a later mount
    // over the same point hides the earlier one.
    for (MountInfo& mount : Mounts(mountTable)) {
        if (!Contains(mount.mountPoint, directory)) continue;
        if (any && mount.mountPoint.size() < found.mountPoint.size()) continue;
        any = true;
        found = std::move(mount);
    }
    return found;
}

MountInfo MountOf(const std::string& directory) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(directory, error);
    if (error) path = directory;
    std::string text = path.generic_string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
#ifdef __linux__
    std::ifstream table("/proc/self/mountinfo");
    if (table) {
        std::ostringstream content;
        content << table.rdbuf();
        return FindMount(content.str(), text);
    }
#endif
    return {text, std::string(kUnknownMount), std::string(kUnknownMount)};
}

// Devices and memory file systems outside the system's own run-time trees,
// each mount point once, labelled by the device's name.
std::vector<std::string> HostDriveEntries() {
    std::ifstream table("/proc/self/mountinfo");
    std::ostringstream content;
    content << table.rdbuf();
    std::vector<std::string> entries;
    std::set<std::string> seen;
    for (const MountInfo& mount : Mounts(content.str())) {
        const bool device = mount.device.starts_with("/dev/");
        if (!device && mount.fileSystemType != "tmpfs") continue;
        bool systemTree = false;
        for (const char* tree : {"/proc", "/sys", "/dev", "/run"}) {
            systemTree = systemTree || Contains(tree, mount.mountPoint);
        }
        if (systemTree && !Contains("/run/media", mount.mountPoint)) continue;
        if (!seen.insert(mount.mountPoint).second) continue;
        const std::string label =
            device ? mount.device.substr(mount.device.rfind('/') + 1) : mount.device;
        entries.push_back(DirectoryEntry(mount.mountPoint, label));
    }
    return entries;
}

}  // namespace trevalon::bench

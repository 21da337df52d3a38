// Which mounted file system holds a directory, for reports of a run.
#pragma once

#include <string>
#include <string_view>

#include "bench/host/host.h"

namespace trevalon::bench {

struct MountInfo {
    std::string mountPoint;
    std::string fileSystemType;  // e.g. "ext4"
    std::string device;          // e.g. "/dev/vda1" or "tmpfs"
};

// What hosts without a mount table report.
inline constexpr std::string_view kUnknownMount = "unknown";

// The mount of `directory` (absolute, symbolic links resolved) in a table of
// the /proc/self/mountinfo form: the longest mount point that contains it,
// the last such line winning as later mounts hide earlier ones.
MountInfo FindMount(std::string_view mountTable, std::string_view directory);

}  // namespace trevalon::bench

// What a run may write on a drive, and which file standing where its
// scratch files go it may replace.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bench/file_layer.h"

namespace trevalon::bench {

// The small and the large file of the single drive check, in bytes.
inline constexpr std::uint64_t kShortLineFilesBytes = 3 * (1'024'000 + 10'240'000);

// The free space a run leaves on a drive: 5% of it, at most 2 GiB and at
// least 64 MiB; a tenth of a drive smaller than 256 MiB.
std::uint64_t SpaceReserve(std::uint64_t capacity);

// The bytes a run may still write there and keep the reserve; on a drive
// kept in memory also a quarter of the machine's available memory.
std::uint64_t RoomOf(const DriveSpace& space);

// The machine's available memory when directory's file system keeps its
// files in memory; nullopt for any other, or where the host cannot tell.
std::optional<std::uint64_t> MemoryBehind(const std::string& directory);

// Whether the file at path is a scratch file an earlier run left there:
// empty, or short lines or fill lines throughout (the last one may be cut
// short), a normal file of one name owned by the user. Only three pieces,
// at its start, its middle and its end, are read.
bool IsLeftOver(FileLayer& files, const std::string& path);

// Something at a scratch file's path that is not a left-over of ours: the
// run ends before it writes anything.
struct FileInTheWay {
    std::string path;
};
std::string FileInTheWayMessage(const std::string& path);

}  // namespace trevalon::bench

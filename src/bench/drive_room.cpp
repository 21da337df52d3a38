#include "bench/drive_room.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string_view>

#ifdef __linux__
#include <sys/vfs.h>

#include <fstream>
#endif

namespace trevalon::bench {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kSmallDrive = 256 * kMiB;
// Bytes read at each of a possible left-over's three places.
constexpr std::size_t kSampledPiece = 64 * 1024;

// The byte at offset of a file of lines of `text` X's, each ended by CR LF.
char LineByte(std::uint64_t offset, std::uint64_t text) {
    const std::uint64_t at = offset % (text + 2);
    return at < text ? 'X' : at == text ? '\r' : '\n';
}

bool Matches(std::string_view piece, std::uint64_t offset, std::uint64_t text) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] != LineByte(offset + i, text)) return false;
    }
    return true;
}

}  // namespace

std::uint64_t SpaceReserve(std::uint64_t capacity) {
    // 64 MiB would leave a small drive too little room for any test.
    if (capacity < kSmallDrive) return capacity / 10;
    return std::max(64 * kMiB, std::min(capacity / 20, 2048 * kMiB));
}

std::uint64_t RoomOf(const DriveSpace& space) {
    const std::uint64_t reserve = SpaceReserve(space.capacity);
    std::uint64_t room = space.available > reserve ? space.available - reserve : 0;
    if (space.memoryAvailable) {
        const std::uint64_t memory = *space.memoryAvailable - *space.memoryAvailable / 4;
        // A ramfs has no size of its own: memory is its only limit.
        room = space.capacity == 0 ? memory : std::min(room, memory);
    }
    return room;
}

std::optional<std::uint64_t> MemoryBehind(const std::string& directory) {
#ifdef __linux__
    constexpr decltype(statfs::f_type) kTmpfs = 0x01021994;
    constexpr decltype(statfs::f_type) kRamfs = static_cast<decltype(statfs::f_type)>(0x858458f6);
    struct statfs info {};
    if (::statfs(directory.c_str(), &info) != 0) return std::nullopt;
    if (info.f_type != kTmpfs && info.f_type != kRamfs) return std::nullopt;
    std::ifstream table("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (table >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") return kilobytes * 1024;
    }
    return 0;  // memory-backed, and nothing known to be left
#else
    (void)directory;
    return std::nullopt;
#endif
}

bool IsLeftOver(FileLayer& files, const std::string& path) try {
    const std::optional<PlacedFile> placed = files.LookAt(path);
    if (!placed || !placed->normal || placed->links != 1 || !placed->ownedByUser) return false;
    const std::uint64_t size = placed->size;
    const std::uint64_t piece = std::min<std::uint64_t>(size, kSampledPiece);
    const std::array<std::uint64_t, 3> offsets = {0, size / 2 - std::min(size / 2, piece / 2),
                                                  size - piece};
    std::array<std::string, 3> pieces;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        pieces[i] = files.ReadPiece(path, offsets[i], static_cast<std::size_t>(piece));
        if (pieces[i].size() != piece) return false;
    }
    // Short lines (the small and the large file) or fill lines (the rest).
    return std::ranges::any_of(std::array<std::uint64_t, 2>{1, 1024}, [&](std::uint64_t text) {
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            if (!Matches(pieces[i], offsets[i], text)) return false;
        }
        return true;
    });
} catch (const std::exception&) {
    return false;  // what cannot be read cannot be told from a user's file
}

std::string FileInTheWayMessage(const std::string& path) {
    return "I will not replace " + path +
           ": it is not a scratch file left by this program.  Please move or rename it, then "
           "test the drive again.";
}

}  // namespace trevalon::bench

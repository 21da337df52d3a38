// What every file layer can do through the standard library alone.
#include "bench/file_layer.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace trevalon::bench {

namespace fs = std::filesystem;

std::optional<PlacedFile> FileLayer::LookAt(const std::string& path) {
    std::error_code code;
    const fs::file_status status = fs::symlink_status(path, code);
    if (code || status.type() == fs::file_type::not_found) return std::nullopt;
    PlacedFile placed;
    placed.normal = status.type() == fs::file_type::regular;
    if (!placed.normal) return placed;
    placed.size = fs::file_size(path, code);
    const std::uintmax_t links = fs::hard_link_count(path, code);
    if (code) return std::nullopt;
    placed.links = links;
    return placed;
}

std::string FileLayer::ReadPiece(const std::string& path, std::uint64_t offset, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::string piece(size, '\0');
    if (!in.seekg(static_cast<std::streamoff>(offset))) return {};
    in.read(piece.data(), static_cast<std::streamsize>(size));
    piece.resize(static_cast<std::size_t>(in.gcount()));
    return piece;
}

}  // namespace trevalon::bench

// The drive tests' only way to the host's files. Every failure is raised as
// a RunTimeError with its run-time number. Tests and fault tools put their
// own layer in its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bench/host/host.h"
#include "bench/stop_request.h"

namespace trevalon::bench {

// One open file, read or written sequentially in large pieces.
class RawFile {
public:
    virtual ~RawFile() = default;  // closes quietly if Close was not called
    // Writes all of it or raises.
    virtual void Write(const char* data, std::size_t size) = 0;
    // Reads up to size bytes; 0 only at the end of the file.
    virtual std::size_t Read(char* data, std::size_t size) = 0;
    // Closes and raises what the close reports; the file is closed either way.
    virtual void Close() = 0;
    // Closes a file the run is abandoning, reporting nothing; the host may
    // finish closing it after the program has ended.
    virtual void CloseAbandoned() noexcept {
        try {
            Close();
        } catch (...) {
        }
    }
    // Waits until the data written so far is on the drive. Where the host
    // has no such call, the data is as far as the host lets it get.
    virtual void SyncData() {}
    // Starts writing out what was written since the last call and waits for
    // what the calls before it started, so little stays unwritten while the
    // writing goes on; the drive stays busy meanwhile.
    virtual void WriteBehind() { SyncData(); }
};

struct DriveSpace {
    std::uint64_t capacity = 0;   // bytes of the whole file system
    std::uint64_t available = 0;  // bytes an ordinary user may still write
    // Set for a file system that keeps its files in the machine's memory
    // (tmpfs, ramfs): the memory the machine has available.
    std::optional<std::uint64_t> memoryAvailable{};
};

// What stands at a path, the path's own entry (a link is not followed).
struct PlacedFile {
    bool normal = false;  // a normal file, not a link, directory or special file
    std::uint64_t size = 0;
    std::uint64_t links = 1;
    // Owned by the user running the program; true where the host keeps no owners.
    bool ownedByUser = true;
};

class FileLayer {
public:
    virtual ~FileLayer() = default;
    // Creates or empties a normal file. Never follows a link at the path and
    // never writes into a file with other names (hard links).
    virtual std::unique_ptr<RawFile> OpenForWriting(const std::string& path) = 0;
    // The same, each write passing through to the drive where the host
    // offers that; elsewhere an ordinary file, synced by its writer.
    virtual std::unique_ptr<RawFile> OpenForWritingToDrive(const std::string& path) {
        return OpenForWriting(path);
    }
    // Opens a normal file; never follows a link at the path.
    virtual std::unique_ptr<RawFile> OpenForReading(const std::string& path) = 0;
    // The same, for a read that goes to the drive past the host's cache
    // where the file system allows it; elsewhere an ordinary read.
    virtual std::unique_ptr<RawFile> OpenForReadingFromDrive(const std::string& path) {
        return OpenForReading(path);
    }
    // Whether the path names a normal file, looked up by its exact name.
    virtual bool IsNormalFile(const std::string& path) = 0;
    // Copies, replacing the target as OpenForWriting would; a failed copy
    // leaves no partial target behind.
    virtual void CopyFile(const std::string& from, const std::string& to) = 0;
    // The same copy, abandoned with ProgramClosing once stop is set (checked
    // between pieces of a few MiB); an abandoned copy leaves no target.
    virtual void CopyFileUnlessStopped(const std::string& from, const std::string& to,
                                       const StopFlag* stop) {
        ThrowIfStopped(stop);
        CopyFile(from, to);
    }
    virtual void DeleteFile(const std::string& path) = 0;
    // For a run that is being abandoned: the name goes at once, the space
    // may come back only after the program has ended (freeing GBs takes
    // seconds). Never for a timed delete.
    virtual void DeleteAbandonedFile(const std::string& path) { DeleteFile(path); }
    // Puts a file's data on the drive and drops its pages from the host's
    // cache, so the next read comes from the drive. A file system that keeps
    // files only in memory keeps them.
    virtual void DropCachedPages(const std::string& /*path*/) {}
    // Puts a closed file's data on the drive.
    virtual void SyncFile(const std::string& /*path*/) {}
    // The same, abandoned with ProgramClosing once stop is set (checked
    // between pieces of a few MiB).
    virtual void SyncFileUnlessStopped(const std::string& path, const StopFlag* stop) {
        ThrowIfStopped(stop);
        SyncFile(path);
    }
    // Puts a directory's entries (files made or deleted) on the drive.
    virtual void SyncDirectory(const std::string& /*directory*/) {}
    // The file system a directory lies on, as a number that differs between
    // file systems mounted at the same time; nullopt where the host has none.
    // Raises when the directory cannot be reached.
    virtual std::optional<std::uint64_t> VolumeOf(const std::string& /*directory*/) {
        return std::nullopt;
    }
    // The space of the file system holding the directory; nullopt when unknown.
    virtual std::optional<DriveSpace> SpaceOf(const std::string& /*directory*/) {
        return std::nullopt;
    }
    // Waits until the space of files deleted on the directory's file system
    // is counted as free again (btrfs counts it only once it commits).
    virtual void CommitFreedSpace(const std::string& /*directory*/) {}
    // What stands at path; nullopt when nothing does or it cannot be looked at.
    virtual std::optional<PlacedFile> LookAt(const std::string& path);
    // Up to size bytes of the normal file at path from offset; fewer at its end.
    virtual std::string ReadPiece(const std::string& path, std::uint64_t offset, std::size_t size);
};

// The standard library's files alone, built everywhere: the tests run the
// host's layer and this one through the same cases.
FileLayer& PortableFileLayer();

}  // namespace trevalon::bench

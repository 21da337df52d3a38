// The host's files. The only file that uses POSIX calls; elsewhere a plain
// standard-library version keeps the drive tests building.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "bench/drive_room.h"
#include "bench/file_layer.h"
#include "bench/run_error.h"

#if !defined(TREVALON_PORTABLE_FILES) && __has_include(<unistd.h>) && __has_include(<fcntl.h>)
#define TREVALON_POSIX_FILES 1
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "bench/host/posix/posix_files.h"
#if __has_include(<sys/sendfile.h>)
#include <sys/sendfile.h>
#endif
#endif

namespace trevalon::bench {

#ifdef TREVALON_POSIX_FILES
namespace {

using namespace posix;

class PosixFile final : public RawFile {
public:
    explicit PosixFile(std::unique_ptr<Descriptor> fd) : fd_(std::move(fd)) {}
    void Write(const char* data, std::size_t size) override {
        WriteAll(fd_->get(), data, size);
        written_ += static_cast<off_t>(size);
    }
    void SyncData() override { SyncDescriptor(fd_->get()); }
    void WriteBehind() override {
#ifdef SYNC_FILE_RANGE_WRITE
        // Writes the file's own pages without a journal commit each time.
        const int fd = fd_->get();
        if (written_ > started_ &&
            ::sync_file_range(fd, started_, written_ - started_, SYNC_FILE_RANGE_WRITE) != 0) {
            return FallBackToSync();
        }
        if (started_ > 0 &&
            ::sync_file_range(fd, 0, started_,
                              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                  SYNC_FILE_RANGE_WAIT_AFTER) != 0) {
            return FallBackToSync();
        }
        started_ = written_;
#else
        SyncData();
#endif
    }
    std::size_t Read(char* data, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_->get(), data, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) RaiseHostError(errno);
        }
    }
    void Close() override { fd_->Close(); }
    void CloseAbandoned() noexcept override {
        if (written_ > kFreedInline) {
            LastCloseInChild child;
            ::close(fd_->release());
            return;
        }
        try {
            fd_->Close();
        } catch (...) {
            // Abandoned: nothing of it is reported.
        }
    }

private:
    void FallBackToSync() {
        if (errno != EINVAL && errno != ENOSYS && errno != ESPIPE && errno != EINTR) {
            RaiseHostError(errno);
        }
        SyncData();
        started_ = written_;
    }

    std::unique_ptr<Descriptor> fd_;
    off_t written_ = 0;
    off_t started_ = 0;  // written out by WriteBehind up to here
};

#ifdef O_DIRECT
// Reads past the host's cache in aligned blocks of its own and hands them out
// in whatever sizes the caller asks for.
class DriveReadFile final : public RawFile {
public:
    explicit DriveReadFile(std::unique_ptr<Descriptor> fd) : fd_(std::move(fd)) {
        void* block = nullptr;
        if (::posix_memalign(&block, kAlign, kBlock) != 0) throw HostFileError(ENOMEM);
        block_.reset(static_cast<char*>(block));
    }
    void Write(const char*, std::size_t) override { RaiseHostError(EBADF); }
    std::size_t Read(char* data, std::size_t size) override {
        if (next_ == end_ && !Refill()) return 0;
        const std::size_t given = std::min(size, end_ - next_);
        std::memcpy(data, block_.get() + next_, given);
        next_ += given;
        return given;
    }
    void Close() override { fd_->Close(); }

private:
    static constexpr std::size_t kAlign = 4096;
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    struct Free {
        void operator()(char* block) const { std::free(block); }
    };

    bool Refill() {
        for (;;) {
            const ssize_t got = ::read(fd_->get(), block_.get(), kBlock);
            if (got > 0) {
                next_ = 0;
                end_ = static_cast<std::size_t>(got);
                return true;
            }
            if (got == 0) return false;
            const int code = errno;
            if (code == EINTR) continue;
            // An offset or size the device refuses: the rest goes through the cache.
            const int flags = ::fcntl(fd_->get(), F_GETFL);
            if (code != EINVAL || flags < 0 || (flags & O_DIRECT) == 0 ||
                ::fcntl(fd_->get(), F_SETFL, flags & ~O_DIRECT) != 0) {
                RaiseHostError(code);
            }
        }
    }

    std::unique_ptr<Descriptor> fd_;
    std::unique_ptr<char, Free> block_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
};
#endif

// A stop request is seen between two pieces: a few milliseconds on any disk.
constexpr std::size_t kCopyPiece = std::size_t{8} << 20;

// Copies inside the kernel where it can, through reads and writes where not.
void CopyContents(int from, int to, off_t size, const StopFlag* stop) {
#if __has_include(<sys/sendfile.h>)
    off_t left = size;
    while (left > 0) {
        ThrowIfStopped(stop);
        const std::size_t piece = std::min(static_cast<std::size_t>(left), kCopyPiece);
        const ssize_t done = ::sendfile(to, from, nullptr, piece);
        if (done > 0) {
            left -= done;
            continue;
        }
        if (done == 0) return;  // the source became shorter: that much is the copy
        if (errno == EINTR) continue;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) RaiseHostError(errno);
        break;  // no kernel copy between these two: the rest goes through a buffer
    }
    if (left <= 0) return;
#else
    (void)size;
#endif
    constexpr std::size_t kPiece = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[kPiece]);
    for (;;) {
        ThrowIfStopped(stop);
        const ssize_t got = ::read(from, buffer.get(), kPiece);
        if (got < 0) {
            if (errno == EINTR) continue;
            RaiseHostError(errno);
        }
        if (got == 0) return;
        WriteAll(to, buffer.get(), static_cast<std::size_t>(got));
    }
}

// Waits for a file's data piece by piece, so a stop is seen between two
// waits of a few MiB each rather than after GBs.
void SyncUnlessStopped(int fd, const StopFlag* stop) {
#ifdef SYNC_FILE_RANGE_WRITE
    struct stat info {};
    if (::fstat(fd, &info) != 0) RaiseHostError(errno);
    if (::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE) == 0) {
        for (off_t at = 0; at < info.st_size; at += static_cast<off_t>(kCopyPiece)) {
            ThrowIfStopped(stop);
            if (::sync_file_range(fd, at, static_cast<off_t>(kCopyPiece),
                                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                      SYNC_FILE_RANGE_WAIT_AFTER) != 0) {
                break;  // the whole sync below does it
            }
        }
    }
#endif
    ThrowIfStopped(stop);
    SyncDescriptor(fd);
}


class PosixFileLayer final : public FileLayer {
public:
    std::unique_ptr<RawFile> OpenForWriting(const std::string& path) override {
        return std::make_unique<PosixFile>(OpenWritable(path));
    }
    std::unique_ptr<RawFile> OpenForReading(const std::string& path) override {
        return std::make_unique<PosixFile>(OpenReadable(path));
    }
    std::unique_ptr<RawFile> OpenForReadingFromDrive(const std::string& path) override {
#ifdef O_DIRECT
        auto fd = OpenReadable(path);
        const int flags = ::fcntl(fd->get(), F_GETFL);
        // A file system without direct reads (tmpfs) is read the ordinary way.
        if (flags >= 0 && ::fcntl(fd->get(), F_SETFL, flags | O_DIRECT) == 0) {
            return std::make_unique<DriveReadFile>(std::move(fd));
        }
        return std::make_unique<PosixFile>(std::move(fd));
#else
        return OpenForReading(path);
#endif
    }
    bool IsNormalFile(const std::string& path) override {
        struct stat info {};
        return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }
    void CopyFile(const std::string& from, const std::string& to) override {
        CopyFileUnlessStopped(from, to, nullptr);
    }
    void CopyFileUnlessStopped(const std::string& from, const std::string& to,
                               const StopFlag* stop) override {
        ThrowIfStopped(stop);
        auto source = OpenReadable(from);
        struct stat sourceInfo {};
        if (::fstat(source->get(), &sourceInfo) != 0) RaiseHostError(errno);
        struct stat targetInfo {};
        if (::lstat(to.c_str(), &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev &&
            targetInfo.st_ino == sourceInfo.st_ino) {
            RaiseHostError(EINVAL);  // a file copied onto itself would be emptied
        }
        auto target = OpenWritable(to);
        try {
            CopyContents(source->get(), target->get(), sourceInfo.st_size, stop);
            target->Close();
        } catch (...) {
            if (StopRequested(stop) && ::lseek(target->get(), 0, SEEK_END) > kFreedInline) {
                ::unlink(to.c_str());
                LastCloseInChild child;
                target.reset();
            } else {
                target.reset();
                ::unlink(to.c_str());
            }
            throw;
        }
        source->Close();
    }
    void DeleteFile(const std::string& path) override {
        if (::unlink(path.c_str()) != 0) RaiseHostError(errno);
    }
    void DeleteAbandonedFile(const std::string& path) override { UnlinkLeavingTheFreeing(path); }
    void DropCachedPages(const std::string& path) override {
        auto fd = OpenReadable(path);
        // Only clean pages can be dropped.
        SyncDescriptor(fd->get());
#ifdef POSIX_FADV_DONTNEED
        const int failed = ::posix_fadvise(fd->get(), 0, 0, POSIX_FADV_DONTNEED);
        // A file system without the advice keeps the file in memory anyway.
        if (failed != 0 && failed != EINVAL && failed != ESPIPE) RaiseHostError(failed);
#endif
        fd->Close();
    }
    void SyncFile(const std::string& path) override { SyncFileUnlessStopped(path, nullptr); }
    void SyncFileUnlessStopped(const std::string& path, const StopFlag* stop) override {
        ThrowIfStopped(stop);
        auto fd = OpenReadable(path);
        SyncUnlessStopped(fd->get(), stop);
        fd->Close();
    }
    void SyncDirectory(const std::string& directory) override {
        Descriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0) RaiseHostError(errno);
        SyncDescriptor(fd.get(), true);
        fd.Close();
    }
    std::optional<std::uint64_t> VolumeOf(const std::string& directory) override {
        struct stat info {};
        if (::stat(directory.c_str(), &info) != 0) RaiseHostError(errno);
        return static_cast<std::uint64_t>(info.st_dev);
    }
    std::optional<DriveSpace> SpaceOf(const std::string& directory) override {
        struct statvfs info {};
        if (::statvfs(directory.c_str(), &info) != 0) RaiseHostError(errno);
        const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
        return DriveSpace{static_cast<std::uint64_t>(info.f_blocks) * unit,
                          static_cast<std::uint64_t>(info.f_bavail) * unit, MemoryBehind(directory)};
    }
    void CommitFreedSpace(const std::string& directory) override {
        Descriptor fd(::open(directory.c_str(), O_RDONLY | O_CLOEXEC));
#ifdef __linux__
        if (fd.get() >= 0) ::syncfs(fd.get());
#else
        ::sync();
#endif
    }
    std::optional<PlacedFile> LookAt(const std::string& path) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
        return PlacedFile{S_ISREG(info.st_mode), static_cast<std::uint64_t>(info.st_size),
                          static_cast<std::uint64_t>(info.st_nlink), info.st_uid == ::geteuid()};
    }
    std::string ReadPiece(const std::string& path, std::uint64_t offset, std::size_t size) override {
        auto fd = OpenReadable(path);
        std::string piece(size, '\0');
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::pread(fd->get(), piece.data() + got, size - got,
                                      static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) RaiseHostError(errno);
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        piece.resize(got);
        return piece;
    }
};

}  // namespace
#endif

FileLayer& HostFileLayer() {
#ifdef TREVALON_POSIX_FILES
    static PosixFileLayer layer;
    return layer;
#else
    return PortableFileLayer();
#endif
}

}  // namespace trevalon::bench

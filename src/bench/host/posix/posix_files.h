// The POSIX calls under the host's file layer: descriptors that close
// themselves, opens that refuse links and special files, whole writes,
// syncs, and last closes left to a child.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <utility>

#include "bench/run_error.h"

namespace trevalon::bench::posix {
[[noreturn]] inline void RaiseHostError(int code) { throw HostFileError(code); }

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    // Closes and raises what the close reports.
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) RaiseHostError(errno);
    }

private:
    int fd_;
};

// Opening never blocks on a FIFO and never follows a link at the path.
inline constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// The file's size once it is known to be a normal file.
inline off_t RequireNormalFile(int fd, bool forWriting) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) RaiseHostError(errno);
    if (!S_ISREG(info.st_mode)) RaiseHostError(S_ISDIR(info.st_mode) ? EISDIR : EACCES);
    // Another name for the same file could be anyone's file.
    if (forWriting && info.st_nlink > 1) RaiseHostError(EACCES);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) RaiseHostError(errno);
    return info.st_size;
}

inline std::unique_ptr<Descriptor> OpenWritable(const std::string& path) {
    // Emptied only after the checks, so a refused file is left untouched.
    auto fd = std::make_unique<Descriptor>(::open(path.c_str(), O_WRONLY | O_CREAT | kOpenFlags, 0666));
    if (fd->get() < 0) RaiseHostError(errno);
    if (RequireNormalFile(fd->get(), true) != 0 && ::ftruncate(fd->get(), 0) != 0) {
        RaiseHostError(errno);
    }
    return fd;
}

inline std::unique_ptr<Descriptor> OpenReadable(const std::string& path) {
    auto fd = std::make_unique<Descriptor>(::open(path.c_str(), O_RDONLY | kOpenFlags));
    if (fd->get() < 0) RaiseHostError(errno);
    RequireNormalFile(fd->get(), false);
    return fd;
}

inline void WriteAll(int fd, const char* data, std::size_t size) {
    while (size != 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            RaiseHostError(errno);
        }
        if (done == 0) RaiseHostError(ENOSPC);
        data += done;
        size -= static_cast<std::size_t>(done);
    }
}

// A directory's entries are its metadata, so it takes the whole fsync.
inline void SyncDescriptor(int fd, bool directory = false) {
    while ((directory ? ::fsync(fd) : ::fdatasync(fd)) != 0) {
        if (errno == EINTR) continue;
        // Pipes and some special files have nothing to sync.
        if (errno == EINVAL || errno == EROFS) return;
        RaiseHostError(errno);
    }
}

// Above this, freeing a file's space takes long enough to leave to a child.
inline constexpr off_t kFreedInline = off_t{64} << 20;

// A child holding every descriptor of ours until this goes out of scope,
// then exiting: a last close there frees a large file's space, or starts the
// write-out ext4 begins when a file emptied and written again is closed,
// without the program waiting for either.
class LastCloseInChild {
public:
    LastCloseInChild() {
        int gate[2];
        if (::pipe(gate) != 0) return;
        const pid_t child = ::fork();
        if (child == 0) {
            // Only async-signal-safe calls here: the parent may have threads.
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::_exit(0);
        }
        ::close(gate[0]);
        if (child < 0) {
            ::close(gate[1]);
            return;
        }
        gate_ = gate[1];
    }
    ~LastCloseInChild() {
        if (gate_ >= 0) ::close(gate_);  // the child's read ends: it lets go
    }
    LastCloseInChild(const LastCloseInChild&) = delete;
    LastCloseInChild& operator=(const LastCloseInChild&) = delete;

private:
    int gate_ = -1;
};


// Unlinks at once; the freeing happens in a child that outlives no wait of ours.
inline void UnlinkLeavingTheFreeing(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_size <= kFreedInline) {
        if (fd >= 0) ::close(fd);
        if (::unlink(path.c_str()) != 0) RaiseHostError(errno);
        return;
    }
    if (::unlink(path.c_str()) != 0) {
        const int code = errno;
        ::close(fd);
        RaiseHostError(code);
    }
    LastCloseInChild child;
    ::close(fd);
}

}  // namespace trevalon::bench::posix

// The kit's directories and mounts on Linux: temporary folders under /tmp
// and private mount namespaces for real faults.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "tests/support/drive_kit.h"

namespace trevalon::bench::testing {

TempDir::TempDir(Where where) {
    char pattern[] = "/tmp/trevalon-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (where == Where::kOwnTmpfs && CurrentIsolation() != Isolation::kNone) {
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=512m,mode=0755") == 0;
        if (!mounted_) ADD_FAILURE() << "mount tmpfs on " << path_ << ": " << std::strerror(errno);
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    // A tmpfs mounted inside goes with the process's private namespace; make
    // sure it does not hold the removal up.
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
        ::umount2(entry.path().c_str(), MNT_DETACH);
    }
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    std::filesystem::remove_all(path_, ignored);
}

namespace {

Isolation isolation = Isolation::kNone;

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

bool WriteText(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

bool MakeMountsPrivate() {
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Empty once entered, else why not.
std::string Enter() {
    // As root a namespace of our own can mount anything, loop devices included.
    if (::unshare(CLONE_NEWNS) == 0) {
        if (!MakeMountsPrivate()) return Errno("making the mounts private");
        isolation = Isolation::kPrivileged;
        return {};
    }
    // Otherwise what `unshare -rm` does.
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return Errno("unshare of a mount namespace");
    if (!WriteText("/proc/self/setgroups", "deny") ||
        !WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1") ||
        !MakeMountsPrivate()) {
        return Errno("setting up the user namespace");
    }
    isolation = Isolation::kUserNamespace;
    return {};
}

void Mount(const std::string& source, const std::string& dir, const char* type,
           unsigned long flags, const std::string& options) {
    ASSERT_EQ(::mount(source.c_str(), dir.c_str(), type, flags,
                      options.empty() ? nullptr : options.c_str()),
              0)
        << Errno("mount " + dir + " " + options);
}

}  // namespace

bool EnterPrivateMounts(std::string& why) {
    static const std::string problem = Enter();
    why = problem;
    return problem.empty();
}

Isolation CurrentIsolation() { return isolation; }

void MountTmpfs(const std::string& dir, std::uint64_t bytes, const std::string& more) {
    Mount("tmpfs", dir, "tmpfs", 0,
          "size=" + std::to_string(bytes) + ",mode=0755" + (more.empty() ? "" : "," + more));
}

void ResizeTmpfs(const std::string& dir, std::uint64_t bytes) {
    Mount("tmpfs", dir, "tmpfs", MS_REMOUNT, "size=" + std::to_string(bytes));
}

void ShrinkTmpfsToUsed(const std::string& dir, std::uint64_t headroom) {
    struct statvfs info {};
    ASSERT_EQ(::statvfs(dir.c_str(), &info), 0) << Errno("statvfs " + dir);
    const std::uint64_t used = (info.f_blocks - info.f_bfree) * info.f_frsize;
    ResizeTmpfs(dir, used + headroom);
}

void RemountReadOnly(const std::string& dir) {
    Mount("tmpfs", dir, "tmpfs", MS_REMOUNT | MS_RDONLY, "");
}

void RemountWritable(const std::string& dir) { Mount("tmpfs", dir, "tmpfs", MS_REMOUNT, ""); }

void BindReadOnly(const std::string& from, const std::string& dir) {
    Mount(from, dir, nullptr, MS_BIND, "");
    Mount("", dir, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, "");
}

void Unmount(const std::string& dir) {
    ASSERT_EQ(::umount2(dir.c_str(), 0), 0) << Errno("umount " + dir);
}

FaultyDrives MountTinyAndReadOnly(const TempDir& dir) {
    FaultyDrives drives{dir.Sub("tiny"), dir.Sub("ro")};
    MountTmpfs(drives.tiny, 64 * 1024);
    MountTmpfs(drives.readOnly, std::uint64_t{1} << 30);  // not too small to be tried
    RemountReadOnly(drives.readOnly);
    return drives;
}

}  // namespace trevalon::bench::testing

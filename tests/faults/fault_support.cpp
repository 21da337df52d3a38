#include "fault_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifndef EXT4_IOC_SHUTDOWN
#define EXT4_IOC_SHUTDOWN _IOR('X', 125, std::uint32_t)
#endif

namespace fs = std::filesystem;

namespace faults {
namespace {

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

// Runs a program quietly; true when it exits with 0.
bool Run(const std::vector<std::string>& args) {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t child = Spawn(args, null, true);
    if (null >= 0) ::close(null);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Checksum(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a
    std::uint64_t size = 0;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ULL;
        }
        size += static_cast<std::uint64_t>(in.gcount());
        if (in.eof()) break;
    }
    std::ostringstream out;
    out << "file " << size << " " << std::hex << hash << (in.bad() ? " unreadable" : "");
    return out.str();
}

}  // namespace

int Spawn(std::vector<std::string> args, int out, bool errorsToo) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::dup2(out, 1);
    if (errorsToo) ::dup2(out, 2);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

// Snapshots ----------------------------------------------------------------

Snapshot TakeSnapshot(const std::string& root) {
    Snapshot snapshot;
    std::error_code code;
    for (auto it = fs::recursive_directory_iterator(root, code); !code && it != fs::end(it);
         it.increment(code)) {
        const fs::path& path = it->path();
        const std::string name = fs::relative(path, root).string();
        const auto status = fs::symlink_status(path);
        if (fs::is_symlink(status)) {
            snapshot[name] = "link " + fs::read_symlink(path).string();
        } else if (fs::is_directory(status)) {
            snapshot[name] = "directory";
        } else if (fs::is_regular_file(status)) {
            struct stat info {};
            ::lstat(path.c_str(), &info);
            snapshot[name] = Checksum(path) + " links " + std::to_string(info.st_nlink);
        } else {
            snapshot[name] = "special";
        }
    }
    if (code) snapshot["<error>"] = code.message();
    return snapshot;
}

void PutUserFiles(const std::string& root) {
    const auto put = [&](const std::string& name, const std::string& text) {
        std::ofstream(root + "/" + name, std::ios::binary) << text;
    };
    put("notes.txt", "shopping: milk, bread\r\n");
    put("drivespeedtest.txt", "not ours: another case\n");
    put("DriveSpeedTest.txt.bak", "not ours: another name\n");
    std::string photo;
    for (int i = 0; i < 3000; ++i) photo += static_cast<char>((i * 7919) % 251);
    put("photo.jpg", photo);
    fs::create_directory(root + "/docs");
    put("docs/DriveSpeedTest.txt", "not ours: not in the root\n");
}

bool HoldsScratchFiles(const std::string& root) {
    struct stat info {};
    return ::lstat((root + "/DriveSpeedTest.txt").c_str(), &info) == 0 ||
           ::lstat((root + "/DriveSpeedTest2.txt").c_str(), &info) == 0;
}

// ext4 images --------------------------------------------------------------

std::string MountExt4Image(const std::string& image, const std::string& dir,
                           std::uint64_t megabytes) {
    return MountImage("ext4", image, dir, megabytes);
}

std::string MountImage(const std::string& type, const std::string& image, const std::string& dir,
                       std::uint64_t megabytes) {
    if (CurrentIsolation() != Isolation::kPrivileged) {
        return "loop devices need root in the initial user namespace";
    }
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return Errno("creating " + image);
    const bool sized = ::ftruncate(fd, static_cast<off_t>(megabytes << 20)) == 0;
    ::close(fd);
    if (!sized) return Errno("sizing " + image);
    const std::vector<std::string> mkfs =
        type == "ext4" ? std::vector<std::string>{"mkfs.ext4", "-q", "-F", "-E", "nodiscard", image}
                       : std::vector<std::string>{"mkfs." + type, "-q", "-f", image};
    if (!Run(mkfs)) return "mkfs." + type + " failed or is missing";
    // "loop" sets auto-clear: the device goes when the file system is unmounted.
    if (!Run({"mount", "-t", type, "-o", "loop", image, dir})) return "mount -o loop failed";
    return {};
}

void RemountExt4Image(const std::string& image, const std::string& dir) {
    ASSERT_TRUE(Run({"mount", "-t", "ext4", "-o", "loop", image, dir})) << "mount -o loop " << image;
}

void ShutDownExt4(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << Errno("open " + dir);
    std::uint32_t flag = 2;  // EXT4_GOING_FLAGS_NOLOGFLUSH
    const int rc = ::ioctl(fd, EXT4_IOC_SHUTDOWN, &flag);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    ASSERT_EQ(rc, 0) << Errno("EXT4_IOC_SHUTDOWN " + dir);
}

void SyncFileSystem(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << Errno("open " + dir);
    ::syncfs(fd);
    ::close(fd);
}

}  // namespace faults

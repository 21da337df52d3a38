#include "fault_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
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

Isolation isolation = Isolation::kNone;
std::string problem = "the test program did not try to enter a mount namespace";

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

// Runs a program quietly; true when it exits with 0.
bool Run(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
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

void Mount(const std::string& source, const std::string& dir, const char* type,
           unsigned long flags, const std::string& options) {
    ASSERT_EQ(::mount(source.c_str(), dir.c_str(), type, flags,
                      options.empty() ? nullptr : options.c_str()),
              0)
        << Errno("mount " + dir + " " + options);
}

}  // namespace

Isolation CurrentIsolation() { return isolation; }
const std::string& IsolationProblem() { return problem; }

void EnterPrivateMountNamespace() {
    // As root a namespace of our own can mount anything, loop devices included.
    if (::unshare(CLONE_NEWNS) == 0) {
        if (MakeMountsPrivate()) {
            isolation = Isolation::kPrivileged;
            return;
        }
        problem = Errno("making the mounts private");
        return;
    }
    // Otherwise what `unshare -rm` does: root in a user namespace of our own,
    // which may mount tmpfs and bind mounts but no block device.
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        problem = Errno("unshare of a mount namespace");
        return;
    }
    if (!WriteText("/proc/self/setgroups", "deny") ||
        !WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1") ||
        !MakeMountsPrivate()) {
        problem = Errno("setting up the user namespace");
        return;
    }
    isolation = Isolation::kUserNamespace;
}

// RecordingView ------------------------------------------------------------

void RecordingView::Touch() {
    if (stopped_) calledAfterStop = true;
}

void RecordingView::AtYieldAfterResult(int index, std::function<void()> action) {
    pending_.push_back({index, std::move(action)});
}

void RecordingView::SetStatusText(const std::string& text) {
    Touch();
    statuses.push_back(text);
}

void RecordingView::SetResultText(int index, const std::string& text) {
    Touch();
    if (text.empty()) {
        results.erase(index);
    } else {
        results[index] = text;
    }
}

void RecordingView::SetBarWidth(int, float) { Touch(); }

std::string RecordingView::GetDriveEntry(int list) {
    Touch();
    return entries.at(static_cast<std::size_t>(list));
}

bool RecordingView::YieldToWindow() {
    Touch();
    ++yields;
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (results.count(it->index) != 0) {
            auto action = std::move(it->action);
            it = pending_.erase(it);
            action();
        } else {
            ++it;
        }
    }
    if (onYield && !onYield(*this)) {
        stopped_ = true;
        return false;
    }
    return true;
}

void RecordingView::ShowDriveMessage(const std::string& text) {
    Touch();
    messages.push_back(text);
}

void RecordingView::HandOffError(std::int32_t number, std::int32_t location,
                                 const std::string& description) {
    Touch();
    handOffs.push_back({number, location, description});
}

void RecordingView::SetTestButtonEnabled(bool enabled) {
    Touch();
    buttonEnabled = enabled;
}

trevalon::bench::NumberSeparators RecordingView::GetNumberSeparators() { return {}; }

// HookedFileLayer ----------------------------------------------------------

namespace {

class HookedFile final : public trevalon::bench::RawFile {
public:
    HookedFile(HookedFileLayer& layer, std::string path,
               std::unique_ptr<trevalon::bench::RawFile> file)
        : layer_(layer), path_(std::move(path)), file_(std::move(file)) {}
    void Write(const char* data, std::size_t size) override {
        if (layer_.hook) layer_.hook(path_, HookedFileLayer::Event::kWrite, done_);
        file_->Write(data, size);
        done_ += size;
    }
    std::size_t Read(char* data, std::size_t size) override {
        if (layer_.hook) layer_.hook(path_, HookedFileLayer::Event::kRead, done_);
        const std::size_t got = file_->Read(data, size);
        done_ += got;
        return got;
    }
    void Close() override {
        if (layer_.hook) layer_.hook(path_, HookedFileLayer::Event::kClose, done_);
        file_->Close();
    }

private:
    HookedFileLayer& layer_;
    std::string path_;
    std::unique_ptr<trevalon::bench::RawFile> file_;
    std::uint64_t done_ = 0;
};

}  // namespace

std::unique_ptr<trevalon::bench::RawFile> HookedFileLayer::OpenForWriting(const std::string& path) {
    return std::make_unique<HookedFile>(*this, path,
                                        trevalon::bench::HostFileLayer().OpenForWriting(path));
}

std::unique_ptr<trevalon::bench::RawFile> HookedFileLayer::OpenForReading(const std::string& path) {
    return std::make_unique<HookedFile>(*this, path,
                                        trevalon::bench::HostFileLayer().OpenForReading(path));
}

bool HookedFileLayer::IsNormalFile(const std::string& path) {
    return trevalon::bench::HostFileLayer().IsNormalFile(path);
}

void HookedFileLayer::CopyFile(const std::string& from, const std::string& to) {
    if (hook) hook(to, Event::kCopy, 0);
    trevalon::bench::HostFileLayer().CopyFile(from, to);
}

void HookedFileLayer::DeleteFile(const std::string& path) {
    trevalon::bench::HostFileLayer().DeleteFile(path);
}

std::optional<std::uint64_t> HookedFileLayer::VolumeOf(const std::string& directory) {
    return trevalon::bench::HostFileLayer().VolumeOf(directory);
}

std::optional<trevalon::bench::DriveSpace> HookedFileLayer::SpaceOf(const std::string& directory) {
    return trevalon::bench::HostFileLayer().SpaceOf(directory);
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

// Workspace ----------------------------------------------------------------

Workspace::Workspace() {
    char name[] = "/tmp/trevalon-faults-XXXXXX";
    if (::mkdtemp(name) == nullptr) {
        ADD_FAILURE() << Errno("mkdtemp");
        return;
    }
    path_ = name;
    // Inside the namespace the whole workspace is a tmpfs that nobody else sees.
    if (isolation != Isolation::kNone) {
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=512m,mode=0755") == 0;
        if (!mounted_) ADD_FAILURE() << Errno("mount workspace");
    }
}

Workspace::~Workspace() {
    if (path_.empty()) return;
    if (mounted_) {
        // Whatever a test left mounted below goes with the workspace.
        ::umount2(path_.c_str(), MNT_DETACH);
    }
    std::error_code code;
    fs::remove_all(path_, code);
}

std::string Workspace::Directory(const std::string& name) {
    const std::string dir = path_ + "/" + name;
    fs::create_directories(dir);
    return dir;
}

// Mounts -------------------------------------------------------------------

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

std::string MountExt4Image(const std::string& image, const std::string& dir,
                           std::uint64_t megabytes) {
    if (isolation != Isolation::kPrivileged) {
        return "loop devices need root in the initial user namespace (" + problem + ")";
    }
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return Errno("creating " + image);
    const bool sized = ::ftruncate(fd, static_cast<off_t>(megabytes << 20)) == 0;
    ::close(fd);
    if (!sized) return Errno("sizing " + image);
    if (!Run({"mkfs.ext4", "-q", "-F", "-E", "nodiscard", image})) return "mkfs.ext4 failed or is missing";
    // "loop" sets auto-clear: the device goes when the file system is unmounted.
    if (!Run({"mount", "-t", "ext4", "-o", "loop", image, dir})) return "mount -o loop failed";
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

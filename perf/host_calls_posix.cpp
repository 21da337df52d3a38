#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "perf/host_calls.h"

namespace trevalon::perf::host {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

int Fd(File file) { return static_cast<int>(file); }

}  // namespace

File Create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("open " + path);
    return fd;
}

File Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("open " + path);
    return fd;
}

void Write(File file, const char* data, std::size_t size, const std::string& path) {
    while (size != 0) {
        const ssize_t done = ::write(Fd(file), data, size);
        if (done <= 0) Fail("write " + path);
        data += done;
        size -= static_cast<std::size_t>(done);
    }
}

std::size_t Read(File file, char* data, std::size_t size, const std::string& path) {
    const ssize_t got = ::read(Fd(file), data, size);
    if (got < 0) Fail("read " + path);
    return static_cast<std::size_t>(got);
}

std::uint64_t Size(File file, const std::string& path) {
    struct stat info {};
    if (::fstat(Fd(file), &info) != 0) Fail("fstat " + path);
    return static_cast<std::uint64_t>(info.st_size);
}

void SyncData(File file, const std::string& path) {
    if (::fdatasync(Fd(file)) != 0) Fail("fdatasync " + path);
}

void Close(File file, const std::string& path) {
    if (::close(Fd(file)) != 0) Fail("close " + path);
}

void CloseQuietly(File file) { ::close(Fd(file)); }

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0) Fail("unlink " + path);
}

void RemoveQuietly(const std::string& path) { ::unlink(path.c_str()); }

void SettleWrites() { ::sync(); }

double PeakMiB() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

int OpenHandles() {
    int count = 0;
    std::error_code code;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", code);
         !code && it != std::filesystem::end(it); it.increment(code)) {
        ++count;
    }
    return count - 1;  // the one the listing itself holds
}

}  // namespace trevalon::perf::host

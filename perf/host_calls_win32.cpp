#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <system_error>

#include "bench/host/win32/win32.h"
#include "perf/host_calls.h"

namespace trevalon::perf::host {
namespace {

using bench::win32::Wide;

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

HANDLE H(File file) { return reinterpret_cast<HANDLE>(file); }

File OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("open " + path);
    return reinterpret_cast<File>(file);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

File Create(const std::string& path) { return OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS); }

File Open(const std::string& path) { return OpenFile(path, GENERIC_READ, OPEN_EXISTING); }

void Write(File file, const char* data, std::size_t size, const std::string& path) {
    while (size != 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD done = 0;
        if (!::WriteFile(H(file), data, piece, &done, nullptr) || done == 0) Fail("write " + path);
        data += done;
        size -= done;
    }
}

std::size_t Read(File file, char* data, std::size_t size, const std::string& path) {
    DWORD got = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(H(file), data, piece, &got, nullptr)) Fail("read " + path);
    return got;
}

std::uint64_t Size(File file, const std::string& path) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(H(file), &size)) Fail("size " + path);
    return static_cast<std::uint64_t>(size.QuadPart);
}

void SyncData(File file, const std::string& path) {
    if (!::FlushFileBuffers(H(file))) Fail("flush " + path);
}

void Close(File file, const std::string& path) {
    if (!::CloseHandle(H(file))) Fail("close " + path);
}

void CloseQuietly(File file) { ::CloseHandle(H(file)); }

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Remove(const std::string& path) {
    if (!::DeleteFileW(Wide(path).c_str())) Fail("delete " + path);
}

void RemoveQuietly(const std::string& path) { ::DeleteFileW(Wide(path).c_str()); }

// Flushing a whole volume needs an administrator; each uncached write has
// already flushed its own file.
void SettleWrites() {}

double PeakMiB() { return static_cast<double>(Memory().PeakWorkingSetSize) / (1 << 20); }

double ResidentMiB() { return static_cast<double>(Memory().WorkingSetSize) / (1 << 20); }

int OpenHandles() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

}  // namespace trevalon::perf::host

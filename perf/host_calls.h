// The few host calls the raw baselines and the soak counters make, one file
// per platform, so that the baselines stay as thin as the host allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace trevalon::perf::host {

// A file descriptor or a Win32 handle.
using File = std::intptr_t;

// Each call raises std::system_error naming `path` when the host refuses.
File Create(const std::string& path);  // for writing, emptied
File Open(const std::string& path);    // for reading
void Write(File file, const char* data, std::size_t size, const std::string& path);
std::size_t Read(File file, char* data, std::size_t size, const std::string& path);  // 0 at the end
std::uint64_t Size(File file, const std::string& path);
void SyncData(File file, const std::string& path);
void Close(File file, const std::string& path);
void CloseQuietly(File file);
bool Exists(const std::string& path);  // a link counts, not what it points to
void Remove(const std::string& path);
void RemoveQuietly(const std::string& path);
// Waits until the host has written out what earlier steps left in memory.
void SettleWrites();

// This process's counters for the soak.
double PeakMiB();
double ResidentMiB();
int OpenHandles();

}  // namespace trevalon::perf::host

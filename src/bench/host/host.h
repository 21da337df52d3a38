// The host system as the drive tests and the console programs see it: files,
// the clock, the drives a list offers, stop requests from outside, the
// console and the user's number separators. One implementation per platform
// (host/posix, host/win32), chosen by the build; nothing outside host/ asks
// which platform it runs on.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "bench/host/errno_names.h"
#include "bench/stop_request.h"

namespace trevalon::bench {

class Clock;
class FileLayer;
struct MountInfo;
struct NumberSeparators;

// Files (bench/file_layer.h): the host's own calls.
FileLayer& HostFileLayer();

// The clock the window's runs use (bench/clock.h).
Clock& HostClock();

// Errors. Host calls report std::error_code: the system category holds the
// platform's own codes (errno values, Win32 error codes), the generic one
// errno values everywhere. The run-time number of a system-category code and
// its text as the platform words it:
std::int32_t RunTimeNumberForSystemError(int code);
std::string SystemErrorText(int code);

// The file system holding a directory (bench/mount_info.h).
MountInfo MountOf(const std::string& directory);

// The drive list's entries for the host's drives, in the host's order:
// "c: [label]" (or "c:" without one) where drives have letters, a directory
// entry (DirectoryEntry) elsewhere. A drive without a disc is listed too.
std::vector<std::string> HostDriveEntries();

// Stop requests from outside the program: SIGTERM, SIGHUP and SIGINT on
// POSIX; Ctrl+C, Ctrl+Break and the console's closing on Windows. They only
// set the process's stop flag (and wake a descriptor where there is one);
// the program cleans up and ends outside the handler.
StopFlag& ProcessStopFlag();
// Installs the handlers once. Returns a descriptor that becomes readable
// when a stop arrives, or -1 where the platform has none.
int InstallStopSignals();
// The signal number of the first stop that arrived (SIGINT for Ctrl+C), 0 if none did.
int StopSignalNumber();
// Back to no stop having arrived, for a process that goes on after one.
void ForgetStopSignals();
// Empties the descriptor after it became readable.
void DrainStopSignals();
// 128 + the signal, as a shell reports a program the signal ended; 0 if none arrived.
int StopSignalExitStatus();

// The console. Whether `out` is a terminal that takes "\r\033[K" redraws.
bool IsTerminal(std::FILE* out);
// Sets the console's output up for UTF-8 text where it needs setting up.
void UseUtf8Console();
// The user's decimal and thousands separators, in UTF-8; call after
// setlocale(LC_ALL, "") where the C library's locale is the user's.
NumberSeparators UserNumberSeparators();

}  // namespace trevalon::bench

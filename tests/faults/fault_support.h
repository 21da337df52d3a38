// What only the real-fault tests need beyond the drive kit: directory
// snapshots, a user's files, and ext4 images that can be shut down.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "tests/support/drive_kit.h"

namespace faults {

using namespace trevalon::bench::testing;
using trevalon::bench::StepClock;

// Every file and directory below a root with its content's checksum.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::string& root);
// A few files a user keeps there, with names close to the scratch files.
void PutUserFiles(const std::string& root);
bool HoldsScratchFiles(const std::string& root);

// An ext4 image on a loop device; empty when the host cannot do it.
std::string MountExt4Image(const std::string& image, const std::string& dir,
                           std::uint64_t megabytes);
// Any file system mkfs.TYPE makes, the same way; empty or why not.
std::string MountImage(const std::string& type, const std::string& image, const std::string& dir,
                       std::uint64_t megabytes);
void RemountExt4Image(const std::string& image, const std::string& dir);
// EXT4_IOC_SHUTDOWN without flushing the log: every later open, flush and
// read on it fails with EIO.
void ShutDownExt4(const std::string& dir);
void SyncFileSystem(const std::string& dir);

// The entry a drive list shows for a directory.
// Starts a program (looked up on PATH) with its standard output, and its
// errors when errorsToo, on `out`; the pid, or -1.
int Spawn(std::vector<std::string> args, int out, bool errorsToo);

inline std::string EntryFor(const std::string& dir) { return dir + " [test]"; }

}  // namespace faults

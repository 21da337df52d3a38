// What the real-fault tests share: a recording view, a clock that advances
// by a fixed step, directory snapshots, and the mounts of a private mount
// namespace that the test program enters before any test runs.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "bench/file_layer.h"
#include "bench/view_operations.h"

namespace faults {

// What the program could set up for itself in main().
enum class Isolation { kNone, kUserNamespace, kPrivileged };
Isolation CurrentIsolation();
const std::string& IsolationProblem();
// Enters a private mount namespace; call first thing in main().
void EnterPrivateMountNamespace();

// The view a window would be, recording everything the run shows.
class RecordingView final : public trevalon::bench::ViewOperations {
public:
    struct HandOff {
        std::int32_t number;
        std::int32_t location;
        std::string description;
    };

    std::vector<std::string> entries = std::vector<std::string>(4);
    // The file system each list was filled for; unknown unless set.
    std::vector<std::optional<std::uint64_t>> volumes =
        std::vector<std::optional<std::uint64_t>>(4);
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::vector<HandOff> handOffs;
    std::map<int, std::string> results;
    int yields = 0;
    bool buttonEnabled = true;
    // Called at each yield; returning false closes the program there.
    std::function<bool(RecordingView&)> onYield;
    // Whether any view call came after a yield answered false.
    bool calledAfterStop = false;

    // Runs action at the first yield after result `index` got a figure.
    void AtYieldAfterResult(int index, std::function<void()> action);

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    std::optional<std::uint64_t> GetDriveVolume(int list) override {
        return volumes.at(static_cast<std::size_t>(list));
    }
    bool YieldToWindow() override;
    void ShowDriveMessage(const std::string& text) override;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override;
    void SetTestButtonEnabled(bool enabled) override;
    trevalon::bench::NumberSeparators GetNumberSeparators() override;

    std::string LastStatus() const { return statuses.empty() ? "" : statuses.back(); }

private:
    void Touch();
    struct Pending {
        int index;
        std::function<void()> action;
    };
    std::vector<Pending> pending_;
    bool stopped_ = false;
};

// Every reading is `step` seconds after the one before: a time-boxed write
// then writes 3 / step lines, whatever the machine's speed.
class StepClock final : public trevalon::bench::Clock {
public:
    explicit StepClock(double step) : step_(step) {}
    double Now() override { return now_ += step_; }
    double Tick() override { return step_; }

private:
    double step_;
    double now_ = 0;
};

// The host's files, with a hook before every write, read and copy that may
// bring a real fault about at exactly that moment.
class HookedFileLayer final : public trevalon::bench::FileLayer {
public:
    enum class Event { kWrite, kRead, kCopy, kClose };
    // Path, event and the bytes that file has written or read so far.
    std::function<void(const std::string&, Event, std::uint64_t)> hook;

    std::unique_ptr<trevalon::bench::RawFile> OpenForWriting(const std::string& path) override;
    std::unique_ptr<trevalon::bench::RawFile> OpenForReading(const std::string& path) override;
    bool IsNormalFile(const std::string& path) override;
    void CopyFile(const std::string& from, const std::string& to) override;
    void DeleteFile(const std::string& path) override;
    std::optional<std::uint64_t> VolumeOf(const std::string& directory) override;
    std::optional<trevalon::bench::DriveSpace> SpaceOf(const std::string& directory) override;
};

// Every file and directory below a root with its content's checksum.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::string& root);
// A few files a user keeps there, with names close to the scratch files.
void PutUserFiles(const std::string& root);
bool HoldsScratchFiles(const std::string& root);

// A directory of its own for one test, on a private tmpfs; gone at the end.
class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    // A new empty directory in the workspace.
    std::string Directory(const std::string& name);
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool mounted_ = false;
};

// Mount operations inside the private namespace; each fails the test when
// the kernel refuses.
void MountTmpfs(const std::string& dir, std::uint64_t bytes, const std::string& more = "");
void ResizeTmpfs(const std::string& dir, std::uint64_t bytes);
// Remounts at what the file system now holds plus headroom.
void ShrinkTmpfsToUsed(const std::string& dir, std::uint64_t headroom);
void RemountReadOnly(const std::string& dir);
void RemountWritable(const std::string& dir);
void BindReadOnly(const std::string& from, const std::string& dir);
void Unmount(const std::string& dir);
// An ext4 image on a loop device; empty when the host cannot do it.
std::string MountExt4Image(const std::string& image, const std::string& dir,
                           std::uint64_t megabytes);
void RemountExt4Image(const std::string& image, const std::string& dir);
// EXT4_IOC_SHUTDOWN without flushing the log: every later open, flush and
// read on it fails with EIO.
void ShutDownExt4(const std::string& dir);
void SyncFileSystem(const std::string& dir);

// The entry a drive list shows for a directory.
inline std::string EntryFor(const std::string& dir) { return dir + " [test]"; }

}  // namespace faults

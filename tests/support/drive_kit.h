// Stand-ins for the window, the clock and the file layer, plus real
// directories and private mounts for real faults: one kit for the drive tests'
// unit tests and the real-fault tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "bench/file_layer.h"
#include "bench/view_operations.h"

namespace trevalon::bench::testing {

inline constexpr std::uint64_t kMiB = 1024 * 1024;
inline constexpr std::uint64_t kGiB = 1024 * kMiB;

// Records every view call, in order, as one line of text.
class RecordingView final : public ViewOperations {
public:
    // What `results` keeps: every caption set, or only the figures on show
    // (an emptied caption leaves it), as a user would read the panel.
    enum class Keep { kEveryCaption, kShownFigures };

    explicit RecordingView(std::vector<std::string> entries = std::vector<std::string>(4),
                           Keep keep = Keep::kEveryCaption)
        : entries(std::move(entries)), keep_(keep) {}
    explicit RecordingView(Keep keep) : RecordingView(std::vector<std::string>(4), keep) {}

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    std::optional<std::uint64_t> GetDriveVolume(int list) override {
        const auto found = volumes.find(list);
        if (found == volumes.end()) return std::nullopt;
        return found->second;
    }
    bool YieldToWindow() override;
    void ShowDriveMessage(const std::string& text) override;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override;
    void SetTestButtonEnabled(bool enabled) override;
    NumberSeparators GetNumberSeparators() override { return separators; }
    void RecordResult(const ResultRecord& record) override { records.push_back(record); }
    void RecordDrive(int list, const std::string& root) override { drives[list] = root; }

    // Runs action at the first yield after result `index` shows a figure.
    void AtYieldAfterResult(int index, std::function<void()> action);
    std::string LastStatus() const { return statuses.empty() ? "" : statuses.back(); }
    bool ButtonEnabled() const { return buttonStates.empty() || buttonStates.back(); }

    std::vector<std::string> entries;
    // The file system each list was filled for; unknown where missing.
    std::map<int, std::optional<std::uint64_t>> volumes;
    NumberSeparators separators;
    // Yield number (counting from 1) at which the program starts closing.
    std::optional<int> closeAtYield;
    // Runs inside each yield, before it returns.
    std::function<void(int yield)> onYield;

    std::vector<std::string> calls;  // every call, in order
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::map<int, std::string> results;
    std::map<int, float> bars;
    std::map<int, std::vector<float>> barHistory;
    struct HandOff {
        std::int32_t number;
        std::int32_t location;
        std::string description;
    };
    std::vector<HandOff> handOffs;
    std::vector<bool> buttonStates;
    std::vector<ResultRecord> records;
    std::map<int, std::string> drives;
    int yields = 0;
    // Calls made after the yield that said the program is closing.
    int callsAfterClosing = 0;

private:
    void Record(const std::string& call);
    struct Pending {
        int index;
        std::function<void()> action;
    };
    std::vector<Pending> pending_;
    Keep keep_;
    bool closing_ = false;
};

// Readings from a script, then a fixed step on from the last one.
class ScriptedClock final : public StepClock {
public:
    explicit ScriptedClock(std::vector<double> script, double step = 0.0, double tick = 1e-9)
        : StepClock(step, tick), script_(std::move(script)) {}
    double Now() override;
    int readings() const { return readings_; }

private:
    std::vector<double> script_;
    int readings_ = 0;
};

// What a file layer call is doing, for bringing a fault about at it.
enum class FileCall { kOpenWrite, kOpenRead, kWrite, kRead, kClose, kCopy, kDelete };

// The host's files, with a hook before every call (after a close, so that it
// may raise what only the close would report) that may bring a fault about
// at exactly that moment.
class HookedFileLayer : public FileLayer {
public:
    // Path (a copy's target), call and the bytes that file has written or
    // read so far.
    std::function<void(const std::string& path, FileCall call, std::uint64_t done)> hook;
    // What VolumeOf and SpaceOf answer instead of the host, when set.
    std::optional<std::uint64_t> volume;
    std::optional<DriveSpace> space;

    std::unique_ptr<RawFile> OpenForWriting(const std::string& path) override;
    std::unique_ptr<RawFile> OpenForReading(const std::string& path) override;
    bool IsNormalFile(const std::string& path) override { return HostFileLayer().IsNormalFile(path); }
    void CopyFile(const std::string& from, const std::string& to) override;
    void DeleteFile(const std::string& path) override;
    std::optional<std::uint64_t> VolumeOf(const std::string& directory) override {
        if (volume) return volume;
        return HostFileLayer().VolumeOf(directory);
    }
    std::optional<DriveSpace> SpaceOf(const std::string& directory) override {
        if (space) return space;
        return HostFileLayer().SpaceOf(directory);
    }
    void Call(const std::string& path, FileCall call, std::uint64_t done) {
        if (hook) hook(path, call, done);
    }
};

// The host's layer, with one host error (errno value) injected at the nth
// call of one kind.
class FailingFileLayer final : public HookedFileLayer {
public:
    FailingFileLayer(FileCall call, int errorCode, int nth = 1);
    // Fails only calls on paths containing this text, when set.
    std::string onlyPathsWith;
    bool fired() const { return fired_; }

private:
    int seen_ = 0;
    bool fired_ = false;
};

// The host's files and a clock of fixed steps, writing every call that
// matters for when a step's interval starts and ends into one log, by the
// file's name only. Repeats of one call in a row are logged once.
class RecordingFileLayer final : public FileLayer {
public:
    explicit RecordingFileLayer(std::vector<std::string>& log) : log_(log) {}
    std::unique_ptr<RawFile> OpenForWriting(const std::string& path) override;
    std::unique_ptr<RawFile> OpenForWritingToDrive(const std::string& path) override;
    std::unique_ptr<RawFile> OpenForReading(const std::string& path) override;
    bool IsNormalFile(const std::string& path) override { return HostFileLayer().IsNormalFile(path); }
    void CopyFile(const std::string& from, const std::string& to) override;
    void DeleteFile(const std::string& path) override;
    void DropCachedPages(const std::string& path) override;
    void SyncFile(const std::string& path) override;
    void SyncDirectory(const std::string& directory) override;
    void Log(const std::string& entry);

private:
    std::vector<std::string>& log_;
};

class RecordingClock final : public StepClock {
public:
    RecordingClock(RecordingFileLayer& files, double step) : StepClock(step, 1e-9), files_(files) {}
    double Now() override {
        files_.Log("clock");
        return StepClock::Now();
    }

private:
    RecordingFileLayer& files_;
};

// A fresh directory under /tmp, removed with everything in it.
class TempDir {
public:
    // kOwnTmpfs: inside a private mount namespace, a tmpfs nobody else sees.
    enum class Where { kTmp, kOwnTmpfs };
    explicit TempDir(Where where = Where::kTmp);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string Sub(const std::string& name) const;  // made on demand
    // Names of the entries of the directory (or of a subdirectory).
    std::vector<std::string> Entries(const std::string& sub = "") const;

private:
    std::string path_;
    bool mounted_ = false;
};

void WriteFile(const std::string& path, const std::string& content);
// What a run writes: `lines` lines of `text` X's, each ended by CR LF.
inline std::string XLines(std::size_t lines, std::size_t text) {
    std::string line(text, 'X');
    line += "\r\n";
    std::string all;
    all.reserve(lines * line.size());
    for (std::size_t i = 0; i < lines; ++i) all += line;
    return all;
}
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// How far this test process could make its mounts its own.
enum class Isolation { kNone, kUserNamespace, kPrivileged };
// Moves this test process into a private mount namespace, the first time it
// is called (before any thread starts): as root one that may mount anything,
// otherwise root in a user namespace of its own, which may mount tmpfs and
// bind mounts but no block device. False, with the reason, where the host
// does not allow it.
bool EnterPrivateMounts(std::string& why);
Isolation CurrentIsolation();

// Mounts inside the private namespace; each fails the test when the kernel
// refuses.
void MountTmpfs(const std::string& dir, std::uint64_t bytes, const std::string& more = "");
void ResizeTmpfs(const std::string& dir, std::uint64_t bytes);
// Remounts at what the file system now holds plus headroom.
void ShrinkTmpfsToUsed(const std::string& dir, std::uint64_t headroom);
void RemountReadOnly(const std::string& dir);
void RemountWritable(const std::string& dir);
void BindReadOnly(const std::string& from, const std::string& dir);
void Unmount(const std::string& dir);
// A full 64 KiB tmpfs and a read-only one, "tiny" and "ro" in the folder.
struct FaultyDrives {
    std::string tiny, readOnly;
};
FaultyDrives MountTinyAndReadOnly(const TempDir& dir);

// Plants a symbolic link; skips the test where the host makes none (Windows
// without the right to make links).
#define TREVALON_PLANT_SYMLINK(target, link)                                              \
    do {                                                                                  \
        std::error_code symlinkError_;                                                    \
        std::filesystem::create_symlink((target), (link), symlinkError_);                 \
        if (symlinkError_) GTEST_SKIP() << "no symbolic link: " << symlinkError_.message(); \
    } while (false)

// Skips the test unless a private mount namespace is available.
#define TREVALON_REQUIRE_PRIVATE_MOUNTS()                                                  \
    do {                                                                                  \
        std::string why_;                                                                 \
        if (!::trevalon::bench::testing::EnterPrivateMounts(why_)) {                       \
            GTEST_SKIP() << "needs a private mount namespace (root, unshare): " << why_;  \
        }                                                                                 \
    } while (false)

// The drive messages as the user reads them, written out once here so that a
// changed word in the code shows up as a failing test.
inline std::string UnableToAccess(const std::string& root) {
    return "I am unable to access " + root +
           ", please ensure that the drive has a writable disk inserted.";
}
inline std::string DriveFull(const std::string& root) {
    return "I am unable to access " + root +
           ", the drive is reporting that it is full.  Please ensure the drive has at least 10 "
           "MB of space.";
}
inline std::string InTheWay(const std::string& path) {
    return "I will not replace " + path +
           ": it is not a scratch file left by this program.  Please move or rename it, then test "
           "the drive again.";
}
inline const std::string kReadOnlyMessage =
    "The drive you are trying to test is read only, this program needs to be able to write a "
    "file to the drive in order to test it's speed.";

}  // namespace trevalon::bench::testing

#include "tests/support/drive_kit.h"

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "bench/run_error.h"

namespace trevalon::bench::testing {

void RecordingView::Record(const std::string& call) {
    if (closing_) ++callsAfterClosing;
    calls.push_back(call);
}

void RecordingView::SetStatusText(const std::string& text) {
    Record("status " + text);
    statuses.push_back(text);
}

void RecordingView::SetResultText(int index, const std::string& text) {
    Record("result " + std::to_string(index) + " " + text);
    results[index] = text;
}

void RecordingView::SetBarWidth(int index, float twips) {
    Record("bar " + std::to_string(index) + " " + std::to_string(twips));
    bars[index] = twips;
    barHistory[index].push_back(twips);
}

std::string RecordingView::GetDriveEntry(int list) {
    Record("entry " + std::to_string(list));
    return list < static_cast<int>(entries.size()) ? entries[static_cast<std::size_t>(list)] : "";
}

bool RecordingView::YieldToWindow() {
    Record("yield");
    ++yields;
    if (onYield) onYield(yields);
    if (closeAtYield && yields >= *closeAtYield) {
        closing_ = true;
        return false;
    }
    return true;
}

void RecordingView::ShowDriveMessage(const std::string& text) {
    Record("message " + text);
    messages.push_back(text);
}

void RecordingView::HandOffError(std::int32_t number, std::int32_t location,
                                 const std::string& description) {
    Record("handoff " + std::to_string(number));
    handOffs.push_back({number, location, description});
}

void RecordingView::SetTestButtonEnabled(bool enabled) {
    Record(enabled ? "button on" : "button off");
    buttonStates.push_back(enabled);
}

double ScriptedClock::Now() {
    const auto index = static_cast<std::size_t>(readings_++);
    last_ = index < script_.size() ? script_[index] : last_ + step_;
    return last_;
}

namespace {

class FailingFile final : public RawFile {
public:
    FailingFile(std::unique_ptr<RawFile> file, FailingFileLayer& layer, std::string path)
        : file_(std::move(file)), layer_(layer), path_(std::move(path)) {}
    void Write(const char* data, std::size_t size) override {
        layer_.Check(FileCall::kWrite, path_);
        file_->Write(data, size);
    }
    std::size_t Read(char* data, std::size_t size) override {
        layer_.Check(FileCall::kRead, path_);
        return file_->Read(data, size);
    }
    void Close() override {
        std::unique_ptr<RawFile> file = std::move(file_);
        file->Close();
        layer_.Check(FileCall::kClose, path_);  // an error only the close reports
    }

private:
    std::unique_ptr<RawFile> file_;
    FailingFileLayer& layer_;
    std::string path_;
};

}  // namespace

void FailingFileLayer::Check(FileCall call, const std::string& path) {
    if (call != call_ || fired_) return;
    if (!onlyPathsWith.empty() && path.find(onlyPathsWith) == std::string::npos) return;
    if (++seen_ < nth_) return;
    fired_ = true;
    throw HostFileError(errorCode_);
}

std::unique_ptr<RawFile> FailingFileLayer::OpenForWriting(const std::string& path) {
    Check(FileCall::kOpenWrite, path);
    return std::make_unique<FailingFile>(HostFileLayer().OpenForWriting(path), *this, path);
}

std::unique_ptr<RawFile> FailingFileLayer::OpenForReading(const std::string& path) {
    Check(FileCall::kOpenRead, path);
    return std::make_unique<FailingFile>(HostFileLayer().OpenForReading(path), *this, path);
}

bool FailingFileLayer::IsNormalFile(const std::string& path) {
    return HostFileLayer().IsNormalFile(path);
}

void FailingFileLayer::CopyFile(const std::string& from, const std::string& to) {
    Check(FileCall::kCopy, to);
    HostFileLayer().CopyFile(from, to);
}

void FailingFileLayer::DeleteFile(const std::string& path) {
    Check(FileCall::kDelete, path);
    HostFileLayer().DeleteFile(path);
}

TempDir::TempDir() {
    char pattern[] = "/tmp/trevalon-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // A tmpfs mounted inside goes with the process's private namespace; make
    // sure it does not hold the removal up.
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
        ::umount2(entry.path().c_str(), MNT_DETACH);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Sub(const std::string& name) const {
    const std::string sub = path_ + "/" + name;
    std::filesystem::create_directories(sub);
    return sub;
}

std::vector<std::string> TempDir::Entries(const std::string& sub) const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(sub.empty() ? path_ : path_ + "/" + sub, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::symlink_status(path, ignored).type() !=
           std::filesystem::file_type::not_found;
}

bool EnterPrivateMounts(std::string& why) {
    static int state = 0;  // 0 not tried, 1 entered, 2 refused
    static std::string reason;
    if (state == 0) {
        if (::unshare(CLONE_NEWNS) != 0) {
            reason = std::string("unshare: ") + std::strerror(errno);
            state = 2;
        } else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            reason = std::string("private mounts: ") + std::strerror(errno);
            state = 2;
        } else {
            state = 1;
        }
    }
    why = reason;
    return state == 1;
}

void MountTmpfs(const std::string& dir, const std::string& options) {
    const bool readOnly = options == "ro";
    if (::mount("tmpfs", dir.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0,
                readOnly ? nullptr : options.c_str()) != 0) {
        throw std::runtime_error("mount tmpfs " + options + " on " + dir + ": " +
                                 std::strerror(errno));
    }
}

namespace {

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class RecordingFile final : public RawFile {
public:
    RecordingFile(std::unique_ptr<RawFile> file, RecordingFileLayer& layer, std::string name)
        : file_(std::move(file)), layer_(layer), name_(std::move(name)) {}
    void Write(const char* data, std::size_t size) override {
        layer_.Log("write " + name_);
        file_->Write(data, size);
    }
    std::size_t Read(char* data, std::size_t size) override {
        layer_.Log("read " + name_);
        return file_->Read(data, size);
    }
    void Close() override {
        layer_.Log("close " + name_);
        file_->Close();
    }
    void SyncData() override {
        layer_.Log("sync " + name_);
        file_->SyncData();
    }
    void WriteBehind() override {
        layer_.Log("write-behind " + name_);
        file_->WriteBehind();
    }

private:
    std::unique_ptr<RawFile> file_;
    RecordingFileLayer& layer_;
    std::string name_;
};

}  // namespace

void RecordingFileLayer::Log(const std::string& entry) {
    if (log_.empty() || log_.back() != entry) log_.push_back(entry);
}

std::unique_ptr<RawFile> RecordingFileLayer::OpenForWriting(const std::string& path) {
    Log("open-write " + NameOf(path));
    return std::make_unique<RecordingFile>(HostFileLayer().OpenForWriting(path), *this, NameOf(path));
}

std::unique_ptr<RawFile> RecordingFileLayer::OpenForReading(const std::string& path) {
    Log("open-read " + NameOf(path));
    return std::make_unique<RecordingFile>(HostFileLayer().OpenForReading(path), *this, NameOf(path));
}

void RecordingFileLayer::CopyFile(const std::string& from, const std::string& to) {
    Log("copy " + NameOf(from) + " " + NameOf(to));
    HostFileLayer().CopyFile(from, to);
}

void RecordingFileLayer::DeleteFile(const std::string& path) {
    Log("delete " + NameOf(path));
    HostFileLayer().DeleteFile(path);
}

void RecordingFileLayer::DropCachedPages(const std::string& path) {
    Log("drop " + NameOf(path));
    HostFileLayer().DropCachedPages(path);
}

void RecordingFileLayer::SyncFile(const std::string& path) {
    Log("sync-file " + NameOf(path));
    HostFileLayer().SyncFile(path);
}

void RecordingFileLayer::SyncDirectory(const std::string& directory) {
    Log("sync-dir");
    HostFileLayer().SyncDirectory(directory);
}

}  // namespace trevalon::bench::testing

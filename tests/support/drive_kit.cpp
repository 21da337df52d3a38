#include "tests/support/drive_kit.h"

#include <gtest/gtest.h>

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
    if (keep_ == Keep::kShownFigures && text.empty()) {
        results.erase(index);
    } else {
        results[index] = text;
    }
}

void RecordingView::AtYieldAfterResult(int index, std::function<void()> action) {
    pending_.push_back({index, std::move(action)});
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
    for (auto it = pending_.begin(); it != pending_.end();) {
        const auto shown = results.find(it->index);
        if (shown == results.end() || shown->second.empty()) {
            ++it;
            continue;
        }
        auto action = std::move(it->action);
        it = pending_.erase(it);
        action();
    }
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
    if (index >= script_.size()) return StepClock::Now();
    return now_ = script_[index];
}

namespace {

class HookedFile final : public RawFile {
public:
    HookedFile(std::unique_ptr<RawFile> file, HookedFileLayer& layer, std::string path)
        : file_(std::move(file)), layer_(layer), path_(std::move(path)) {}
    void Write(const char* data, std::size_t size) override {
        layer_.Call(path_, FileCall::kWrite, done_);
        file_->Write(data, size);
        done_ += size;
    }
    std::size_t Read(char* data, std::size_t size) override {
        layer_.Call(path_, FileCall::kRead, done_);
        const std::size_t got = file_->Read(data, size);
        done_ += got;
        return got;
    }
    void Close() override {
        file_->Close();
        layer_.Call(path_, FileCall::kClose, done_);
    }

private:
    std::unique_ptr<RawFile> file_;
    HookedFileLayer& layer_;
    std::string path_;
    std::uint64_t done_ = 0;
};

}  // namespace

std::unique_ptr<RawFile> HookedFileLayer::OpenForWriting(const std::string& path) {
    Call(path, FileCall::kOpenWrite, 0);
    return std::make_unique<HookedFile>(HostFileLayer().OpenForWriting(path), *this, path);
}

std::unique_ptr<RawFile> HookedFileLayer::OpenForReading(const std::string& path) {
    Call(path, FileCall::kOpenRead, 0);
    return std::make_unique<HookedFile>(HostFileLayer().OpenForReading(path), *this, path);
}

void HookedFileLayer::CopyFile(const std::string& from, const std::string& to) {
    Call(to, FileCall::kCopy, 0);
    HostFileLayer().CopyFile(from, to);
}

void HookedFileLayer::DeleteFile(const std::string& path) {
    Call(path, FileCall::kDelete, 0);
    HostFileLayer().DeleteFile(path);
}

FailingFileLayer::FailingFileLayer(FileCall failing, int errorCode, int nth) {
    hook = [this, failing, errorCode, nth](const std::string& path, FileCall call, std::uint64_t) {
        if (call != failing || fired_) return;
        if (!onlyPathsWith.empty() && path.find(onlyPathsWith) == std::string::npos) return;
        if (++seen_ < nth) return;
        fired_ = true;
        throw HostFileError(errorCode);
    };
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

std::unique_ptr<RawFile> RecordingFileLayer::OpenForWritingToDrive(const std::string& path) {
    Log("open-write-through " + NameOf(path));
    return std::make_unique<RecordingFile>(HostFileLayer().OpenForWritingToDrive(path), *this, NameOf(path));
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

// The host's files through the standard library alone: the host's layer
// where POSIX calls are missing, built everywhere so it keeps compiling.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "bench/file_layer.h"
#include "bench/run_error.h"

namespace trevalon::bench {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void RaiseCode(const std::error_code& code) { throw HostFileError(code); }

class StdioFile final : public RawFile {
public:
    StdioFile(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {
        if (file_ == nullptr) throw HostFileError(errno != 0 ? errno : ENOENT);
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~StdioFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    void Write(const char* data, std::size_t size) override {
        if (std::fwrite(data, 1, size, file_) != size) throw HostFileError(errno != 0 ? errno : EIO);
    }
    std::size_t Read(char* data, std::size_t size) override {
        const std::size_t got = std::fread(data, 1, size, file_);
        if (got == 0 && std::ferror(file_)) throw HostFileError(errno != 0 ? errno : EIO);
        return got;
    }
    void Close() override {
        std::FILE* file = file_;
        file_ = nullptr;
        if (std::fclose(file) != 0) throw HostFileError(errno != 0 ? errno : EIO);
    }

private:
    std::FILE* file_;
};

class StdFileLayer final : public FileLayer {
public:
    std::unique_ptr<RawFile> OpenForWriting(const std::string& path) override {
        RefuseLink(path);
        return std::make_unique<StdioFile>(path, "wb");
    }
    std::unique_ptr<RawFile> OpenForReading(const std::string& path) override {
        RefuseLink(path);
        return std::make_unique<StdioFile>(path, "rb");
    }
    bool IsNormalFile(const std::string& path) override {
        std::error_code code;
        return fs::symlink_status(path, code).type() == fs::file_type::regular;
    }
    void CopyFile(const std::string& from, const std::string& to) override {
        CopyFileUnlessStopped(from, to, nullptr);
    }
    void CopyFileUnlessStopped(const std::string& from, const std::string& to,
                               const StopFlag* stop) override {
        ThrowIfStopped(stop);
        RefuseLink(from);
        RefuseLink(to);
        std::error_code code;
        if (fs::equivalent(from, to, code)) throw HostFileError(EINVAL);  // would empty it
        StdioFile source(from, "rb");
        try {
            StdioFile target(to, "wb");
            std::unique_ptr<char[]> buffer(new char[1 << 20]);
            while (const std::size_t got = source.Read(buffer.get(), 1 << 20)) {
                target.Write(buffer.get(), got);
                ThrowIfStopped(stop);
            }
            target.Close();
        } catch (...) {
            fs::remove(to, code);
            throw;
        }
        source.Close();
    }
    void DeleteFile(const std::string& path) override {
        std::error_code code;
        if (!fs::remove(path, code)) RaiseCode(code ? code : std::make_error_code(std::errc::no_such_file_or_directory));
    }
    std::optional<DriveSpace> SpaceOf(const std::string& directory) override {
        std::error_code code;
        // Some hosts answer for a folder that is not there.
        if (!fs::exists(directory, code)) RaiseCode(code ? code : std::make_error_code(std::errc::no_such_file_or_directory));
        const fs::space_info info = fs::space(directory, code);
        if (code) RaiseCode(code);
        return DriveSpace{info.capacity, info.available};
    }

private:
    static void RefuseLink(const std::string& path) {
        std::error_code code;
        if (fs::is_symlink(fs::symlink_status(path, code))) throw HostFileError(EACCES);
    }
};

}  // namespace

FileLayer& PortableFileLayer() {
    static StdFileLayer layer;
    return layer;
}

}  // namespace trevalon::bench

// The host's files through the Win32 API, with wide-character paths. Scratch
// files are never links and never files with other names (hard links).
#include "bench/host/win32/win32.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "bench/file_layer.h"

namespace trevalon::bench {
namespace {

using win32::Handle;
using win32::Raise;
using win32::RaiseLastError;
using win32::Wide;

constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A link's own entry is opened, never what it points to.
Handle Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0) {
    Handle file(::CreateFileW(Wide(path).c_str(), access, kShare, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | flags, nullptr));
    if (!file.valid()) RaiseLastError();
    return file;
}

// The file's size once it is known to be a normal file.
std::uint64_t RequireNormalFile(HANDLE file, bool forWriting) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) RaiseLastError();
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        ::GetFileType(file) != FILE_TYPE_DISK) {
        Raise(ERROR_ACCESS_DENIED);
    }
    if (forWriting && info.nNumberOfLinks > 1) Raise(ERROR_ACCESS_DENIED);
    return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

Handle OpenWritable(const std::string& path, DWORD flags = 0) {
    Handle file = Open(path, GENERIC_WRITE, OPEN_ALWAYS, flags);
    // Replaced only after the checks, so a refused file is left untouched.
    // Replaced, not emptied: on Wine over ext4 the close of an emptied and
    // rewritten file waits for all its data (ext4's auto_da_alloc), which
    // held Exit up for seconds after a GB of time-boxed writes.
    if (RequireNormalFile(file.get(), true) != 0) {
        file.Close();
        if (!::DeleteFileW(Wide(path).c_str())) RaiseLastError();
        file = Open(path, GENERIC_WRITE, CREATE_NEW, flags);
        RequireNormalFile(file.get(), true);
    }
    return file;
}

Handle OpenReadable(const std::string& path, DWORD flags = 0) {
    Handle file = Open(path, GENERIC_READ, OPEN_EXISTING, flags);
    RequireNormalFile(file.get(), false);
    return file;
}

void WriteAll(HANDLE file, const char* data, std::size_t size) {
    while (size != 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD done = 0;
        if (!::WriteFile(file, data, piece, &done, nullptr)) RaiseLastError();
        if (done == 0) Raise(ERROR_DISK_FULL);
        data += done;
        size -= done;
    }
}

std::size_t ReadSome(HANDLE file, char* data, std::size_t size) {
    DWORD got = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(file, data, piece, &got, nullptr)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
        RaiseLastError();
    }
    return got;
}

void Flush(HANDLE file) {
    if (!::FlushFileBuffers(file)) RaiseLastError();
}

class Win32File final : public RawFile {
public:
    explicit Win32File(Handle file) : file_(std::move(file)) {}
    void Write(const char* data, std::size_t size) override { WriteAll(file_.get(), data, size); }
    std::size_t Read(char* data, std::size_t size) override { return ReadSome(file_.get(), data, size); }
    void Close() override { file_.Close(); }
    void SyncData() override { Flush(file_.get()); }

private:
    Handle file_;
};

// Reads past the system's cache (FILE_FLAG_NO_BUFFERING) in sector-aligned
// blocks of its own and hands them out in whatever sizes the caller asks for.
class DriveReadFile final : public RawFile {
public:
    explicit DriveReadFile(Handle file) : file_(std::move(file)) {
        block_ = static_cast<char*>(::VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (block_ == nullptr) RaiseLastError();
    }
    ~DriveReadFile() override { ::VirtualFree(block_, 0, MEM_RELEASE); }
    void Write(const char*, std::size_t) override { Raise(ERROR_ACCESS_DENIED); }
    std::size_t Read(char* data, std::size_t size) override {
        if (next_ == end_) {
            next_ = 0;
            end_ = ReadSome(file_.get(), block_, kBlock);
            if (end_ == 0) return 0;
        }
        const std::size_t given = std::min(size, end_ - next_);
        std::memcpy(data, block_ + next_, given);
        next_ += given;
        return given;
    }
    void Close() override { file_.Close(); }

private:
    // Page-aligned and a multiple of any sector size.
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    Handle file_;
    char* block_ = nullptr;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
};

constexpr std::size_t kCopyPiece = std::size_t{8} << 20;

DWORD CALLBACK CopyProgress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                            HANDLE, HANDLE, LPVOID stop) {
    return StopRequested(static_cast<const StopFlag*>(stop)) ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return ::GetFileInformationByHandle(a, &first) && ::GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

class Win32FileLayer final : public FileLayer {
public:
    std::unique_ptr<RawFile> OpenForWriting(const std::string& path) override {
        return std::make_unique<Win32File>(OpenWritable(path));
    }
    std::unique_ptr<RawFile> OpenForWritingToDrive(const std::string& path) override {
        return std::make_unique<Win32File>(OpenWritable(path, FILE_FLAG_WRITE_THROUGH));
    }
    std::unique_ptr<RawFile> OpenForReading(const std::string& path) override {
        return std::make_unique<Win32File>(OpenReadable(path));
    }
    std::unique_ptr<RawFile> OpenForReadingFromDrive(const std::string& path) override {
        return std::make_unique<DriveReadFile>(OpenReadable(path, FILE_FLAG_NO_BUFFERING));
    }
    bool IsNormalFile(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA info{};
        return ::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &info) &&
               (info.dwFileAttributes &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
    }
    void CopyFile(const std::string& from, const std::string& to) override {
        CopyFileUnlessStopped(from, to, nullptr);
    }
    void CopyFileUnlessStopped(const std::string& from, const std::string& to,
                               const StopFlag* stop) override {
        ThrowIfStopped(stop);
        Handle source = OpenReadable(from);
        // An existing target passes the same checks as a scratch file opened
        // for writing, and is never the source (a copy onto itself empties it).
        Handle target(::CreateFileW(Wide(to).c_str(), FILE_READ_ATTRIBUTES, kShare, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (target.valid()) {
            RequireNormalFile(target.get(), true);
            if (SameFile(source.get(), target.get())) Raise(ERROR_INVALID_PARAMETER);
            target.Close();
        }
        BOOL cancel = FALSE;
        if (!::CopyFileExW(Wide(from).c_str(), Wide(to).c_str(), CopyProgress,
                           const_cast<StopFlag*>(stop), &cancel, COPY_FILE_ALLOW_DECRYPTED_DESTINATION)) {
            const DWORD code = ::GetLastError();
            ::DeleteFileW(Wide(to).c_str());
            if (code == ERROR_REQUEST_ABORTED) ThrowIfStopped(stop);
            Raise(code);
        }
        source.Close();
    }
    void DeleteFile(const std::string& path) override {
        if (!::DeleteFileW(Wide(path).c_str())) RaiseLastError();
    }
    // Windows keeps no per-file pages that a program may drop: the data goes
    // to the drive, and drive reads pass the cache (FILE_FLAG_NO_BUFFERING).
    void DropCachedPages(const std::string& path) override { SyncFile(path); }
    void SyncFile(const std::string& path) override {
        Handle file = Open(path, GENERIC_WRITE, OPEN_EXISTING);
        RequireNormalFile(file.get(), false);
        Flush(file.get());
        file.Close();
    }
    std::optional<std::uint64_t> VolumeOf(const std::string& directory) override {
        Handle folder(::CreateFileW(Wide(directory).c_str(), FILE_READ_ATTRIBUTES, kShare, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!folder.valid()) RaiseLastError();
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(folder.get(), &info)) RaiseLastError();
        return info.dwVolumeSerialNumber;
    }
    std::optional<DriveSpace> SpaceOf(const std::string& directory) override {
        // Asked for a file too (as statvfs answers): the volume holding it.
        if (::GetFileAttributesW(Wide(directory).c_str()) == INVALID_FILE_ATTRIBUTES) RaiseLastError();
        wchar_t volume[MAX_PATH + 1];
        if (!::GetVolumePathNameW(Wide(directory).c_str(), volume, MAX_PATH + 1)) RaiseLastError();
        ULARGE_INTEGER available{}, total{};
        if (!::GetDiskFreeSpaceExW(volume, &available, &total, nullptr)) RaiseLastError();
        return DriveSpace{total.QuadPart, available.QuadPart};
    }
};

}  // namespace

FileLayer& HostFileLayer() {
    static Win32FileLayer layer;
    return layer;
}

}  // namespace trevalon::bench

// What the Win32 pieces share: <windows.h> without its CopyFile and
// DeleteFile macros (which would rename FileLayer's methods), UTF-8 <-> UTF-16
// and raising the calling thread's last error.
#pragma once

#include <windows.h>
#undef CopyFile
#undef DeleteFile

#include <string>
#include <system_error>

#include "bench/run_error.h"

namespace trevalon::bench::win32 {

inline std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

inline std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    return text;
}

[[noreturn]] inline void Raise(DWORD code) {
    throw HostFileError(std::error_code(static_cast<int>(code), std::system_category()));
}
[[noreturn]] inline void RaiseLastError() { Raise(::GetLastError()); }

// A handle that closes itself.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            if (valid()) ::CloseHandle(handle_);
            handle_ = other.handle_;
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    ~Handle() {
        if (valid()) ::CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // Closes and raises what the close reports.
    void Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (handle != INVALID_HANDLE_VALUE && handle != nullptr && !::CloseHandle(handle)) RaiseLastError();
    }

private:
    HANDLE handle_;
};

}  // namespace trevalon::bench::win32

// The web page opener through shell32: which program opens a placeholder
// HTML file, then that program started with the address.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <optional>

#include "common/error_locations.h"
#include "common/run_error.h"
#include "web/win32/show_web_page_win32.h"

namespace trevalon::web {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void ThrowAccessError() {
    throw RunTimeError(error_number::kPathFileAccess, "Path/File access error");
}

std::wstring Wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// The ANSI form the A functions take; a path the code page cannot spell goes by its short name.
std::string Ansi(const std::wstring& wide) {
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, &lossy);
    return lossy ? std::string() : out;
}

std::string AnsiPath(const fs::path& path) {
    std::string ansi = Ansi(path.wstring());
    if (!ansi.empty()) return ansi;
    std::wstring shortName(MAX_PATH, L'\0');
    const DWORD n = GetShortPathNameW(path.c_str(), shortName.data(), MAX_PATH);
    shortName.resize(n < MAX_PATH ? n : 0);
    ansi = Ansi(shortName);
    if (ansi.empty()) ThrowAccessError();
    return ansi;
}

void WritePlaceholder(const fs::path& file) {
    const HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) ThrowAccessError();
    constexpr DWORD kLength = sizeof kPlaceholderLine - 1;
    DWORD written = 0;
    const bool ok = WriteFile(h, kPlaceholderLine, kLength, &written, nullptr) && written == kLength;
    if (!CloseHandle(h) || !ok) ThrowAccessError();
}

void ShowExclamation(HWND owner, const char* title, const char* text) {
    MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::optional<std::string> FindBrowser(const std::string& placeholder) {
    // FindExecutableA writes up to MAX_PATH characters and its NUL; one more
    // keeps the buffer ended whatever it does.
    std::array<char, MAX_PATH + 1> result;
    result.fill(' ');
    result.back() = '\0';
    const auto status = reinterpret_cast<INT_PTR>(FindExecutableA(placeholder.c_str(), nullptr, result.data()));
    if (status <= 32) return std::nullopt;
    result.back() = '\0';
    return std::string(result.data());
}

}  // namespace

PlaceholderFolders DefaultPlaceholderFolders() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    return {fs::path(exe).parent_path(), {}};
}

void ShowWebPage(const std::string& url, HWND owner, const PlaceholderFolders& folders,
                 const ErrorHandOff& handOff) {
    try {
        if (folders.programFolder.empty()) ThrowAccessError();
        const fs::path file = folders.programFolder / kPlaceholderName;
        WritePlaceholder(file);
        const std::optional<std::string> browser = FindBrowser(AnsiPath(file));
        if (!browser) {
            ShowExclamation(owner, kBrowserNotFoundTitle, kBrowserNotFoundText);
        } else {
            const std::string ansiUrl = Ansi(Wide(url));
            const std::string& parameters = ansiUrl.empty() ? url : ansiUrl;
            const auto status = reinterpret_cast<INT_PTR>(ShellExecuteA(
                owner, "open", browser->c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL));
            if (status <= 32) ShowExclamation(owner, kUrlFailedTitle, kUrlFailedText);
        }
        if (!DeleteFileW(file.c_str())) ThrowAccessError();
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        handOff(error.number(), location::kShowWebPage, error.description());
    }
}

}  // namespace trevalon::web

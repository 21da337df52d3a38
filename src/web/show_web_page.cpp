// The web page opener. It asks the desktop which program would open a small
// HTML file and starts that program on the address itself, rather than
// handing the address to the desktop as a document.
#include "web/show_web_page.h"

// GLib before Qt: Qt defines "signals" as a keyword, which GIO uses as a name.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <QApplication>
#include <QWidget>
#include <array>
#else
#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>
#endif

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "common/error_locations.h"
#include "common/run_error.h"
#include "errors/hand_off.h"
#include "look/artwork.h"
#include "web/web_page_opener.h"

namespace trevalon::web {
namespace {

namespace fs = std::filesystem;

// The description travels in error reports, so it names no path (paths carry user names).
[[noreturn]] void ThrowAccessError() {
    throw RunTimeError(error_number::kPathFileAccess, "Path/File access error");
}

// Creates the file or empties it, and writes the placeholder's line. False when
// the folder does not take it; a file half written is removed again.
bool WritePlaceholderFile(const fs::path& file) {
    constexpr std::size_t kLength = sizeof kPlaceholderLine - 1;
#ifdef _WIN32
    std::FILE* out = _wfopen(file.c_str(), L"wb");
    if (out == nullptr) return false;
    bool ok = std::fwrite(kPlaceholderLine, 1, kLength, out) == kLength;
    ok = (std::fclose(out) == 0) && ok;
#else
    // No following of links and no waiting on a FIFO someone left under this name.
    const int fd =
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < kLength) {
        const ssize_t n = ::write(fd, kPlaceholderLine + done, kLength - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ok = false;
        }
    }
    ok = (::close(fd) == 0) && ok;
#endif
    if (!ok) {
        std::error_code ignored;
        fs::remove(file, ignored);
    }
    return ok;
}

// The placeholder lies in the program's folder, or else in a private folder of
// its own under the temporary folder: a fixed name in a folder that every user
// can write would let another user plant a link there.
class Placeholder {
public:
    explicit Placeholder(const PlaceholderFolders& folders) {
        if (!folders.programFolder.empty() &&
            WritePlaceholderFile(folders.programFolder / kPlaceholderName)) {
            file_ = folders.programFolder / kPlaceholderName;
            return;
        }
        if (folders.tempFolder.empty()) ThrowAccessError();
        QTemporaryDir own(
            QDir(QString::fromStdString(folders.tempFolder.string())).filePath("trevalon-XXXXXX"));
        if (!own.isValid()) ThrowAccessError();
        own.setAutoRemove(false);
        const fs::path ownFolder = fs::path(own.path().toStdString());
        if (!WritePlaceholderFile(ownFolder / kPlaceholderName)) {
            std::error_code ignored;
            fs::remove(ownFolder, ignored);
            ThrowAccessError();
        }
        ownFolder_ = ownFolder;
        file_ = ownFolder / kPlaceholderName;
    }

    const fs::path& file() const { return file_; }

    void Remove() const {
        std::error_code ec;
        if (!fs::remove(file_, ec) || ec) ThrowAccessError();
        if (!ownFolder_.empty() && (!fs::remove(ownFolder_, ec) || ec)) ThrowAccessError();
    }

private:
    fs::path file_;
    fs::path ownFolder_;
};

void ShowExclamation(const char* title, const char* text) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(title), QString::fromUtf8(text),
                    QMessageBox::Ok);
    box.setWindowIcon(look::ProgramIcon());
    box.exec();
}

#ifdef _WIN32

// The owner window of the browser's start: the main window, when there is one.
HWND MainWindowHandle() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmDriveSpeed")) return reinterpret_cast<HWND>(w->winId());
    }
    return nullptr;
}

// The program associated with the placeholder's type, or nothing.
std::optional<std::string> FindBrowser(const fs::path& placeholder) {
    // FindExecutableA writes up to MAX_PATH characters and its NUL; one more
    // keeps the buffer ended whatever it does.
    std::array<char, MAX_PATH + 1> result;
    result.fill(' ');
    result.back() = '\0';
    const auto status = reinterpret_cast<INT_PTR>(
        FindExecutableA(placeholder.string().c_str(), nullptr, result.data()));
    if (status <= 32) return std::nullopt;
    result.back() = '\0';
    return std::string(result.data());
}

bool StartBrowser(const std::string& browser, const std::string& url) {
    const QByteArray parameters = QString::fromStdString(url).toLocal8Bit();
    const auto status = reinterpret_cast<INT_PTR>(ShellExecuteA(
        MainWindowHandle(), "open", browser.c_str(), parameters.constData(), nullptr, SW_SHOWNORMAL));
    return status > 32;
}

#else

struct GObjectUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct GErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};

// The desktop's default handler for the placeholder's type, as a program to start.
std::optional<std::string> FindBrowser(const fs::path& placeholder) {
    std::unique_ptr<GFile, GObjectUnref> file(g_file_new_for_path(placeholder.c_str()));
    GError* raw = nullptr;
    std::unique_ptr<GAppInfo, GObjectUnref> app(g_file_query_default_handler(file.get(), nullptr, &raw));
    std::unique_ptr<GError, GErrorFree> error(raw);
    if (!app) return std::nullopt;
    // A handler that needs a terminal (an editor registered for HTML) is no
    // browser: started without one it would only write into our output.
    if (G_IS_DESKTOP_APP_INFO(app.get()) &&
        g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(app.get()), "Terminal")) {
        return std::nullopt;
    }
    const char* executable = g_app_info_get_executable(app.get());
    if (executable == nullptr || *executable == '\0') return std::nullopt;
    return std::string(executable);
}

// Starts the browser with the address as its one argument and does not wait.
// GLib reaps the child itself, so no zombie is left for us to collect.
bool StartBrowser(const std::string& browser, const std::string& url) {
    std::string program = browser;
    std::string argument = url;
    std::vector<char*> argv{program.data(), argument.data(), nullptr};
    GError* raw = nullptr;
    const gboolean started = g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH,
                                           nullptr, nullptr, nullptr, &raw);
    std::unique_ptr<GError, GErrorFree> error(raw);
    return started != FALSE;
}

#endif

}  // namespace

PlaceholderFolders DefaultPlaceholderFolders() {
    return {fs::path(QCoreApplication::applicationDirPath().toStdString()),
            fs::path(QDir::tempPath().toStdString())};
}

void ShowWebPage(const std::string& url, const PlaceholderFolders& folders,
                 const ErrorHandOff& handOff) {
    try {
        const Placeholder placeholder(folders);
        const std::optional<std::string> browser = FindBrowser(placeholder.file());
        if (!browser) {
            ShowExclamation(kBrowserNotFoundTitle, kBrowserNotFoundText);
        } else if (!StartBrowser(*browser, url)) {
            ShowExclamation(kUrlFailedTitle, kUrlFailedText);
        }
        placeholder.Remove();
    } catch (...) {
        const RunTimeError error = CurrentRunTimeError();
        handOff(error.number(), location::kShowWebPage, error.description());
    }
}

void ShowWebPage(const std::string& url) {
    ShowWebPage(url, DefaultPlaceholderFolders(), &errors::HandOffError);
}

}  // namespace trevalon::web

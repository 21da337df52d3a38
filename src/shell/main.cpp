#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "shell/artwork.h"
#include "shell/display_check.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    if (const auto message = trevalon::shell::NoDisplayMessage(
            [](const char* name) { return std::getenv(name); }, argc, argv)) {
        std::fprintf(stderr, "%s\n", message->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalon"));
    QApplication::setApplicationVersion(QStringLiteral(TREVALON_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("trevalon"));
    QApplication::setWindowIcon(trevalon::shell::ProgramIcon());
    // The splash window is the only one at first and must not end the program
    // when start-up unloads it; the end comes with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    trevalon::shell::basGeneral::Main();
    const int status = QApplication::exec();
    trevalon::shell::basGeneral::UnloadAll();
    return status;
}

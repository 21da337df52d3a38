#include <QApplication>

#include "bench/stop_signals.h"
#include "shell/artwork.h"
#include "shell/startup.h"
#include "shell/stop_requests.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalon"));
    QApplication::setApplicationVersion(QStringLiteral(TREVALON_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("trevalon"));
    QApplication::setWindowIcon(trevalon::shell::ProgramIcon());
    // The splash window is the only one at first and must not end the program
    // when start-up unloads it; the end comes with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    trevalon::shell::EndProgramOnStopRequests();
    trevalon::shell::basGeneral::Main();
    const int status = QApplication::exec();
    trevalon::shell::basGeneral::UnloadAll();
    // Ended by a stop signal: report it as a shell would.
    const int stopStatus = trevalon::bench::StopSignalExitStatus();
    return stopStatus != 0 ? stopStatus : status;
}

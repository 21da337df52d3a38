#include "shell/stop_requests.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include "bench/stop_signals.h"
#include "shell/main_window.h"

namespace trevalon::shell {
namespace {

// The loaded main window, or any other one shown (a test's own).
frmDriveSpeed* MainWindow() {
    if (frmDriveSpeed* window = LoadedDriveSpeedWindow()) return window;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmDriveSpeed*>(widget)) return window;
    }
    return nullptr;
}

void EndProgramNow() {
    if (frmDriveSpeed* window = MainWindow()) {
        window->EndForStopRequest();
    } else {
        QCoreApplication::quit();
    }
}

}  // namespace

void EndProgramAtSessionEnd() { EndProgramNow(); }

void EndProgramOnStopRequests() {
    // The handler itself only sets a flag and wakes this descriptor; the
    // ending happens here on the window thread.
    const int descriptor = bench::InstallStopSignals();
    if (descriptor >= 0) {
        auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
            bench::DrainStopSignals();
            EndProgramNow();
        });
    }
    // Nothing to save: the session may end without asking.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [](QSessionManager&) { EndProgramAtSessionEnd(); });
}

}  // namespace trevalon::shell

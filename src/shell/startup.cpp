#include "shell/startup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <chrono>

#include "errors/error_locations.h"
#include "net/site_address.h"
#include "look/artwork.h"
#include "shell/error_trap.h"
#include "look/classic_font.h"
#include "shell/main_window.h"
#include "look/twips.h"
#include "update/check_for_new_version.h"
#include "update/frmNewRelease.h"

namespace trevalon::shell {

namespace {

frmSplash* loadedSplash = nullptr;

// From here on a failing step is skipped and the next one runs.
template <class Step>
void IgnoringErrors(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

void UnloadSplash() {
    frmSplash* splash = loadedSplash;
    if (splash == nullptr) return;
    loadedSplash = nullptr;
    splash->hide();
    // Unloading comes from the splash window's own timer event.
    splash->deleteLater();
}

}  // namespace

frmSplash::frmSplash()
    // A splash is no task: the splash type keeps it out of the task bar.
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      Inet1(std::chrono::seconds(60)),
      SiteBaseUrl(net::SiteBaseUrl()),
      VersionCheck(TREVALON_VERSION_CHECK != 0),
      artwork_(look::DrawSplashArtwork()) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(look::Px(6750), look::Px(3750));
    setWindowIcon(look::ProgramIcon());
    setAutoFillBackground(true);
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(232, 232, 232));
    setPalette(back);

    lblStatus = new QLabel(QStringLiteral("Loading..."), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setGeometry(look::TwipsRect(150, 3360, 6435, 255));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setFont(look::ClassicUiFont(8.25, true));

    tmrInitializeApp = new QTimer(this);
    tmrInitializeApp->setObjectName(QStringLiteral("tmrInitializeApp"));
    tmrInitializeApp->setInterval(1000);
    connect(tmrInitializeApp, &QTimer::timeout, this, &frmSplash::tmrInitializeApp_Timer);
    tmrInitializeApp->start();

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), artwork_);
    // The single fixed border of a window without a title bar.
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmSplash::tmrInitializeApp_Timer() {
    bool started = false;
    TrapErrors(errors::location::kInitializeAppTimer, [&] {
        // However long the check takes, the event never comes a second time.
        tmrInitializeApp->stop();
        if (VersionCheck) {
            lblStatus->setText(QStringLiteral("Checking for newer version"));
            QCoreApplication::processEvents();
        }
        started = true;
    });
    if (!started) return;

    if (VersionCheck) IgnoringErrors([&] { update::CheckForNewVersion(Inet1, SiteBaseUrl); });
    IgnoringErrors([] { DriveSpeedWindow().show(); });
    IgnoringErrors([] {
        if (update::frmNewRelease* notice = update::NewReleaseWindow();
            notice != nullptr && notice->isVisible()) {
            notice->raise();
            notice->activateWindow();
        }
    });
    IgnoringErrors([&] { tmrInitializeApp->stop(); });
    IgnoringErrors([] { UnloadSplash(); });
}

frmSplash* SplashWindow() { return loadedSplash; }

namespace basGeneral {

void SetUpApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Trevalon"));
    // Task bars that go by the desktop entry take its icon from there.
    QGuiApplication::setDesktopFileName(QStringLiteral("trevalon"));
    // The splash window is the only one at first and must not end the program
    // when start-up unloads it; the end comes with the main window.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void Main() {
    TrapErrors(errors::location::kMain, [] {
        if (loadedSplash == nullptr) loadedSplash = new frmSplash();
        loadedSplash->show();
    });
}

void UnloadAll() {
    delete loadedSplash;
    loadedSplash = nullptr;
    update::UnloadNewRelease();
    UnloadDriveSpeedWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace basGeneral

}  // namespace trevalon::shell

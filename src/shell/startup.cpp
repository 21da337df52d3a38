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
#include "shell/main_window.h"
#include "look/form_widgets.h"
#include "forms/run_loop.h"
#include "forms/windows.h"
#include "update/check_for_new_version.h"
#include "update/frmNewRelease.h"

namespace trevalon::shell {

namespace {

frmSplash* loadedSplash = nullptr;

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
      Inet1(std::chrono::milliseconds(forms::SplashForm().Get("Inet1").milliseconds)),
      SiteBaseUrl(net::SiteBaseUrl()),
      VersionCheck(TREVALON_VERSION_CHECK != 0),
      artwork_(look::DrawSplashArtwork()) {
    const forms::Form& form = forms::SplashForm();
    setObjectName(look::Text(form.name));
    look::ApplyClientArea(*this, form);
    setWindowIcon(look::ProgramIcon());

    lblStatus = look::BuildLabel(this, form.Get("lblStatus"));

    const forms::Control& timer = form.Get("tmrInitializeApp");
    tmrInitializeApp = new QTimer(this);
    tmrInitializeApp->setObjectName(look::ObjectName(timer));
    tmrInitializeApp->setInterval(timer.milliseconds);
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

namespace {

// The splash window's part in start-up.
class SplashSteps final : public forms::StartupSteps {
public:
    explicit SplashSteps(frmSplash& splash) : splash_(splash) {}
    void DisableTimer() override { splash_.tmrInitializeApp->stop(); }
    void SetStatus(std::string_view text) override { splash_.lblStatus->setText(look::Text(text)); }
    void LetEventsRun() override { QCoreApplication::processEvents(); }
    void CheckForNewVersion() override {
        update::CheckForNewVersion(splash_.Inet1, splash_.SiteBaseUrl);
    }
    void ShowMainWindow() override { DriveSpeedWindow().show(); }
    bool NoticeVisible() override {
        const update::frmNewRelease* notice = update::NewReleaseWindow();
        return notice != nullptr && notice->isVisible();
    }
    void RaiseNotice() override {
        update::frmNewRelease* notice = update::NewReleaseWindow();
        notice->raise();
        notice->activateWindow();
    }
    void UnloadSplash() override { shell::UnloadSplash(); }
    void HandOff(std::int32_t number, std::int32_t location,
                 const std::string& description) override {
        HandOffQuietly(number, location, description);
    }

private:
    frmSplash& splash_;
};

}  // namespace

void frmSplash::tmrInitializeApp_Timer() {
    SplashSteps steps(*this);
    forms::RunStartupSequence(steps, VersionCheck);
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

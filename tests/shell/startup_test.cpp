// Start-up against the maker's site on loopback: what appears, in what order,
// and that the splash window's timer runs the sequence once.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSignalSpy>
#include <QtTest>

#include "form_check.h"
#include "forms/windows.h"
#include "common/site_paths.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "site_server.h"
#include "update/frmNewRelease.h"

using trevalon::testsupport::SiteServer;
using namespace trevalon::shell;

namespace {

using trevalon::site_paths::kVersionPage;

// Notes, in order, each program window that is shown or raised, and answers
// the message box after `holdMs`.
class Recorder : public QObject {
public:
    explicit Recorder(int holdMs) : holdMs_(holdMs) {
        qApp->installEventFilter(this);
        poll_.setInterval(5);
        connect(&poll_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || box == answering_) return;
            answering_ = box;
            if (frmSplash* splash = SplashWindow()) statusDuringMessage = splash->lblStatus->text();
            QTimer::singleShot(holdMs_, box, [box] { box->button(QMessageBox::Ok)->click(); });
        });
        poll_.start();
    }
    ~Recorder() override { qApp->removeEventFilter(this); }

    QStringList events;
    QString statusDuringMessage;
    qint64 firstMainShowMs = -1;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || !widget->isWindow()) return false;
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_")) return false;
        if (event->type() == QEvent::Show) {
            events.append("show " + name);
            if (name == "frmDriveSpeed" && firstMainShowMs < 0) firstMainShowMs = clock.elapsed();
        } else if (event->type() == QEvent::ZOrderChange && name == "frmNewRelease") {
            events.append("raise " + name);
        }
        return false;
    }

private:
    int holdMs_;
    QTimer poll_;
    QPointer<QMessageBox> answering_;
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private:
    // Runs Main and waits until the splash window is gone.
    void startAgainst(const std::string& base, Recorder& recorder, QSignalSpy*& fired,
                      bool versionCheck = true) {
        recorder.clock.start();
        basGeneral::Main();
        frmSplash* splash = SplashWindow();
        QVERIFY(splash != nullptr);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->lblStatus->text(), QStringLiteral("Loading..."));
        QVERIFY(splash->tmrInitializeApp->isActive());
        splash->SiteBaseUrl = base;
        splash->VersionCheck = versionCheck;
        fired = new QSignalSpy(splash->tmrInitializeApp, &QTimer::timeout);
        QTRY_VERIFY_WITH_TIMEOUT(SplashWindow() == nullptr, 20000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { basGeneral::UnloadAll(); }

    void splashLayout() {
        basGeneral::Main();
        frmSplash* splash = SplashWindow();
        QVERIFY(splash != nullptr);
        const trevalon::forms::Form& form = trevalon::forms::SplashForm();
        QCOMPARE(splash->size(), trevalon::look::ClientSize(form));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!form.TitleBar());
        const QStringList faults = trevalon::testsupport::FormFaults(*splash, form);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        QCOMPARE(splash->lblStatus->font().pixelSize(), 11);
        QCOMPARE(splash->Inet1.RequestTimeout(),
                 std::chrono::milliseconds(form.Get("Inet1").milliseconds));
        QCOMPARE(splash->palette().color(QPalette::Window), trevalon::testsupport::RgbOf(form.back));
        QCOMPARE(splash->VersionCheck, TREVALON_VERSION_CHECK != 0);
        basGeneral::Main();  // one splash window only
        QCOMPARE(SplashWindow(), splash);
        splash->tmrInitializeApp->stop();
    }

    void ownVersionGoesStraightToTheMainWindow() {
        SiteServer site({.version = "1.5.5"});
        Recorder recorder(0);
        QSignalSpy* fired = nullptr;
        startAgainst(site.BaseUrl(), recorder, fired);
        std::unique_ptr<QSignalSpy> owned(fired);

        QCOMPARE(recorder.events, QStringList({"show frmSplash", "show frmDriveSpeed"}));
        QVERIFY(recorder.firstMainShowMs >= 950);
        QCOMPARE(fired->count(), 1);
        QCOMPARE(site.Hits(kVersionPage), 1);
        frmDriveSpeed* main = LoadedDriveSpeedWindow();
        QVERIFY(main != nullptr && main->isVisible());
        QVERIFY(main->fraStandardSingleDrive->isVisible());
        QVERIFY(trevalon::update::NewReleaseWindow() == nullptr);
    }

    // The message box is held open for longer than the timer's interval: the
    // sequence still runs once.
    void otherVersionShowsMessageNoticeMainWindowThenRaisesTheNotice() {
        SiteServer site({.version = "1.5.6", .news = "Trevalon 1.5.6 is out."});
        Recorder recorder(2500);
        QSignalSpy* fired = nullptr;
        startAgainst(site.BaseUrl(), recorder, fired);
        std::unique_ptr<QSignalSpy> owned(fired);

        QCOMPARE(recorder.events,
                 QStringList({"show frmSplash", "show msgNewVersionAvailable", "show frmNewRelease",
                              "show frmDriveSpeed", "raise frmNewRelease"}));
        QCOMPARE(recorder.statusDuringMessage, QStringLiteral("Checking for newer version"));
        QCOMPARE(fired->count(), 1);
        QCOMPARE(site.Hits(kVersionPage), 1);
        trevalon::update::frmNewRelease* notice = trevalon::update::NewReleaseWindow();
        QVERIFY(notice != nullptr && notice->isVisible());
        QCOMPARE(notice->txtNewVersion->toPlainText(), QStringLiteral("Trevalon 1.5.6 is out."));
        QTRY_COMPARE(QApplication::activeWindow(), notice);
        QVERIFY(LoadedDriveSpeedWindow()->isVisible());
    }

    // Built without the check, even a site announcing a new version is never
    // asked, and the splash never claims to be checking.
    void switchedOffAsksNothingAndShowsTheMainWindow() {
        SiteServer site({.version = "1.5.6", .news = "Trevalon 1.5.6 is out."});
        Recorder recorder(0);
        QSignalSpy* fired = nullptr;
        QStringList statuses;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (frmSplash* splash = SplashWindow(); splash != nullptr &&
                (statuses.isEmpty() || statuses.back() != splash->lblStatus->text())) {
                statuses.append(splash->lblStatus->text());
            }
        });
        watch.start(1);
        startAgainst(site.BaseUrl(), recorder, fired, false);
        std::unique_ptr<QSignalSpy> owned(fired);

        QCOMPARE(recorder.events, QStringList({"show frmSplash", "show frmDriveSpeed"}));
        QCOMPARE(statuses, QStringList({"Loading..."}));
        QCOMPARE(fired->count(), 1);
        QCOMPARE(site.Hits(kVersionPage), 0);
        QCOMPARE(site.Hits("/products/Trevalon/whatsnew.html"), 0);
        QVERIFY(trevalon::update::NewReleaseWindow() == nullptr);
        QVERIFY(LoadedDriveSpeedWindow()->isVisible());
    }

    void badAnswerOrNoServerShowsTheMainWindowOnly_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("six characters") << QString("1.10.0");
        QTest::newRow("trailing line break") << QString("1.5.6\r\n");
        QTest::newRow("no server") << QString();
    }
    void badAnswerOrNoServerShowsTheMainWindowOnly() {
        QFETCH(QString, answer);
        std::unique_ptr<SiteServer> site;
        std::string base =
            "http://127.0.0.1:" + std::to_string(trevalon::testsupport::ClosedLoopbackPort());
        if (!answer.isNull()) {
            site = std::make_unique<SiteServer>(trevalon::testsupport::SiteOptions{.version = answer.toStdString()});
            base = site->BaseUrl();
        }
        Recorder recorder(0);
        QSignalSpy* fired = nullptr;
        startAgainst(base, recorder, fired);
        std::unique_ptr<QSignalSpy> owned(fired);
        QCOMPARE(recorder.events, QStringList({"show frmSplash", "show frmDriveSpeed"}));
        QCOMPARE(fired->count(), 1);
        QVERIFY(trevalon::update::NewReleaseWindow() == nullptr);
        QVERIFY(LoadedDriveSpeedWindow()->isVisible());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"

// The new-version check against the maker's site on loopback, and its notice.
#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QtTest>
#include <chrono>
#include <functional>

#include "form_check.h"
#include "forms/windows.h"
#include "common/site_paths.h"
#include "site_server.h"
#include "window_pixels.h"
#include "update/check_for_new_version.h"
#include "update/frmNewRelease.h"
#include "update/version_answer.h"

using trevalon::testsupport::SiteOptions;
using trevalon::testsupport::SiteServer;
using namespace trevalon::update;

namespace {

using trevalon::site_paths::kVersionPage;
using trevalon::site_paths::kNewsPage;

struct BoxSeen {
    int count = 0;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Answers every modal message box with OK, noting what it showed.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || box == last_) return;
            last_ = box;
            seen.count++;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttons = static_cast<int>(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }
    BoxSeen seen;

private:
    QTimer timer_;
    QPointer<QMessageBox> last_;
};

trevalon::net::Inet StartupInet() { return trevalon::net::Inet(std::chrono::seconds(60)); }

}  // namespace

class NewVersionTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        UnloadNewRelease();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void versionAnswerRule() {
        QCOMPARE(LocalVersionText(), std::string("1.5.5"));
        QVERIFY(!AnnouncesNewVersion("1.5.5"));
        QVERIFY(AnnouncesNewVersion("1.5.6"));
        QVERIFY(AnnouncesNewVersion("1.4.9"));  // older counts as new too
        QVERIFY(AnnouncesNewVersion("2...."));
        QVERIFY(!IsVersionAnswer("1.10.0"));
        QVERIFY(!IsVersionAnswer("1.5.6\n"));
        QVERIFY(!IsVersionAnswer(" 1.5.5"));
        QVERIFY(!IsVersionAnswer("15566"));
        QVERIFY(!IsVersionAnswer(""));
        QVERIFY(!IsVersionAnswer("1.5"));
        // Five letters, one of them two bytes long.
        QVERIFY(IsVersionAnswer("1.5.\xC3\xA9"));
        QVERIFY(!IsVersionAnswer(std::string_view("1.5\0.5", 6)));
    }

    void ownVersionShowsNothing() {
        SiteServer site({.version = "1.5.5"});
        BoxAnswerer answerer;
        auto inet = StartupInet();
        CheckForNewVersion(inet, site.BaseUrl());
        QCOMPARE(answerer.seen.count, 0);
        QVERIFY(NewReleaseWindow() == nullptr);
        QCOMPARE(site.Hits(kVersionPage), 1);
        QCOMPARE(site.Hits(kNewsPage), 0);
    }

    void otherVersionShowsTheMessageThenTheNewsAsPlainText() {
        const std::string news = "<h1>Trevalon 1.5.6</h1>\r\n<b>Faster</b> &amp; <script>x()</script>";
        SiteServer site({.version = "1.4.9", .news = news});
        BoxAnswerer answerer;
        auto inet = StartupInet();
        CheckForNewVersion(inet, site.BaseUrl());

        QCOMPARE(answerer.seen.count, 1);
        QCOMPARE(answerer.seen.title, QStringLiteral("New Version Available"));
        QCOMPARE(answerer.seen.icon, QMessageBox::Information);
        QCOMPARE(answerer.seen.buttons, 1);
        QCOMPARE(answerer.seen.text,
                 QString::fromStdString("I would just like to let you know that there is a new "
                                        "version of this software available on our web site.  " +
                                        site.BaseUrl()));
        frmNewRelease* notice = NewReleaseWindow();
        QVERIFY(notice != nullptr);
        QVERIFY(notice->isVisible());
        // Shown as it arrived: the markup is text, not formatting (line ends aside).
        QCOMPARE(notice->txtNewVersion->toPlainText(),
                 QStringLiteral("<h1>Trevalon 1.5.6</h1>\n<b>Faster</b> &amp; <script>x()</script>"));
        QCOMPARE(site.Hits(kNewsPage), 1);
        QCOMPARE(inet.URL, site.BaseUrl() + kNewsPage);
    }

    void missingNewsLeavesTheNoticeEmpty() {
        SiteServer site({.version = "1.5.6", .serveNews = false});
        BoxAnswerer answerer;
        auto inet = StartupInet();
        CheckForNewVersion(inet, site.BaseUrl());
        QCOMPARE(answerer.seen.count, 1);
        QVERIFY(NewReleaseWindow() != nullptr && NewReleaseWindow()->isVisible());
        QVERIFY(NewReleaseWindow()->txtNewVersion->toPlainText().isEmpty());
    }

    void answersThatAreNoVersionShowNothing_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("six characters") << QByteArray("1.10.0");
        QTest::newRow("line break behind") << QByteArray("1.5.6\n");
        QTest::newRow("no full stop") << QByteArray("15566");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("error page") << QByteArray("<html>Server Error</html>");
    }
    void answersThatAreNoVersionShowNothing() {
        QFETCH(QByteArray, answer);
        SiteServer site({.version = answer.toStdString()});
        BoxAnswerer answerer;
        auto inet = StartupInet();
        CheckForNewVersion(inet, site.BaseUrl());
        QCOMPARE(answerer.seen.count, 0);
        QVERIFY(NewReleaseWindow() == nullptr);
        QCOMPARE(site.Hits(kNewsPage), 0);
    }

    void noSiteShowsNothing() {
        SiteServer site({.serveVersion = false});
        BoxAnswerer answerer;
        auto inet = StartupInet();
        CheckForNewVersion(inet, site.BaseUrl());  // 404
        const std::string closed =
            "http://127.0.0.1:" + std::to_string(trevalon::testsupport::ClosedLoopbackPort());
        CheckForNewVersion(inet, closed);  // refused
        QCOMPARE(answerer.seen.count, 0);
        QVERIFY(NewReleaseWindow() == nullptr);
    }

    void noticeLayoutAndItsCloseButton() {
        frmNewRelease& notice = LoadNewRelease();
        QCOMPARE(&LoadNewRelease(), &notice);  // one window
        const trevalon::forms::Form& form = trevalon::forms::NewReleaseForm();
        QCOMPARE(notice.size(), trevalon::look::ClientSize(form));
        QVERIFY(notice.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(notice.palette().color(QPalette::Window), trevalon::testsupport::RgbOf(form.back));
        const QStringList faults = trevalon::testsupport::FormFaults(notice, form);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        // The 28-pixel image, cut off by the strip and the strip by the window.
        QCOMPARE(notice.pictHeaderBar->grab().size(), notice.pictHeaderBar->size());
        QVERIFY(notice.pictHeaderBar->height() < 28 && notice.pictHeaderBar->width() > notice.width());
        QCOMPARE(notice.txtNewVersion->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(notice.txtNewVersion->toPlainText().isEmpty());
        QCOMPARE(notice.cmd1->size(), QSize(111, 23));  // the button image, whole

        QWidget beside;  // the main window stays
        beside.show();
        notice.show();
        QPointer<frmNewRelease> watched(&notice);
        QTest::mouseClick(notice.cmd1, Qt::LeftButton);
        QVERIFY(NewReleaseWindow() == nullptr);
        QVERIFY(!watched->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watched.isNull());
        QVERIFY(beside.isVisible());
    }

    void theBorderStaysVisibleAllRound() {
        frmNewRelease& notice = LoadNewRelease();
        const QImage shot = notice.grab().toImage();
        QCOMPARE(trevalon::testsupport::BorderFaults(shot, QColor(64, 64, 64)).join(' '), QString());
        QVERIFY(shot.pixelColor(1, 1) != QColor(64, 64, 64));  // the strip begins inside it
        UnloadNewRelease();
    }

    void dragOnTheHeaderMovesTheNotice() {
        frmNewRelease& notice = LoadNewRelease();
        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        const QPoint before = notice.pos();
        QTest::mousePress(notice.pictHeaderBar, Qt::LeftButton, {}, QPoint(20, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(60, 40),
                         QPointF(notice.pictHeaderBar->mapToGlobal(QPoint(60, 40))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(notice.pictHeaderBar, &move);
        QTest::mouseRelease(notice.pictHeaderBar, Qt::LeftButton, {}, QPoint(60, 40));
        QCOMPARE(notice.pos(), before + QPoint(40, 30));
    }
};

QTEST_MAIN(NewVersionTest)
#include "new_version_test.moc"

// The Help menu: both help commands show the one about box, and "Mirrowin
// Online" starts the desktop's browser on the site's home page.
#include <QApplication>
#include <QtTest>
#include <memory>

#include "../web/test_desktop.h"
#include "net/site_address.h"
#include "shell/frmAbout.h"
#include "shell/main_window.h"

using trevalon::shell::frmAbout;
using trevalon::shell::frmDriveSpeed;
using trevalon::testing::MessageAnswerer;
using trevalon::testing::TestDesktop;

namespace {

int LoadedBoxes() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += qobject_cast<frmAbout*>(w) != nullptr;
    return n;
}

}  // namespace

class TestHelpMenu : public QObject {
    Q_OBJECT
public:
    explicit TestHelpMenu(TestDesktop& desktop) : desktop_(desktop) {}

private slots:
    void init() {
        window_ = std::make_unique<frmDriveSpeed>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    void cleanup() {
        if (frmAbout* box = frmAbout::Loaded()) box->close();
        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void f1AndCtrlAShowTheSameBox() {
        QCOMPARE(LoadedBoxes(), 0);
        QTest::keyClick(window_.get(), Qt::Key_F1);
        frmAbout* box = frmAbout::Loaded();
        QVERIFY(box);
        QVERIFY(box->isVisible());

        // The main window stays usable with the box open.
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(frmAbout::Loaded(), box);
        QCOMPARE(LoadedBoxes(), 1);
        window_->mnuDriveSpeedComparison->trigger();
        QVERIFY(window_->fraDriveSpeedComparison->isVisible());

        // Closed, it is gone; the next command brings it back.
        QPointer<frmAbout> closed(box);
        box->close();
        QTRY_VERIFY(closed.isNull());
        window_->mnuAbout->trigger();
        QVERIFY(frmAbout::Loaded());
        QCOMPARE(LoadedBoxes(), 1);
        window_->mnuHelpDetail->trigger();
        QCOMPARE(LoadedBoxes(), 1);
    }

    void mirrowinOnlineOpensTheSiteHomePage() {
        MessageAnswerer answerer;
        window_->mnuMirrowinOnline->trigger();
        const QString home = "http://" + QString::fromStdString(trevalon::net::SiteHost());
        QCOMPARE(desktop_.WaitForCalls(1), QList<QStringList>{{home}});
        QCOMPARE(answerer.messages().size(), 0);
        QVERIFY(window_->isVisible());
        QVERIFY(window_->isEnabled());
    }

    // Last: it ends the program's event loop.
    void exitClosesTheBoxToo() {
        window_->mnuAbout->trigger();
        QPointer<frmAbout> box(frmAbout::Loaded());
        QVERIFY(box);
        window_->mnuExit->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(box.isNull());
        QVERIFY(!window_->isVisible());
    }

private:
    TestDesktop& desktop_;
    std::unique_ptr<frmDriveSpeed> window_;
};

int main(int argc, char** argv) {
    TestDesktop desktop(TestDesktop::Html::DefaultBrowser);
    QApplication app(argc, argv);
    TestHelpMenu test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "help_menu_test.moc"

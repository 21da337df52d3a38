// The program against the site as it would be published (site/run-local:
// nginx serving the pages, trevalon-site behind it for the reports).
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "errors/frm_errors.h"
#include "errors/hand_off.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "site_server.h"
#include "update/frmNewRelease.h"

using trevalon::testsupport::PublishedSite;
using namespace trevalon::shell;
using namespace std::chrono_literals;

class PublishedSiteTest : public QObject {
    Q_OBJECT

private slots:
    void versionCheckAndErrorReportGoThroughNginx() {
        QApplication::setQuitOnLastWindowClosed(false);
        PublishedSite site({.version = "1.5.6"});
        if (!site.Available()) QSKIP("nginx is not installed");

        // The new-version message waits for its OK.
        QTimer answer;
        answer.setInterval(10);
        connect(&answer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        answer.start();
        basGeneral::Main();
        frmSplash* splash = SplashWindow();
        QVERIFY(splash != nullptr);
        splash->SiteBaseUrl = site.BaseUrl();
        QTRY_VERIFY_WITH_TIMEOUT(SplashWindow() == nullptr, 20000);
        answer.stop();

        QVERIFY(LoadedDriveSpeedWindow() != nullptr && LoadedDriveSpeedWindow()->isVisible());
        auto* notice = trevalon::update::NewReleaseWindow();
        QVERIFY(notice != nullptr);
        QVERIFY(notice->txtNewVersion->toPlainText().contains("Trevalon 1.5.5"));  // the shipped news page
        // nginx logs a request once it is done with it, which may come after the answer.
        QTRY_COMPARE(site.Hits("/products/Trevalon/version.asp"), std::vector<std::string>{"200"});
        QTRY_COMPARE(site.Hits("/products/Trevalon/whatsnew.html"), std::vector<std::string>{"200"});
        QVERIFY(site.Reports().empty());  // page requests leave the database alone

        trevalon::errors::SetReportSite({site.BaseUrl(), 5s});
        trevalon::errors::HandOffError(61, 8, "Disk full & more");
        auto* errors = trevalon::errors::ExistingErrorWindow();
        QVERIFY(errors != nullptr);
        QVERIFY(QTest::qWaitForWindowActive(errors));
        auto* send = errors->findChild<QAbstractButton*>("cmdSendError");
        QVERIFY(send != nullptr);
        QTest::mouseClick(send, Qt::LeftButton);
        QTRY_VERIFY(!errors->isVisible());

        const auto reports = site.Reports();
        QCOMPARE(reports.size(), std::size_t{1});
        QCOMPARE(reports[0].errornumber, std::optional<std::string>("61"));
        QCOMPARE(reports[0].errorlocation, std::optional<std::string>("8"));
        QCOMPARE(reports[0].application, std::optional<std::string>("Trevalon155"));
        QTRY_COMPARE(site.Hits("/products/errorreport.asp"), std::vector<std::string>{"200"});
        trevalon::errors::SetReportSite(trevalon::errors::DefaultReportSite());
        basGeneral::UnloadAll();
    }
};

QTEST_MAIN(PublishedSiteTest)
#include "published_site_test.moc"

#include "errors/frm_errors.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <chrono>

#include "common/site_paths.h"
#include "errors/error_locations.h"
#include "errors/hand_off.h"
#include "form_check.h"
#include "forms/windows.h"
#include "network_isolation.h"
#include "site_server.h"
#include "window_pixels.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace trevalon::errors {
namespace {

using namespace std::chrono_literals;
using testsupport::SiteOptions;
using testsupport::SiteServer;

constexpr const char* kReportPath = trevalon::site_paths::kReportPage;
using Pair = std::pair<std::string, std::string>;

class ErrorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (frmErrors* w = ExistingErrorWindow()) w->hide();
        QApplication::processEvents();
    }
    void TearDown() override { SetReportSite(DefaultReportSite()); }

    // Hands an error off and waits until the window is up and active.
    static frmErrors& HandOff(std::int32_t number, std::int32_t location, const std::string& description) {
        HandOffError(number, location, description);
        frmErrors* w = ExistingErrorWindow();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        return *w;
    }
    static QString Text(const char* label) {
        auto* l = ExistingErrorWindow()->findChild<QLabel*>(QString::fromLatin1(label));
        return l ? l->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(label));
    }
    static void Click(const char* button) {
        auto* b = ExistingErrorWindow()->findChild<QAbstractButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static bool NothingShown() {
        if (QApplication::activeModalWidget()) return false;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) return false;
        return true;
    }
    // Sends the report of the shown window; how long the click blocked.
    static std::chrono::steady_clock::duration Send() {
        const auto start = std::chrono::steady_clock::now();
        Click("cmdSendError");
        return std::chrono::steady_clock::now() - start;
    }
};

TEST_F(ErrorWindow, HandOffShowsTheThreeValuesInItsOwnBorderlessWindow) {
    frmErrors& w = HandOff(-53, location::kCheckSpeedClick, "File not found Position: 4");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.parentWidget(), nullptr);
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(Text("lblErrorLocation"), "Error Location: 6");
    EXPECT_EQ(Text("lblErrorNumber"), "Error Number: -53");
    EXPECT_EQ(Text("lblErrorDescription"), "Error Description: File not found Position: 4");
    EXPECT_TRUE(Text("Label1").startsWith("We regret that an unexpected error has occured in our software.  "));
    for (const char* name : {"pictHeaderBar", "cmdSendError", "cmdCancel"})
        EXPECT_NE(w.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(w.findChild<QWidget*>("pictHeaderBar")->toolTip(), "Click here and drag to move this window");
    EXPECT_EQ(w.ErrorNumber, -53);
    EXPECT_EQ(w.ErrorLocation, 6);
    EXPECT_EQ(w.ErrorDescription, "File not found Position: 4");

    Click("cmdCancel");
    HandOff(2147483647, location::kMain, "");
    EXPECT_EQ(Text("lblErrorNumber"), "Error Number: 2147483647");
    EXPECT_EQ(Text("lblErrorDescription"), "Error Description: ");
}

TEST_F(ErrorWindow, TheTextsFitTheirBoxesInTheSubstituteFont) {
    frmErrors& w = HandOff(75, location::kCopyComparisonClick, "Path/File access error");
    EXPECT_EQ(w.size(), look::ClientSize(forms::ErrorsForm()) + QSize(2, 2));  // and the border
    for (const char* name : {"Label1", "lblErrorLocation", "lblErrorNumber", "lblErrorDescription"}) {
        auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(w.rect().contains(label->geometry())) << name;
        const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_LE(needed, label->height()) << name;
        EXPECT_TRUE(label->font().bold()) << name;
        if (QFontDatabase::families().contains("Liberation Sans")) {
            EXPECT_EQ(QFontInfo(label->font()).family(), "Liberation Sans") << name;
        }
    }
    for (const char* name : {"cmdSendError", "cmdCancel"}) {
        auto* button = w.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_EQ(button->size(), QSize(111, 23)) << name;
        EXPECT_TRUE(w.rect().contains(button->geometry())) << name;
    }
}

TEST_F(ErrorWindow, AFreshWindowIsTheTableInsideItsBorder) {
    frmErrors fresh;
    EXPECT_EQ(testsupport::FormFaults(fresh, forms::ErrorsForm(), QPoint(1, 1)).join("; "), "");
    EXPECT_EQ(fresh.Inet1.RequestTimeout().count(), forms::ErrorsForm().Get("Inet1").milliseconds);
    EXPECT_EQ(fresh.palette().color(QPalette::Window), testsupport::RgbOf(forms::ErrorsForm().back));
}

TEST_F(ErrorWindow, TheBorderStaysVisibleAllRoundOverTheHeaderStrip) {
    frmErrors& w = HandOff(5, location::kMain, "x");
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(testsupport::BorderFaults(shot, QColor(64, 64, 64)).join(' '), "");
    // The strip itself still shows just inside the border.
    EXPECT_NE(shot.pixelColor(w.width() - 2, 5), QColor(64, 64, 64));
}

TEST_F(ErrorWindow, SecondHandOffWhileShownReachesTheLabelsAtTheNextActivation) {
    frmErrors& w = HandOff(11, location::kAboutClick, "first");
    HandOffError(12, location::kExitClick, "second");
    EXPECT_EQ(ExistingErrorWindow(), &w);
    EXPECT_EQ(w.ErrorNumber, 12);
    EXPECT_EQ(w.ErrorDescription, "second");
    EXPECT_EQ(Text("lblErrorNumber"), "Error Number: 11");  // still active: no refresh yet

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(Text("lblErrorLocation"), "Error Location: 14");
    EXPECT_EQ(Text("lblErrorNumber"), "Error Number: 12");
    EXPECT_EQ(Text("lblErrorDescription"), "Error Description: second");
}

TEST_F(ErrorWindow, CancelHidesAndTheNextHandOffShowsTheSameWindowAgain) {
    SiteServer site;
    SetReportSite({site.BaseUrl(), 5s});
    frmErrors& w = HandOff(5, location::kMirrowinOnlineClick, "Invalid procedure call");
    Click("cmdCancel");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(site.Hits(kReportPath), 0);

    frmErrors& again = HandOff(-7, location::kShowWebPage, "Out of memory");
    EXPECT_EQ(&again, &w);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(Text("lblErrorLocation"), "Error Location: 45");
    EXPECT_EQ(Text("lblErrorNumber"), "Error Number: -7");
    EXPECT_EQ(Text("lblErrorDescription"), "Error Description: Out of memory");
}

TEST_F(ErrorWindow, SendDeliversTheReportAsTheSiteHasAlwaysReceivedIt) {
    SiteServer site;
    SetReportSite({site.BaseUrl(), 5s});

    HandOff(-5, location::kCheckSpeedClick, "Disk full Position: 3");
    Send();
    EXPECT_FALSE(ExistingErrorWindow()->isVisible());
    HandOff(9, location::kDriveSpeedFormLoad, "");
    Send();
    HandOff(13, location::kCompareDrivesClick, "a&b #c");
    Send();
    EXPECT_TRUE(NothingShown());

    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].query,
              "application=Trevalon155&errorlocation=6&errornumber=-5&errordescription=Disk%20full%20Position:%203");
    EXPECT_EQ(reports[0].values, (std::vector<Pair>{{"application", "Trevalon155"},
                                                    {"errorlocation", "6"},
                                                    {"errornumber", "-5"},
                                                    {"errordescription", "Disk full Position: 3"}}));
    EXPECT_EQ(reports[1].query, "application=Trevalon155&errorlocation=9&errornumber=9&errordescription=");
    EXPECT_EQ(reports[1].errordescription, "");
    // The "&" starts a further pair on the server, as it always did.
    EXPECT_EQ(reports[2].query, "application=Trevalon155&errorlocation=7&errornumber=13&errordescription=a&b%20%23c");
    EXPECT_EQ(reports[2].errordescription, "a");
    EXPECT_EQ(reports[2].values.back(), (Pair{"b #c", ""}));
}

TEST_F(ErrorWindow, SendReportsTheLatestValuesOnly) {
    SiteServer site;
    SetReportSite({site.BaseUrl(), 5s});
    HandOff(1, location::kHelpDetailClick, "old");
    HandOffError(2, location::kMultiDriveCopyCheckClick, "new");
    Send();
    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].query, "application=Trevalon155&errorlocation=16&errornumber=2&errordescription=new");
}

TEST_F(ErrorWindow, RetryAnswerBringsExactlyOneSecondRequest) {
    SiteServer second;
    SiteServer first({.retry = second.ReportUrl()});
    SetReportSite({first.BaseUrl(), 5s});
    HandOff(61, location::kCopyComparisonClick, "Disk full");
    Send();
    EXPECT_FALSE(ExistingErrorWindow()->isVisible());
    ASSERT_EQ(first.Reports().size(), 1u);
    ASSERT_EQ(second.Reports().size(), 1u);
    EXPECT_EQ(second.Reports()[0].query, first.Reports()[0].query);
    EXPECT_EQ(second.Reports()[0].query,
              "application=Trevalon155&errorlocation=8&errornumber=61&errordescription=Disk%20full");
}

TEST_F(ErrorWindow, NeverAThirdRequest) {
    SiteServer first;
    SiteServer second({.retry = first.ReportUrl()});  // would send it back again
    first.Stop();
    SiteServer start({.retry = second.ReportUrl()});
    SetReportSite({start.BaseUrl(), 5s});
    HandOff(71, location::kCompareDrivesClick, "Disk not ready");
    Send();
    EXPECT_EQ(start.Hits(kReportPath), 1);
    EXPECT_EQ(second.Hits(kReportPath), 1);
}

TEST_F(ErrorWindow, OtherAnswersBringNoSecondRequest) {
    SiteServer second;
    for (const std::string& answer : {std::string("RETRY|"), "retry|" + second.ReportUrl(),
                                      "Retry|" + second.ReportUrl(), "RETRY|ftp://127.0.0.1:" +
                                      std::to_string(second.Port()) + "/x", std::string("Thank you")}) {
        SiteServer first({.answer = answer});
        SetReportSite({first.BaseUrl(), 5s});
        HandOff(6, location::kCheckSpeedClick, "Overflow");
        Send();
        EXPECT_FALSE(ExistingErrorWindow()->isVisible()) << answer;
        EXPECT_EQ(first.Hits(kReportPath), 1) << answer;
    }
    EXPECT_EQ(second.Hits(kReportPath), 0);
}

TEST_F(ErrorWindow, SendToASiteThatNeverAnswersHidesAfterTheTimeOut) {
    testsupport::SilentServer silent;
    SetReportSite({silent.BaseUrl(), 300ms});
    HandOff(3, location::kInitializeAppTimer, "Return without GoSub");
    const auto took = Send();
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 5s);
    EXPECT_TRUE(NothingShown());
}

TEST_F(ErrorWindow, SendToAClosedPortFailsFastAndQuietly) {
    SetReportSite({"http://127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()), 20s});
    HandOff(3, location::kInitializeAppTimer, "Return without GoSub");
    EXPECT_LT(Send(), 10s);
    EXPECT_TRUE(NothingShown());
}

TEST_F(ErrorWindow, SendToAnUnknownHostFailsFastAndQuietly) {
    HandOff(3, location::kInitializeAppTimer, "Return without GoSub");
    const int rc = testsupport::RunWithoutNetwork([] {
        SetReportSite({"http://www.mirrowin.invalid", 20s});
        const auto start = std::chrono::steady_clock::now();
        ExistingErrorWindow()->cmdSendError_Click();
        if (std::chrono::steady_clock::now() - start >= 10s) return 3;
        return NothingShown() ? 0 : 4;
    });
    if (rc == testsupport::kNoIsolation) GTEST_SKIP() << "no private network namespace here";
    EXPECT_EQ(rc, 0);
}

TEST_F(ErrorWindow, DraggingTheHeaderStripMovesTheWindow) {
    frmErrors& w = HandOff(1, location::kAboutClick, "drag");
    QWidget* strip = w.findChild<QWidget*>("pictHeaderBar");
    ASSERT_NE(strip, nullptr);
    const QPoint before = w.pos();
    const QPoint grab(40, 10);
    auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(local), QPointF(strip->mapToGlobal(local)), button, held, Qt::NoModifier);
        QApplication::sendEvent(strip, &e);
    };
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w.pos(), before + QPoint(30, 20));
    send(QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton, Qt::NoButton);  // released: stays
    EXPECT_EQ(w.pos(), before + QPoint(30, 20));
}

TEST_F(ErrorWindow, AnExceptionInAHandlerIsHandedOffWithItsLocation) {
    try {
        throw std::runtime_error("Object required");
    } catch (...) {
        HandOffCurrentException(location::kNewReleaseCmd1Click);
    }
    frmErrors* w = ExistingErrorWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_EQ(Text("lblErrorLocation"), "Error Location: 34");
    EXPECT_EQ(Text("lblErrorNumber"), "Error Number: 51");
    EXPECT_EQ(Text("lblErrorDescription"), "Error Description: Object required");
    try {
        throw std::bad_alloc();
    } catch (...) {
        HandOffCurrentException(location::kExitClick);
    }
    EXPECT_EQ(w->ErrorNumber, 7);
    EXPECT_EQ(w->ErrorDescription, "Out of memory");
}

}  // namespace
}  // namespace trevalon::errors

// What a user sees of the windows: flat test buttons, whole drive entries,
// and every fixed text inside its place whichever sans font is installed.
#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QtTest>
#include <cstdlib>
#include <map>

#include "look/classic_font.h"
#include "errors/frm_errors.h"
#include "shell/display_check.h"
#include "shell/frmAbout.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "update/frmNewRelease.h"
#include "form_check.h"
#include "window_pixels.h"

using namespace trevalon::shell;
using trevalon::testsupport::Contrast;
using trevalon::testsupport::MostCommonColour;
using trevalon::testsupport::StrongestAgainst;

namespace {

const QString kLongEntry = QStringLiteral(
    "/media/someone/a-removable-drive-with-a-long-name [WD Elements 25A2 Portable USB 3.0]");
DriveEntries Entries() { return {{"/ [vda]", kLongEntry}, 0, {}}; }

// Why each text of `window` does not fit its place, one line per fault.
QStringList FitFaults(QWidget& window) {
    QStringList faults;
    for (auto* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(&window)) continue;
        const QFontMetrics metrics(label->font());
        const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                             : metrics.horizontalAdvance(label->text());
        const int room = label->wordWrap() ? label->height() : label->width();
        if (needed > room) faults << QStringLiteral("%1 needs %2 of %3").arg(label->objectName()).arg(needed).arg(room);
        // Nothing of a label runs into a neighbour on its panel.
        for (auto* other : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            auto* otherLabel = qobject_cast<QLabel*>(other);
            const bool emptyLabel = otherLabel != nullptr && otherLabel->text().isEmpty();
            if (other != label && !emptyLabel && other->isVisibleTo(&window) &&
                label->geometry().intersects(other->geometry())) {
                faults << label->objectName() + QStringLiteral(" runs into ") + other->objectName();
            }
        }
    }
    for (auto* button : window.findChildren<QPushButton*>()) {
        const int needed = QFontMetrics(button->font()).horizontalAdvance(button->text());
        // Inside the two-pixel raised edge on either side.
        if (needed > button->width() - 4)
            faults << QStringLiteral("%1 needs %2 of %3").arg(button->objectName()).arg(needed).arg(button->width() - 4);
    }
    return faults;
}

}  // namespace

class WindowLookTest : public QObject {
    Q_OBJECT

private slots:
    void testButtonsAreFlatAndTheirDisabledCaptionReadable_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"cmdCheckSpeed", "cmdCompareDrives", "cmdCopyComparison"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void testButtonsAreFlatAndTheirDisabledCaptionReadable() {
        QFETCH(QString, name);
        frmDriveSpeed window(Entries());
        auto* button = window.findChild<QPushButton*>(name);
        QVERIFY(button != nullptr);
        const QColor blue =
            trevalon::testsupport::RgbOf(trevalon::forms::DriveSpeedForm().Get(name.toStdString()).back);
        QColor captions[2];
        for (const bool enabled : {true, false}) {
            button->setEnabled(enabled);
            const QImage face = button->grab().toImage();
            // The face is one flat colour from top to bottom: no gradient.
            const QRect inside = face.rect().adjusted(3, 3, -3, -3);
            QCOMPARE(MostCommonColour(face, inside), blue);
            for (int x = 2; x < face.width() - 2; ++x) {
                QCOMPARE(face.pixelColor(x, 2), blue);
                QCOMPARE(face.pixelColor(x, face.height() - 3), blue);
            }
            // The caption reads against it, enabled or not.
            captions[enabled] = StrongestAgainst(face, inside, blue);
            QVERIFY2(Contrast(captions[enabled], blue) >= 4.5, qPrintable(captions[enabled].name()));
        }
        // ... and a disabled caption still looks disabled: lighter than an enabled one.
        QVERIFY(trevalon::testsupport::Luminance(captions[false]) >
                trevalon::testsupport::Luminance(captions[true]));
    }

    void driveListShowsItsLongestEntryWhole() {
        frmDriveSpeed window(Entries());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (DriveList* list : {window.Drive1, window.drvCompare[3], window.drvCopy[0]}) {
            list->SetSource(Entries);  // opening reads the drives again
            QCOMPARE(list->toolTip(), QStringLiteral("/ [vda]"));
            list->SetSource(Entries);  // the list is read again as it opens
            list->setCurrentIndex(1);
            QCOMPARE(list->toolTip(), kLongEntry);
            QVERIFY(list->fontMetrics().horizontalAdvance(kLongEntry) > list->width());  // cut off
            list->showPopup();
            QAbstractItemView* view = list->view();
            QTRY_VERIFY(view->isVisible());
            const QRect row = view->visualRect(view->model()->index(1, 0));
            QVERIFY2(view->viewport()->width() >= view->fontMetrics().horizontalAdvance(kLongEntry),
                     qPrintable(QString::number(view->viewport()->width())));
            QVERIFY(row.width() >= view->fontMetrics().horizontalAdvance(kLongEntry));
            list->hidePopup();
        }
    }

    // Run twice by ctest: with the fonts installed, and with Liberation Sans
    // hidden from fontconfig so that another sans has to fit.
    void everyFixedTextFitsItsPlace() {
        const bool hidden = qEnvironmentVariableIsSet("TREVALON_EXPECT_NO_LIBERATION");
        QCOMPARE(QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")), !hidden);
        frmDriveSpeed window(Entries());
        if (hidden) {
            QVERIFY(trevalon::look::ClassicUiScalePercent() < 100);
            QCOMPARE(QFontInfo(window.lblStatus->font()).family(), QStringLiteral("DejaVu Sans"));
        } else {
            QCOMPARE(trevalon::look::ClassicUiScalePercent(), 100);
        }
        for (QWidget* panel : {static_cast<QWidget*>(window.fraStandardSingleDrive),
                               static_cast<QWidget*>(window.fraDriveSpeedComparison),
                               static_cast<QWidget*>(window.fraMultiCopy)}) {
            panel->setVisible(true);
            const QStringList faults = FitFaults(*panel);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
            // A right legend ends inside its track.
            for (auto* legend : panel->findChildren<QLabel*>(QRegularExpression("RightLegend_"))) {
                const QString index = legend->objectName().section(QLatin1Char('_'), 1);
                const QString track = legend->objectName().startsWith(QLatin1String("lblSingle"))
                                          ? QStringLiteral("pctStatusBar_")
                                      : legend->objectName().startsWith(QLatin1String("lblCompare"))
                                          ? QStringLiteral("pctCompareStatusBar_")
                                          : QStringLiteral("pctCopyStatusBar_");
                auto* frame = panel->findChild<QWidget*>(track + index);
                QVERIFY(frame != nullptr);
                QVERIFY2(legend->x() + legend->fontMetrics().horizontalAdvance(legend->text()) <=
                             frame->geometry().right() + 1,
                         qPrintable(legend->objectName()));
            }
        }
        frmAbout* about = frmAbout::ShowOrRaise();
        QStringList faults = FitFaults(*about);
        about->close();
        trevalon::errors::frmErrors errors;
        faults += FitFaults(errors);
        frmSplash splash;
        splash.tmrInitializeApp->stop();
        faults += FitFaults(splash);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void noDisplayIsToldInOneLine_data() {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("refused");
        QTest::newRow("nothing set") << "" << "" << "" << "" << true;
        QTest::newRow("X display") << ":0" << "" << "" << "" << false;
        QTest::newRow("Wayland") << "" << "wayland-0" << "" << "" << false;
        QTest::newRow("xcb without a display") << "" << "" << "xcb" << "" << true;
        QTest::newRow("offscreen") << "" << "" << "offscreen" << "" << false;
        QTest::newRow("with options") << "" << "" << "vnc:size=800x600" << "" << false;
        QTest::newRow("fallback list") << "" << "" << "wayland;offscreen" << "" << false;
        QTest::newRow("argument") << "" << "" << "" << "minimal" << false;
        QTest::newRow("argument wins") << "" << "" << "offscreen" << "xcb" << true;
        QTest::newRow("prefix is no name") << "" << "" << "offscreenish" << "" << true;
    }
    void noDisplayIsToldInOneLine() {
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, platform);
        QFETCH(QString, argument);
        QFETCH(bool, refused);
        const std::map<std::string, std::string> environment{
            {"DISPLAY", display.toStdString()},
            {"WAYLAND_DISPLAY", wayland.toStdString()},
            {"QT_QPA_PLATFORM", platform.toStdString()}};
        const auto lookup = [&](const char* name) -> const char* {
            const auto it = environment.find(name);
            return it == environment.end() || it->second.empty() ? nullptr : it->second.c_str();
        };
        const std::string value = argument.toStdString();
        const char* argv[] = {"trevalon", "-platform", value.c_str()};
        const auto message = NoDisplayMessage(lookup, argument.isEmpty() ? 1 : 3, argv);
        QCOMPARE(message.has_value(), refused);
        if (message) {
            QVERIFY(message->find('\n') == std::string::npos);
            QVERIFY(message->find("xvfb-run") != std::string::npos);
            QVERIFY(message->find("desktop session") != std::string::npos);
        }
    }
};

QTEST_MAIN(WindowLookTest)
#include "window_look_test.moc"

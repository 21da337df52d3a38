// The about box: its fixed content, its window, and that there is only one.
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QtTest>

#include "net/site_address.h"
#include "shell/frmAbout.h"

using trevalon::shell::frmAbout;

namespace {

int LoadedBoxes() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += qobject_cast<frmAbout*>(w) != nullptr;
    return n;
}

// Closes the box as its close button does and lets its deletion happen.
void CloseBox(frmAbout* box) {
    QPointer<frmAbout> watched(box);
    QVERIFY(box->close());
    QTRY_VERIFY(watched.isNull());
}

const QString kLabel1 = QStringLiteral(
    "Trevalon is an application that will help you analyze the speed of your drive.  Some "
    "programs that require a lot of drive interaction may run slow on a slower drive, therefore "
    "you may wish to move them to a faster drive.  This application will help you to determine "
    "which drives are fast.");
const QString kLabel3 = QStringLiteral(
    "Trevalon includes 3 main speed comparisons, there is the Single Drive Detailed check, the "
    "multiple drive read/write comparison, and the multiple drive copy speed comparison.  To "
    "select the check you wish to perform, simple click the Check Drives menu and select the "
    "appropriate check to run.  Each check will require you to select one or more drives to "
    "check, then click a button (blue) to activate the test.  In a few moments time your results "
    "will be displayed.");

}  // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        if (frmAbout* box = frmAbout::Loaded()) CloseBox(box);
    }

    void labelsHaveTheirTextsAndPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QSize>("size");  // empty: sized to its one line
        QTest::addColumn<bool>("bold");
        const QString site = QString::fromStdString(trevalon::net::SiteBaseUrl());
        QTest::newRow("Label1") << "Label1" << kLabel1 << QPoint(4, 4) << QSize(411, 61) << false;
        QTest::newRow("Label2") << "Label2" << "To Use Trevalon:" << QPoint(4, 82) << QSize() << true;
        QTest::newRow("Label3") << "Label3" << kLabel3 << QPoint(4, 102) << QSize(411, 87) << false;
        QTest::newRow("Label4") << "Label4" << "If You Need Help You May Contact Us At:"
                                << QPoint(4, 202) << QSize() << true;
        QTest::newRow("Label5") << "Label5" << "Web: " + site << QPoint(4, 226) << QSize() << false;
        QTest::newRow("Label8") << "Label8" << "Mirrowin" << QPoint(252, 226) << QSize() << false;
        QTest::newRow("Label6") << "Label6" << QString() << QPoint(4, 242) << QSize() << false;
        QTest::newRow("Label9") << "Label9" << QString() << QPoint(252, 242) << QSize() << false;
        QTest::newRow("Label7") << "Label7" << QString() << QPoint(4, 258) << QSize() << false;
        QTest::newRow("Label10") << "Label10" << QString() << QPoint(252, 258) << QSize() << false;
        QTest::newRow("Label12") << "Label12" << QString() << QPoint(4, 274) << QSize() << false;
        QTest::newRow("Label11") << "Label11" << QString() << QPoint(252, 274) << QSize() << false;
    }
    void labelsHaveTheirTextsAndPlaces() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QPoint, place);
        QFETCH(QSize, size);
        QFETCH(bool, bold);
        frmAbout* box = frmAbout::ShowOrRaise();
        auto* label = box->findChild<QLabel*>(name);
        QVERIFY(label);
        if (!text.isEmpty()) QCOMPARE(label->text(), text);
        QVERIFY(!label->text().trimmed().isEmpty());
        QCOMPARE(label->pos(), place);
        QCOMPARE(label->font().bold(), bold);
        // 8.25 point at 96 dots per inch, like the twips layout.
        QCOMPARE(QFontInfo(label->font()).pixelSize(), 11);
        if (size.isValid()) {
            QCOMPARE(label->size(), size);
            QVERIFY(label->wordWrap());
            // The fallback font must still fit the text into the fixed box.
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                     qPrintable(QString::number(label->heightForWidth(label->width()))));
        } else {
            QVERIFY(!label->wordWrap());
            QCOMPARE(label->height(), 13);
            QVERIFY(label->width() >= label->sizeHint().width());
        }
        // Nothing runs out of the window.
        QVERIFY(box->rect().contains(label->geometry()));
    }

    void contactDetailsReachNoOne() {
        frmAbout* box = frmAbout::ShowOrRaise();
        // The two columns must not run into each other.
        for (QLabel* left : {box->Label5, box->Label6, box->Label7, box->Label12}) {
            QVERIFY2(left->geometry().right() < box->Label8->x(), qPrintable(left->text()));
        }
        QString domain = QString::fromStdString(trevalon::net::SiteHost()).section(':', 0, 0);
        if (domain.startsWith("www.")) domain.remove(0, 4);
        QCOMPARE(box->Label6->text(), "EMail: support@" + domain);
        QVERIFY(box->Label7->text().startsWith("Phone: "));
        QVERIFY2(QRegularExpression("555-01\\d\\d$").match(box->Label7->text()).hasMatch(),
                 qPrintable(box->Label7->text()));
    }

    void windowIsFixedWithACloseButtonOnly() {
        frmAbout* box = frmAbout::ShowOrRaise();
        QCOMPARE(box->windowTitle(), QStringLiteral("About Trevalon"));
        QCOMPARE(box->size(), QSize(420, 293));
        QCOMPARE(box->minimumSize(), box->maximumSize());
        const Qt::WindowFlags flags = box->windowFlags();
        // A tool window gets no task bar entry.
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
        QVERIFY(!box->isSizeGripEnabled());
        QVERIFY(!box->isModal());
        QVERIFY(box->parentWidget() == nullptr);
        // Liberation Sans stands in where MS Sans Serif is missing (its package is among ours).
        const QString shown = QFontInfo(box->font()).family();
        QVERIFY2(shown == "MS Sans Serif" || shown == "Liberation Sans", qPrintable(shown));
    }

    void thereIsOnlyOneBox() {
        QCOMPARE(LoadedBoxes(), 0);
        QVERIFY(frmAbout::Loaded() == nullptr);
        frmAbout* first = frmAbout::ShowOrRaise();
        QVERIFY(first->isVisible());
        QCOMPARE(frmAbout::ShowOrRaise(), first);
        QCOMPARE(LoadedBoxes(), 1);

        CloseBox(first);
        QVERIFY(frmAbout::Loaded() == nullptr);
        QCOMPARE(LoadedBoxes(), 0);

        frmAbout* again = frmAbout::ShowOrRaise();
        QVERIFY(again->isVisible());
        QCOMPARE(again->Label1->text(), kLabel1);
        QCOMPARE(LoadedBoxes(), 1);
    }

    // A command right after the close, before the event loop has destroyed the closed box.
    void commandRightAfterCloseGivesAFreshBox() {
        QPointer<frmAbout> first(frmAbout::ShowOrRaise());
        QVERIFY(first->close());
        frmAbout* again = frmAbout::ShowOrRaise();
        QVERIFY(first.isNull());
        QVERIFY(again->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(frmAbout::Loaded(), again);
        QCOMPARE(LoadedBoxes(), 1);
    }
};

QTEST_MAIN(TestFrmAbout)
#include "frm_about_test.moc"

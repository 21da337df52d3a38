// The about box: its fixed content, its window, and that there is only one.
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QtTest>

#include "form_check.h"
#include "forms/windows.h"
#include "look/form_widgets.h"
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

const trevalon::forms::Form& Table() { return trevalon::forms::AboutForm(); }

}  // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        if (frmAbout* box = frmAbout::Loaded()) CloseBox(box);
    }

    void labelsHaveTheirTextsAndPlaces() {
        frmAbout* box = frmAbout::ShowOrRaise();
        const QStringList faults = trevalon::testsupport::FormFaults(*box, Table());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        for (const trevalon::forms::Control& control : Table().controls) {
            auto* label = box->findChild<QLabel*>(trevalon::look::ObjectName(control));
            QVERIFY(!label->text().trimmed().isEmpty());
            // 8.25 point at 96 dots per inch, like the twips layout.
            QCOMPARE(QFontInfo(label->font()).pixelSize(), 11);
            // The fallback font must still fit the text into the fixed box.
            if (label->wordWrap()) {
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                         qPrintable(QString::number(label->heightForWidth(label->width()))));
            }
            // Nothing runs out of the window.
            QVERIFY(box->rect().contains(label->geometry()));
        }
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
        QCOMPARE(box->windowTitle(), trevalon::look::Text(Table().caption));
        QCOMPARE(box->size(), trevalon::look::ClientSize(Table()));
        QVERIFY(!Table().showInTaskbar && !Table().minButton && !Table().maxButton);
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
        QCOMPARE(again->Label1->text(), trevalon::look::Text(Table().Get("Label1").caption));
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

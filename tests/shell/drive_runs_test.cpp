// The drive tests run from the panels' buttons on real directories, the
// guards around a running test, and the program's end in the middle of one.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>
#include <stdexcept>

#include "bench/run_error.h"
#include "bench/stop_signals.h"
#include "errors/frm_errors.h"
#include "errors/hand_off.h"
#include "shell/error_trap.h"
#include "shell/main_window.h"
#include "shell/stop_requests.h"

using trevalon::shell::DriveEntries;
using trevalon::shell::frmDriveSpeed;

namespace {

DriveEntries EntriesFor(const QStringList& directories) {
    DriveEntries drives;
    for (const QString& directory : directories) drives.entries.append(directory + " [test]");
    drives.current = 0;
    return drives;
}

bool HoldsScratchFiles(const QString& directory) {
    return QFileInfo::exists(directory + "/DriveSpeedTest.txt") ||
           QFileInfo::exists(directory + "/DriveSpeedTest2.txt");
}

// Calls `step` from the event loop every few milliseconds until it returns true.
class Poller : public QObject {
public:
    explicit Poller(std::function<bool()> step) : step_(std::move(step)) {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (step_()) timer_.stop();
        });
        timer_.start();
    }

private:
    std::function<bool()> step_;
    QTimer timer_;
};

struct MessageSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Information;
    int buttons = 0;
    bool seen = false;
};

}  // namespace

class DriveRunsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    // One full check: its nine slots, the guards while it runs, and the hidden
    // panel that goes on showing its results.
    void singleDriveCheckFromItsButtonFillsTheNineSlots() {
        QTemporaryDir scratch, other;
        QVERIFY(scratch.isValid() && other.isValid());
        frmDriveSpeed window(EntriesFor({scratch.path(), other.path()}));
        window.drvCompare[0]->setCurrentIndex(1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        bool checkedDuringRun = false;
        bool buttonsDisabled = false;
        Poller duringRun([&] {
            if (!window.TestRunning()) return false;
            checkedDuringRun = true;
            buttonsDisabled = !window.cmdCheckSpeed->isEnabled() &&
                              !window.cmdCompareDrives->isEnabled() &&
                              !window.cmdCopyComparison->isEnabled();
            // A second run on the same scratch files would spoil both: refused.
            window.cmdCompareDrives_Click();
            window.cmdCheckSpeed_Click();
            // The menus stay live: another panel comes to the front mid-run.
            window.mnuDriveSpeedComparison->trigger();
            return true;
        });

        QTest::mouseClick(window.cmdCheckSpeed, Qt::LeftButton);

        QVERIFY(checkedDuringRun);
        QVERIFY(buttonsDisabled);
        QVERIFY(window.fraDriveSpeedComparison->isVisible());
        QVERIFY(!window.fraStandardSingleDrive->isVisible());
        QCOMPARE(window.lblCompareStatus->text(), QStringLiteral("Please Choose The Drives To Compare"));
        QVERIFY(!HoldsScratchFiles(other.path()));

        window.mnuSingleDriveDetailedCheck->trigger();
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Done"));
        for (int i = 0; i < 9; ++i) {
            const QString text = window.lblStatusBar[i]->text();
            const bool speed = i == 4 || i == 5;
            QVERIFY2(text.endsWith(speed ? " KB/sec" : " seconds"), qPrintable(text));
            if (!speed) QVERIFY2(text.contains(QRegularExpression("^\\d+\\.\\d{3} ")), qPrintable(text));
        }
        // The overall write speed on a real disk always fills some of its bar.
        QVERIFY(window.pctStatusBarDetail[4]->width() >= 1);
        QVERIFY(!HoldsScratchFiles(scratch.path()));
        QVERIFY(window.cmdCheckSpeed->isEnabled());
        QVERIFY(window.cmdCompareDrives->isEnabled());
        QVERIFY(window.cmdCopyComparison->isEnabled());
    }

    void comparisonAndCopyRunFromTheirButtons() {
        QTemporaryDir source, destination;
        QVERIFY(source.isValid() && destination.isValid());
        DriveEntries drives = EntriesFor({source.path(), destination.path()});
        drives.entries.append(QString());  // names no drive: skipped
        frmDriveSpeed window(drives);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int list = 1; list < 4; ++list) window.drvCompare[list]->setCurrentIndex(2);
        window.drvCopy[1]->setCurrentIndex(1);
        window.drvCopy[2]->setCurrentIndex(2);
        window.drvCopy[3]->setCurrentIndex(2);

        bool copyRefused = false;
        Poller duringComparison([&] {
            if (!window.TestRunning()) return false;
            copyRefused = !window.cmdCopyComparison->isEnabled();
            window.cmdCopyComparison_Click();
            return true;
        });
        window.mnuDriveSpeedComparison->trigger();
        QTest::mouseClick(window.cmdCompareDrives, Qt::LeftButton);
        QVERIFY(copyRefused);
        QCOMPARE(window.lblCopyStatus->text(), QStringLiteral("Please Choose The Drives To Test"));
        QCOMPARE(window.lblCompareStatus->text(), QStringLiteral("Comparison Complete"));
        QVERIFY(window.lblCompareSeconds[0]->text().endsWith(" KB/sec"));
        QVERIFY(window.lblCompareSeconds[1]->text().endsWith(" KB/sec"));
        QVERIFY(window.lblCompareSeconds[2]->text().isEmpty());
        QVERIFY(window.cmdCompareDrives->isEnabled());

        window.mnuMultiDriveCopyCheck->trigger();
        QTest::mouseClick(window.cmdCopyComparison, Qt::LeftButton);
        QCOMPARE(window.lblCopyStatus->text(), QStringLiteral("Drive Copy Test Complete"));
        QVERIFY2(window.lblCopySeconds[0]->text().endsWith(" seconds"),
                 qPrintable(window.lblCopySeconds[0]->text()));
        QVERIFY(!HoldsScratchFiles(source.path()));
        QVERIFY(!HoldsScratchFiles(destination.path()));
        QVERIFY(window.cmdCopyComparison->isEnabled());
        QVERIFY(window.cmdCheckSpeed->isEnabled());
    }

    // Ctrl+U during a run changes the next run only; while on, the texts
    // naming a drive end with the mark and the rest stay as they are.
    void uncachedCommandMarksTheNextRunsDriveTexts() {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        frmDriveSpeed window(EntriesFor({scratch.path()}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.mnuUncached->isChecked());
        window.mnuDriveSpeedComparison->trigger();

        QStringList seen;
        bool toggle = true;
        Poller watch([&] {
            if (!window.TestRunning()) return false;
            const QString status = window.lblCompareStatus->text();
            // Only the texts that name a drive, each once.
            if (status.startsWith("Testing Drive: ") && !seen.contains(status)) seen << status;
            if (toggle) QTest::keyClick(&window, Qt::Key_U, Qt::ControlModifier);
            toggle = false;
            return false;
        });
        const QString drive = "Testing Drive: " + scratch.path() + "/";
        QTest::mouseClick(window.cmdCompareDrives, Qt::LeftButton);
        QVERIFY(window.mnuUncached->isChecked());
        QCOMPARE(seen, QStringList{drive});
        QCOMPARE(window.lblCompareStatus->text(), QStringLiteral("Comparison Complete"));

        seen.clear();
        QTest::mouseClick(window.cmdCompareDrives, Qt::LeftButton);
        QCOMPARE(seen, QStringList{drive + " (uncached)"});
        QCOMPARE(window.lblCompareStatus->text(), QStringLiteral("Comparison Complete"));
        QVERIFY2(window.lblCompareSeconds[0]->text().endsWith(" KB/sec"),
                 qPrintable(window.lblCompareSeconds[0]->text()));

        window.mnuUncached->trigger();
        QVERIFY(!window.mnuUncached->isChecked());
        seen.clear();
        window.mnuMultiDriveCopyCheck->trigger();
        QTest::mouseClick(window.cmdCopyComparison, Qt::LeftButton);
        QVERIFY(!window.lblCopyStatus->text().contains("uncached"));
        QCOMPARE(window.lblCopyStatus->text(), QStringLiteral("Drive Copy Test Complete"));
    }

    void driveMessageIsAModalBoxTitledTrevalon() {
        QTemporaryDir parent;
        const QString missing = parent.path() + "/gone";
        frmDriveSpeed window(EntriesFor({missing}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        MessageSeen message;
        Poller answer([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return false;
            message = {box->windowTitle(), box->text(), box->icon(),
                       static_cast<int>(box->buttons().size()), true};
            box->button(QMessageBox::Ok)->click();
            return true;
        });
        QTest::mouseClick(window.cmdCheckSpeed, Qt::LeftButton);

        QVERIFY(message.seen);
        QCOMPARE(message.title, QStringLiteral("Trevalon"));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(message.buttons, 1);
        QCOMPARE(message.text, QStringLiteral("I am unable to access ") + missing +
                                   QStringLiteral("/, please ensure that the drive has a "
                                                  "writable disk inserted."));
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Drive Error"));
        QVERIFY(window.cmdCheckSpeed->isEnabled());
    }

    void handlersHandTheirErrorsToTheErrorWindow() {
        trevalon::shell::TrapErrors(12, [] { throw std::runtime_error("panel gone"); });
        trevalon::errors::frmErrors* errors = trevalon::errors::ExistingErrorWindow();
        QVERIFY(errors != nullptr);
        QVERIFY(errors->isVisible());
        QCOMPARE(errors->ErrorLocation, 12);
        QCOMPARE(errors->ErrorNumber, 51);
        QCOMPARE(errors->ErrorDescription, std::string("panel gone"));

        trevalon::shell::TrapErrors(
            18, [] { throw trevalon::bench::RunTimeError(75, "Path/File access error"); });
        QCOMPARE(errors->ErrorLocation, 18);
        QCOMPARE(errors->ErrorNumber, 75);
        QCOMPARE(errors->ErrorDescription, std::string("Path/File access error"));
        errors->hide();
    }

    // Exit during a test: every window goes at once, the run stops at its
    // next yield and removes its files, and the event loop ends.
    void exitDuringATestEndsTheProgramAndCleansUp() { endDuringATest(Ending::kExit); }
    void closingDuringATestEndsTheProgramAndCleansUp() { endDuringATest(Ending::kClose); }
    // The handlers stay installed in this process afterwards.
    void stopSignalDuringATestEndsTheProgramAndCleansUp() {
        trevalon::shell::EndProgramOnStopRequests();
        endDuringATest(Ending::kSignal);
        QCOMPARE(trevalon::bench::StopSignalNumber(), SIGTERM);
        QCOMPARE(trevalon::bench::StopSignalExitStatus(), 128 + SIGTERM);
    }

    void exitWithoutATestClosesEveryWindow() {
        frmDriveSpeed window(EntriesFor({QDir::tempPath()}));
        window.show();
        QWidget aboutBox;
        aboutBox.show();
        trevalon::errors::HandOffError(5, 7, "left open");
        QVERIFY(trevalon::errors::ExistingErrorWindow()->isVisible());
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTimer::singleShot(0, &window, [&] { QTest::keyClick(&window, Qt::Key_E, Qt::ControlModifier); });
        QTimer::singleShot(20000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window.isVisible());
        QVERIFY(!aboutBox.isVisible());
        QVERIFY(!trevalon::errors::ExistingErrorWindow()->isVisible());
        QVERIFY(window.ClosingRequested());
    }

private:
    enum class Ending { kExit, kClose, kSignal };

    // Ended while a step runs: the window thread takes the request at once.
    void endDuringATest(Ending ending) {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        frmDriveSpeed window(EntriesFor({scratch.path()}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget aboutBox;  // stands for any other window of the program
        aboutBox.show();

        bool handlerReturned = false;
        bool filesWhenEnded = false;
        QElapsedTimer requested;
        qint64 msToEnd = -1;
        QTimer::singleShot(0, &window, [&] {
            window.cmdCheckSpeed->click();
            msToEnd = requested.elapsed();
            handlerReturned = true;
        });
        Poller ender([&] {
            // The large file's read is shown: the 3-second write has begun.
            if (window.lblStatusBar[3]->text().isEmpty()) return false;
            if (!HoldsScratchFiles(scratch.path())) return false;
            filesWhenEnded = true;
            requested.start();
            switch (ending) {
                case Ending::kExit: window.mnuExit->trigger(); break;
                case Ending::kClose: window.close(); break;
                case Ending::kSignal: std::raise(SIGTERM); break;
            }
            return true;
        });
        QTimer::singleShot(60000, [] { QCoreApplication::exit(99); });

        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(filesWhenEnded);
        QVERIFY(handlerReturned);
        // The time-boxed write is abandoned, not finished first.
        QVERIFY2(msToEnd >= 0 && msToEnd < 1000, qPrintable(QString::number(msToEnd)));
        QVERIFY(window.lblStatusBar[4]->text().isEmpty());
        QVERIFY(!window.isVisible());
        QVERIFY(!aboutBox.isVisible());
        QVERIFY(!HoldsScratchFiles(scratch.path()));
        // The run ended where it was: the last slots never got a figure.
        QVERIFY(window.lblStatusBar[8]->text().isEmpty());
        QVERIFY(window.lblStatus->text().startsWith("Testing Drive: "));
    }
};

QTEST_MAIN(DriveRunsTest)
#include "drive_runs_test.moc"

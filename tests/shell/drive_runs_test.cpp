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
#include <cstdio>
#include <functional>
#include <vector>
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

    void initTestCase() { trevalon::shell::EndProgramOnStopRequests(); }

    // Every way of ending the program, at each moment of the three tests:
    // every window goes within a second, the step is abandoned (its figure
    // never shown) and the folders are as they were.
    void endingDuringATestEndsTheProgramAndLeavesTheFoldersAsTheyWere() {
        const std::vector<Ending> endings = {
            {"Exit", [](frmDriveSpeed& w) { w.mnuExit->trigger(); }, 0},
            {"close", [](frmDriveSpeed& w) { w.close(); }, 0},
            {"SIGTERM", [](frmDriveSpeed&) { std::raise(SIGTERM); }, SIGTERM},
            {"SIGHUP", [](frmDriveSpeed&) { std::raise(SIGHUP); }, SIGHUP},
            {"SIGINT", [](frmDriveSpeed&) { std::raise(SIGINT); }, SIGINT},
            {"session end", [](frmDriveSpeed&) { trevalon::shell::EndProgramAtSessionEnd(); }, 0},
        };
        const auto slot = [](std::array<QLabel*, 9> frmDriveSpeed::*labels, int index) {
            return [=](frmDriveSpeed& w) { return !((w.*labels)[index]->text().isEmpty()); };
        };
        const auto status = [](QLabel* frmDriveSpeed::*label, const char* prefix) {
            return [=](frmDriveSpeed& w) { return (w.*label)->text().startsWith(prefix); };
        };
        const auto compared = [](frmDriveSpeed& w) { return !w.lblCompareSeconds[0]->text().isEmpty(); };
        const auto single = &frmDriveSpeed::lblStatusBar;
        const std::vector<Moment> moments = {
            {"check: small write", Test::kSingle, status(&frmDriveSpeed::lblStatus, "Testing Drive: "), 0},
            {"check: between steps", Test::kSingle, slot(single, 0), 1},
            {"check: time-boxed write", Test::kSingle, slot(single, 3), 4},
            {"check: read-back", Test::kSingle, slot(single, 4), 5},
            {"check: copy", Test::kSingle, slot(single, 7), 6},
            {"compare: time-boxed write", Test::kCompare, status(&frmDriveSpeed::lblCompareStatus, "Testing Drive: "), 0},
            {"compare: read-back", Test::kCompare, compared, 1},
            {"copy: copy test file write", Test::kCopy, status(&frmDriveSpeed::lblCopyStatus, "Creating"), 0},
            {"copy: copy", Test::kCopy, status(&frmDriveSpeed::lblCopyStatus, "Copying To Drive: "), 0},
        };
        for (const Moment& moment : moments) {
            for (const Ending& ending : endings) endDuringATest(moment, ending);
        }
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
    enum class Test { kSingle, kCompare, kCopy };
    struct Ending {
        const char* name;
        std::function<void(frmDriveSpeed&)> request;
        int signal;  // the exit status is 128 + this, when set
    };
    struct Moment {
        const char* name;
        Test test;
        std::function<bool(frmDriveSpeed&)> reached;
        int abandonedSlot;  // of the test's figures
    };

    // The 3-second write window passes in a tenth of that: the table stays short.
    class FastClock final : public trevalon::bench::Clock {
    public:
        double Now() override { return 10 * host_.Now(); }
        double Tick() override { return 10 * host_.Tick(); }

    private:
        trevalon::bench::SteadyClock host_;
    };

    // A tmpfs where there is one: the time-boxed write fills it quickly.
    static QString ScratchTemplate() {
        const QFileInfo shm(QStringLiteral("/dev/shm"));
        const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
        return base + QStringLiteral("/trevalon-drive-runs-XXXXXX");
    }

    // A file of the user's own in the folder, to see that nothing else changes.
    static QStringList FolderState(const QString& directory) {
        QStringList state;
        for (const QFileInfo& file : QDir(directory).entryInfoList(QDir::Files | QDir::Hidden)) {
            QFile content(file.filePath());
            (void)content.open(QIODevice::ReadOnly);
            state << file.fileName() + ":" + QString::number(file.size()) + ":" +
                         file.lastModified().toString(Qt::ISODateWithMs) + ":" +
                         QString::fromLatin1(content.readAll().toHex());
        }
        return state;
    }

    static QLabel* AbandonedLabel(frmDriveSpeed& window, const Moment& moment) {
        switch (moment.test) {
            case Test::kSingle: return window.lblStatusBar[static_cast<std::size_t>(moment.abandonedSlot)];
            case Test::kCompare: return window.lblCompareSeconds[static_cast<std::size_t>(moment.abandonedSlot)];
            case Test::kCopy: break;
        }
        return window.lblCopySeconds[static_cast<std::size_t>(moment.abandonedSlot)];
    }

    void endDuringATest(const Moment& moment, const Ending& ending) {
        const QByteArray row = QByteArray(moment.name) + ", " + ending.name;
        QTemporaryDir source(ScratchTemplate()), destination(ScratchTemplate());
        QVERIFY2(source.isValid() && destination.isValid(), row);
        for (const QTemporaryDir* dir : {&source, &destination}) {
            QFile mine(dir->filePath(QStringLiteral("notes.txt")));
            QVERIFY2(mine.open(QIODevice::WriteOnly) && mine.write("kept as it is\r\n") > 0, row);
        }
        const QStringList before[] = {FolderState(source.path()), FolderState(destination.path())};
        DriveEntries drives = EntriesFor({source.path(), destination.path()});
        drives.entries.append(QString());  // names no drive
        frmDriveSpeed window(drives);
        FastClock clock;
        window.MeasureWith(clock);
        for (int list = 1; list < 4; ++list) window.drvCompare[list]->setCurrentIndex(2);
        window.drvCopy[0]->setCurrentIndex(0);
        window.drvCopy[1]->setCurrentIndex(1);
        for (int list = 2; list < 4; ++list) window.drvCopy[list]->setCurrentIndex(2);
        window.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&window), row);
        QWidget aboutBox;  // stands for any other window of the program
        aboutBox.show();
        trevalon::bench::ForgetStopSignals();

        bool reached = false;
        QElapsedTimer requested;
        qint64 msToHandlerEnd = -1;
        QPushButton* button = moment.test == Test::kSingle    ? window.cmdCheckSpeed
                              : moment.test == Test::kCompare ? window.cmdCompareDrives
                                                              : window.cmdCopyComparison;
        QTimer::singleShot(0, &window, [&] {
            button->click();
            msToHandlerEnd = requested.isValid() ? requested.elapsed() : -1;
        });
        QTimer poll;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, &window, [&] {
            if (!window.TestRunning() || !moment.reached(window)) return;
            poll.stop();
            reached = true;
            requested.start();
            ending.request(window);
        });
        poll.start();
        QTimer guard;  // this row's own: a later row must not hear it
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(60000);

        QCOMPARE(QApplication::exec(), 0);
        const qint64 msToEnd = requested.isValid() ? requested.elapsed() : -1;
        QVERIFY2(reached, row);
        QVERIFY2(msToHandlerEnd >= 0 && msToEnd < 1000, row + " took " + QByteArray::number(msToEnd));
        QVERIFY2(AbandonedLabel(window, moment)->text().isEmpty(), row);
        for (const QLabel* label : {window.lblStatus, window.lblCompareStatus, window.lblCopyStatus}) {
            QVERIFY2(label->text() != "Done" && !label->text().endsWith("Complete"), row);
        }
        QVERIFY2(!window.isVisible() && !aboutBox.isVisible(), row);
        QCOMPARE(FolderState(source.path()), before[0]);
        QCOMPARE(FolderState(destination.path()), before[1]);
        if (ending.signal != 0) {
            QCOMPARE(trevalon::bench::StopSignalExitStatus(), 128 + ending.signal);
        }
        std::printf("%s: ended %lld ms after the request\n", row.constData(),
                    static_cast<long long>(msToEnd));
    }
};

QTEST_MAIN(DriveRunsTest)
#include "drive_runs_test.moc"

// Copy Results on a real X server: the text each panel's last run leaves
// reaches the X clipboard, where another program (xclip) reads it.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/clock.h"
#include "bench/result_slots.h"
#include "bench/run_error.h"
#include "errors/frm_errors.h"
#include "errors/hand_off.h"
#include "shell/main_window.h"

using trevalon::shell::DriveEntries;
using trevalon::shell::frmDriveSpeed;

namespace {

constexpr int kSkipped = 77;

// What another program on the display reads from the clipboard.
QString ClipboardSeenByXclip() {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"});
    // The window must keep serving the selection while xclip asks for it.
    if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000)) return {};
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

QStringList CopiedLines(frmDriveSpeed& window) {
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
    return ClipboardSeenByXclip().split('\n');
}

// The bytes a copied result line gives, -1 for none.
qint64 BytesOf(const QString& line) {
    static const QRegularExpression moved(QStringLiteral(R"(\((\S+) bytes, \S+ MB/s\)$)"));
    const QRegularExpressionMatch match = moved.match(line);
    if (!match.hasMatch()) return -1;
    return match.captured(1).remove(QLocale().groupSeparator()).toLongLong();
}

// Answers the run's message box as a user would.
void PressOkOnTheMessageBox() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        box->button(QMessageBox::Ok)->click();
        timer->deleteLater();
    });
    timer->start(10);
}

// Its first reading fails as a drive's I/O error would.
class FailingClock final : public trevalon::bench::Clock {
public:
    double Now() override { throw trevalon::bench::RunTimeError(57, "Device I/O error"); }
    double Tick() override { return 1e-9; }
};

}  // namespace

class CopyResultsOnX11 : public QObject {
    Q_OBJECT

private slots:
    // An uncached check, then a cached comparison: each panel copies its own
    // run's mode, its figures as shown and the bytes its steps moved.
    void eachPanelCopiesItsOwnRunsModeFiguresAndBytes() {
        QTemporaryDir scratch;
        DriveEntries drives;
        drives.entries = {scratch.path() + " [test]"};
        drives.current = 0;
        frmDriveSpeed window(drives);
        window.show();
        window.activateWindow();  // no window manager gives it the focus
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
        const QStringList empty = ClipboardSeenByXclip().split('\n');
        QCOMPARE(empty.size(), 3);  // two lines and the final line feed
        QVERIFY2(empty[0].startsWith("Trevalon 1.5.5, ") && empty[0].endsWith(", cached"),
                 qPrintable(empty[0]));
        QCOMPARE(empty[1], QStringLiteral("No results yet"));

        QTest::keyClick(&window, Qt::Key_U, Qt::ControlModifier);
        QTest::mouseClick(window.cmdCheckSpeed, Qt::LeftButton);
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Done"));
        QTest::keyClick(&window, Qt::Key_U, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_D, Qt::ControlModifier);
        QTest::mouseClick(window.cmdCompareDrives, Qt::LeftButton);
        QCOMPARE(window.lblCompareStatus->text(), QStringLiteral("Comparison Complete"));
        const QStringList compared = CopiedLines(window);
        QVERIFY2(compared.size() == 6 && compared[0].endsWith(", cached"), qPrintable(compared.join('\n')));
        QVERIFY2(BytesOf(compared[2]) > 0 && BytesOf(compared[3]) == BytesOf(compared[2]),
                 qPrintable(compared.join('\n')));

        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QStringList lines = CopiedLines(window);
        const QString text = lines.join('\n');
        QVERIFY2(lines.size() == 13, qPrintable(text));
        QCOMPARE(lines[0].left(16), empty[0].left(16));
        QVERIFY2(lines[0].endsWith(", uncached"), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith("Drive: " + scratch.path() + "/ ("), qPrintable(lines[1]));
        for (int slot = 0; slot < 9; ++slot) {
            const auto info = trevalon::bench::Slot(trevalon::bench::TestKind::kSingleDriveCheck, slot);
            const QString shown = window.lblStatusBar[slot]->text();
            QVERIFY(!shown.isEmpty());
            const QString expected = QString::fromUtf8(info.label.data(), info.label.size()) + " " + shown;
            QVERIFY2(lines[2 + slot].startsWith(expected), qPrintable(lines[2 + slot]));
            const bool lookups = slot == 7;
            QCOMPARE(lines[2 + slot].endsWith(" MB/s)"), !lookups);
        }
        // The files' real sizes: 1,024,000 and 10,240,000 short lines, then
        // the fill lines the timed write began, copied and deleted with its copy.
        const qint64 filled = BytesOf(lines[2 + 4]);
        const qint64 expected[] = {3072000, 3072000, 30720000, 30720000, filled, filled, filled, -1, 2 * filled};
        for (int slot = 0; slot < 9; ++slot) QCOMPARE(BytesOf(lines[2 + slot]), expected[slot]);
        QVERIFY(filled > 0 && filled % 1026 == 0);
        QCOMPARE(lines[11], QStringLiteral("Done"));
    }

    // A failed run copies what the user was shown and the drive it concerns.
    void failedRunsCopyTheMessageShownWithItsDrive() {
        QTemporaryDir scratch;
        const QString missing = scratch.path() + "/gone";
        DriveEntries drives;
        drives.entries = {missing + " [test]", scratch.path() + " [test]"};
        drives.current = 0;
        frmDriveSpeed window(drives);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        PressOkOnTheMessageBox();
        QTest::mouseClick(window.cmdCheckSpeed, Qt::LeftButton);
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Drive Error"));
        QStringList lines = CopiedLines(window);
        QVERIFY2(lines.size() == 5, qPrintable(lines.join('\n')));
        QVERIFY2(lines[1].startsWith("Drive: " + missing + "/ ("), qPrintable(lines[1]));
        QCOMPARE(lines[2], "Message about Drive " + missing + "/: I am unable to access " + missing +
                               "/, please ensure that the drive has a writable disk inserted.");
        QCOMPARE(lines[3], QStringLiteral("Drive Error"));

        FailingClock failing;
        window.MeasureWith(failing);
        window.Drive1->setCurrentIndex(1);
        QTest::mouseClick(window.cmdCheckSpeed, Qt::LeftButton);
        trevalon::errors::frmErrors* errors = trevalon::errors::ExistingErrorWindow();
        QVERIFY(errors != nullptr && errors->isVisible());
        errors->hide();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        lines = CopiedLines(window);
        QVERIFY2(lines.size() == 5, qPrintable(lines.join('\n')));
        QCOMPARE(lines[2], "Error window about Drive " + scratch.path() +
                               "/: Error Number: 57, Error Location: 6, Error Description: Device "
                               "I/O error Position: 2");
        QCOMPARE(lines[3], "Testing Drive: " + scratch.path() + "/");
    }
};

int main(int argc, char** argv) {
    if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty()) {
        std::puts("SKIP: xclip is not installed");
        return kSkipped;
    }
    int ready[2];
    if (pipe(ready) != 0) return 1;
    const pid_t server = fork();
    if (server == 0) {
        close(ready[0]);
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    char number[16] = {};
    pollfd wait{ready[0], POLLIN, 0};
    const bool started = server > 0 && poll(&wait, 1, 15000) == 1 &&
                         read(ready[0], number, sizeof number - 1) > 0;
    if (!started) {
        std::puts("SKIP: Xvfb could not be started, so there is no X clipboard to test");
        if (server > 0) kill(server, SIGTERM);
        return kSkipped;
    }
    setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        CopyResultsOnX11 test;
        result = QTest::qExec(&test, argc, argv);
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    return result;
}

#include "x11_copy_results_test.moc"

// Copy Results on a real X server: the text a check leaves on the panel
// reaches the X clipboard, where another program (xclip) reads it.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/result_slots.h"
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

}  // namespace

class CopyResultsOnX11 : public QObject {
    Q_OBJECT

private slots:
    void checkThenCtrlCCopiesAllNineFiguresAsShown() {
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

        QTest::mouseClick(window.cmdCheckSpeed, Qt::LeftButton);
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Done"));
        QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
        const QString text = ClipboardSeenByXclip();
        QStringList lines = text.split('\n');
        QVERIFY2(lines.size() == 13, qPrintable(text));
        QCOMPARE(lines[0].left(16), empty[0].left(16));
        QVERIFY2(lines[1].startsWith("Drive: " + scratch.path() + "/ ("), qPrintable(lines[1]));
        for (int slot = 0; slot < 9; ++slot) {
            const auto info = trevalon::bench::Slot(trevalon::bench::TestKind::kSingleDriveCheck, slot);
            const QString shown = window.lblStatusBar[slot]->text();
            QVERIFY(!shown.isEmpty());
            const QString expected = QString::fromUtf8(info.label.data(), info.label.size()) + " " + shown;
            QVERIFY2(lines[2 + slot].startsWith(expected), qPrintable(lines[2 + slot]));
            const bool speed = slot == 4 || slot == 5;
            QCOMPARE(lines[2 + slot].endsWith(" MB/s)"), speed);
        }
        QCOMPARE(lines[11], QStringLiteral("Done"));
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

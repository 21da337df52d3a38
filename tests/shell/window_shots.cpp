// Photographs every window of the program, one at a time, as the X server
// shows it (import -window root), so that two builds can be compared pixel by
// pixel. Fixed drive entries and error values keep the pictures repeatable.
//   xvfb-run -a -s "-screen 0 1024x768x24" shell_window_shots OUTDIR
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <functional>

#include "errors/frm_errors.h"
#include "errors/hand_off.h"
#include "shell/frmAbout.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "update/frmNewRelease.h"

using namespace trevalon;

namespace {

bool Shoot(QWidget& window, const QString& path) {
    window.show();
    window.raise();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QTest::qWait(300);  // let it paint
    const int status = QProcess::execute(QStringLiteral("import"), {"-window", "root", path});
    window.hide();
    QTest::qWait(100);
    return status == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    int failures = 0;
    const auto shot = [&](QWidget& window, const char* name) {
        if (!Shoot(window, out.filePath(QString::fromLatin1(name) + ".png"))) {
            std::fprintf(stderr, "no picture of %s\n", name);
            ++failures;
        }
    };

    shell::frmSplash splash;
    splash.tmrInitializeApp->stop();
    shot(splash, "frmSplash");

    shell::frmDriveSpeed main(shell::DriveEntries{{"/ [vda]", "/tmp [tmpfs]"}, 0, {}});
    shot(main, "frmDriveSpeed-single");
    main.mnuDriveSpeedComparison_Click();
    shot(main, "frmDriveSpeed-comparison");
    main.mnuMultiDriveCopyCheck_Click();
    shot(main, "frmDriveSpeed-copy");

    errors::HandOffError(-53, 6, "File not found Position: 4");
    if (errors::frmErrors* window = errors::ExistingErrorWindow()) shot(*window, "frmErrors");

    update::frmNewRelease& notice = update::LoadNewRelease();
    notice.txtNewVersion->setPlainText(QStringLiteral("Version 1.5.6\n\nFaster drive lists."));
    shot(notice, "frmNewRelease");

    shell::frmAbout* about = shell::frmAbout::ShowOrRaise();
    shot(*about, "frmAbout");
    return failures == 0 ? 0 : 1;
}

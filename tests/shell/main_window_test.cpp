// The main window: its layout, its menus, its panels and its drive lists.
#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QtTest>
#include <cmath>
#include <limits>
#include <optional>

#include "bench/drive_root.h"
#include "forms/windows.h"
#include "look/form_widgets.h"
#include "shell/main_window.h"
#include "form_check.h"

using trevalon::shell::DriveEntries;
using trevalon::shell::frmDriveSpeed;

namespace {

using trevalon::forms::DriveSpeedForm;
using trevalon::look::PixelRect;

DriveEntries TwoEntries() { return {{"/first [one]", "/second [two]"}, 1, {}}; }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowIsFixedWithItsCaptionAndClientArea() {
        frmDriveSpeed window(TwoEntries());
        const trevalon::forms::Form& form = DriveSpeedForm();
        QCOMPARE(window.windowTitle(), trevalon::look::Text(form.caption));
        QCOMPARE(window.centralWidget()->size(), trevalon::look::ClientSize(form));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(bool(window.windowFlags() & Qt::WindowMaximizeButtonHint), form.maxButton);
        QCOMPARE(bool(window.windowFlags() & Qt::WindowMinimizeButtonHint), form.minButton);
        QCOMPARE(bool(window.windowFlags() & Qt::WindowCloseButtonHint), form.controlBox);
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(window.windowIcon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    }

    // Every control of the three panels, read from the table.
    void everyControlSitsAtItsPlaceWithItsText() {
        frmDriveSpeed window(TwoEntries());
        const QStringList faults =
            trevalon::testsupport::FormFaults(*window.centralWidget(), DriveSpeedForm());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // Each panel's view reaches the slot of the same index in the table.
    void panelViewsReachTheTablesSlots() {
        frmDriveSpeed window(TwoEntries());
        trevalon::shell::PanelView* views[] = {&window.SingleDriveView(), &window.ComparisonView(),
                                               &window.CopyView()};
        const auto& panels = trevalon::forms::Panels();
        for (std::size_t p = 0; p < panels.size(); ++p) {
            const auto& names = panels[p];
            const auto results = DriveSpeedForm().Array(names.result);
            for (std::size_t i = 0; i < results.size(); ++i) {
                const QString text = QStringLiteral("%1 of %2").arg(i).arg(p);
                views[p]->SetResultText(static_cast<int>(i), text.toStdString());
                views[p]->SetBarWidth(static_cast<int>(i), 150.0F * static_cast<float>(i + 1));
                auto* label = window.findChild<QLabel*>(trevalon::look::ObjectName(*results[i]));
                QCOMPARE(label->text(), text);
                auto* bar = window.findChild<QWidget*>(
                    trevalon::look::ObjectName(*DriveSpeedForm().Array(names.bar)[i]));
                QCOMPARE(bar->width(), static_cast<int>(10 * (i + 1)));
            }
            views[p]->SetStatusText("status");
            QCOMPARE(window.findChild<QLabel*>(trevalon::look::Text(names.status))->text(),
                     QStringLiteral("status"));
        }
        QCOMPARE(window.lblStatusBar[8]->objectName(), QStringLiteral("lblStatusBar_8"));
        QCOMPARE(window.drvCopy[3]->objectName(), QStringLiteral("drvCopy_3"));
    }

    void fontsAndColoursFollowTheControlKinds() {
        frmDriveSpeed window(TwoEntries());
        const QStringList twins{"MS Sans Serif", "Liberation Sans"};
        QVERIFY(twins.contains(QFontInfo(window.lblStatus->font()).family()));
        QVERIFY(window.lblStatus->font().bold());
        QCOMPARE(window.lblStatus->font().pixelSize(), 13);
        QVERIFY(window.lblStatusBar[4]->font().bold());
        QCOMPARE(window.lblStatusBar[4]->font().pixelSize(), 11);
        QVERIFY(!window.cmdCheckSpeed->font().bold());
        // The track is filled with the window background of the platform, bordered in its shadow.
        QCOMPARE(window.pctStatusBar[0]->palette().color(QPalette::Window),
                 window.palette().color(QPalette::Base));
    }

    void menusCarryAccessKeysAndShortcuts() {
        frmDriveSpeed window(TwoEntries());
        const QList<QAction*> menus = window.menuBar()->actions();
        const auto table = DriveSpeedForm().menus;
        QCOMPARE(menus.size(), static_cast<qsizetype>(table.size()));
        for (std::size_t m = 0; m < table.size(); ++m) {
            const trevalon::forms::Menu& menu = table[m];
            QAction* top = menus[static_cast<qsizetype>(m)];
            QCOMPARE(top->text(), trevalon::look::Text(menu.caption));
            QCOMPARE(top->menu()->objectName(), trevalon::look::Text(menu.name));
            QList<QAction*> actions = top->menu()->actions();
            for (const trevalon::forms::MenuCommand& row : menu.commands) {
                QVERIFY2(!actions.isEmpty(), row.name.data());
                QAction* action = actions.takeFirst();
                QCOMPARE(action->objectName(), trevalon::look::Text(row.name));
                QCOMPARE(action->text(), trevalon::look::Text(row.caption));
                QCOMPARE(action->shortcut(), QKeySequence(QString::fromStdString(
                                                 trevalon::forms::ShortcutText(row.shortcut))));
                QCOMPARE(action->isCheckable(), row.checkable);
                QVERIFY(action->isEnabled() && action->isVisible() && !action->isChecked());
                if (row.separatorAfter) QVERIFY(actions.takeFirst()->isSeparator());
            }
            QVERIFY(actions.isEmpty());
        }
        QCOMPARE(window.mnuUncached->objectName(), QStringLiteral("mnuUncached"));
        QCOMPARE(window.mnuHelpDetail->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void loadShowsTheSingleDrivePanelWithEmptySlots() {
        frmDriveSpeed window(TwoEntries());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.fraStandardSingleDrive->isVisible());
        QVERIFY(!window.fraDriveSpeedComparison->isVisible());
        QVERIFY(!window.fraMultiCopy->isVisible());
        for (QLabel* label : window.lblStatusBar) QVERIFY(label->text().isEmpty());
        for (QLabel* label : window.lblCompareSeconds) QVERIFY(label->text().isEmpty());
        for (QLabel* label : window.lblCopySeconds) QVERIFY(label->text().isEmpty());
        for (QFrame* bar : window.pctStatusBarDetail) QCOMPARE(bar->width(), 1);
        for (QFrame* bar : window.pctCompareStatusBarDetail) QCOMPARE(bar->width(), 1);
        for (QFrame* bar : window.pctCopyStatusBarDetail) QCOMPARE(bar->width(), 1);
        // Every list of every panel starts on the entry of the current directory.
        std::vector<trevalon::shell::DriveList*> lists{window.Drive1};
        lists.insert(lists.end(), window.drvCompare.begin(), window.drvCompare.end());
        lists.insert(lists.end(), window.drvCopy.begin(), window.drvCopy.end());
        QCOMPARE(lists.size(), std::size_t{9});
        for (trevalon::shell::DriveList* list : lists) {
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->DriveEntry(), QStringLiteral("/second [two]"));
        }
    }

    void panelCommandsSwitchPanelsAndKeepWhatTheyShow() {
        frmDriveSpeed window(TwoEntries());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        window.ComparisonView().SetResultText(3, "1,234 KB/sec");
        window.ComparisonView().SetBarWidth(3, 1500.0F);
        window.ComparisonView().SetStatusText("Comparison Complete");
        window.drvCompare[2]->setCurrentIndex(0);
        window.CopyView().SetResultText(0, "0.250 seconds");

        auto shown = [&] {
            return std::tuple{window.fraStandardSingleDrive->isVisible(),
                              window.fraDriveSpeedComparison->isVisible(),
                              window.fraMultiCopy->isVisible()};
        };
        QTest::keyClick(&window, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(shown(), std::tuple(false, true, false));
        QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(shown(), std::tuple(false, false, true));
        QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);  // already in front
        QCOMPARE(shown(), std::tuple(false, false, true));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(shown(), std::tuple(true, false, false));
        window.mnuDriveSpeedComparison->trigger();
        QCOMPARE(shown(), std::tuple(false, true, false));

        QCOMPARE(window.lblCompareSeconds[3]->text(), QStringLiteral("1,234 KB/sec"));
        QCOMPARE(window.pctCompareStatusBarDetail[3]->width(), 100);
        QCOMPARE(window.lblCompareStatus->text(), QStringLiteral("Comparison Complete"));
        QCOMPARE(window.drvCompare[2]->DriveEntry(), QStringLiteral("/first [one]"));
        QCOMPARE(window.drvCompare[1]->DriveEntry(), QStringLiteral("/second [two]"));
        QCOMPARE(window.lblCopySeconds[0]->text(), QStringLiteral("0.250 seconds"));
        QCOMPARE(window.pctCompareStatusBar[3]->geometry(),
                 PixelRect(DriveSpeedForm().Get("pctCompareStatusBar", 3).place));
    }

    void tracksCutOffWhatDoesNotFitInside() {
        frmDriveSpeed window(TwoEntries());
        window.mnuDriveSpeedComparison_Click();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect track = PixelRect(DriveSpeedForm().Get("pctCompareStatusBar", 0).place);
        const QSize inside = track.size() - QSize(2, 2);
        window.ComparisonView().SetBarWidth(0, 15.0F * inside.width() * 3);
        QFrame* bar = window.pctCompareStatusBarDetail[0];
        QCOMPARE(bar->width(), inside.width() * 3);
        // As high as its track, but only the inside of the track shows, and only its width.
        QCOMPARE(bar->height(), PixelRect(DriveSpeedForm().Get("pctCompareStatusBarDetail", 0).place).height());
        QVERIFY(bar->height() > inside.height());
        QCOMPARE(bar->visibleRegion().boundingRect(), QRect(QPoint(0, 0), inside));
        window.ComparisonView().SetBarWidth(1, 15.0F * inside.width());
        QCOMPARE(window.pctCompareStatusBarDetail[1]->width(), inside.width());
        QCOMPARE(window.pctCompareStatusBarDetail[1]->pos(), QPoint(0, 0));
    }

    void barWidthsStayShowableWhateverTheFigure() {
        using trevalon::shell::BarPixels;
        QCOMPARE(BarPixels(15.0F), 1);
        QCOMPARE(BarPixels(0.0F), 0);
        QCOMPARE(BarPixels(22.0F), 1);
        QCOMPARE(BarPixels(23.0F), 2);
        QCOMPARE(BarPixels(-300.0F), 0);
        QCOMPARE(BarPixels(std::numeric_limits<float>::quiet_NaN()), 0);
        QCOMPARE(BarPixels(std::numeric_limits<float>::infinity()), 6667);
        QCOMPARE(BarPixels(3.0e38F), 6667);
    }

    void viewHandsOutEntriesAndLocaleSeparators() {
        frmDriveSpeed window(TwoEntries());
        window.drvCopy[3]->setCurrentIndex(0);
        QCOMPARE(window.CopyView().GetDriveEntry(3), std::string("/first [one]"));
        QCOMPARE(window.CopyView().GetDriveEntry(0), std::string("/second [two]"));
        QCOMPARE(window.SingleDriveView().GetDriveEntry(0), std::string("/second [two]"));

        // A directory may be called "<b>x</b>": status and results show text as it is.
        window.SingleDriveView().SetStatusText("Testing Drive: /media/<b>x</b>/");
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Testing Drive: /media/<b>x</b>/"));
        for (QLabel* label : window.findChildren<QLabel*>()) {
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        }

        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto german = window.SingleDriveView().GetNumberSeparators();
        QLocale::setDefault(previous);
        QCOMPARE(german.decimal, std::string(","));
        QCOMPARE(german.thousands, std::string("."));
    }

    void driveEntriesKeepFileSystemsThatHoldFiles() {
        using trevalon::shell::MountedVolume;
        const QList<MountedVolume> volumes{
            {"/", "ext4", "", "/dev/nvme0n1p2"},
            {"/proc", "proc", "", "proc"},
            {"/sys/fs/cgroup", "cgroup2", "", "cgroup2"},
            {"/run/user/1000", "tmpfs", "", "tmpfs"},
            {"/dev/shm", "tmpfs", "", "tmpfs"},
            {"/etc/hosts", "ext4", "", "/dev/vda", false},
            {"/media/ann/USB STICK", "vfat", "USB STICK", "/dev/sdb1"},
            {"/run/media/ann/CDROM", "iso9660", "CDROM", "/dev/sr0"},
            {"/tmp", "tmpfs", "", "tmpfs"},
            {"/tmp", "tmpfs", "", "tmpfs"},
            {"/snap/core/1", "squashfs", "", "/dev/loop3"}};
        const DriveEntries drives =
            trevalon::shell::DriveEntriesFor(volumes, "/home/ann", "/", "/tmp");
        // In the order of their folders, whatever the order of mounting.
        QCOMPARE(drives.entries,
                 QStringList({"/home/ann [nvme0n1p2]", "/media/ann/USB STICK [USB STICK]",
                              "/run/media/ann/CDROM [CDROM]", "/snap/core/1 [loop3]",
                              "/tmp [tmpfs]"}));
        QCOMPARE(drives.current, 4);
        const QList<MountedVolume> reversed(volumes.rbegin(), volumes.rend());
        QCOMPARE(trevalon::shell::DriveEntriesFor(reversed, "/home/ann", "/", "/tmp").entries,
                 drives.entries);
        // The current directory on a file system left out: the list starts at the top.
        QCOMPARE(trevalon::shell::DriveEntriesFor(volumes, "/home/ann", "/", "/proc").current, 0);
        QCOMPARE(trevalon::shell::DriveEntriesFor({}, "/home/ann", "/", "/").current, -1);
    }

    void driveEntriesMapBackToTheirDirectories() {
        using trevalon::shell::MountedVolume;
        const QList<MountedVolume> volumes{
            {"/media/ann/Backup [2023]", "vfat", "Backup [2023]", "/dev/sdb1", true, 11},
            {"/mnt/ends in blank ", "ext4", "a [b", "/dev/sdc1", true, 12},
            {QString::fromUtf8("/media/J\u00fcrgen/Gr\u00fcn"), "exfat", QString::fromUtf8("Gr\u00fcn ] ["),
             "/dev/sdd1", true, std::nullopt}};
        const DriveEntries drives = trevalon::shell::DriveEntriesFor(volumes, "/home/ann", "/", "/");
        QCOMPARE(drives.entries.size(), volumes.size());
        for (qsizetype i = 0; i < drives.entries.size(); ++i) {
            const QString root =
                QString::fromStdString(trevalon::bench::DriveRootFromEntry(drives.entries[i].toStdString()));
            const auto volume = std::find_if(volumes.begin(), volumes.end(),
                                             [&](const auto& v) { return v.root + "/" == root; });
            QVERIFY2(volume != volumes.end(), qPrintable(root));
            QCOMPARE(drives.volumes[static_cast<std::size_t>(i)], volume->volume);
        }
    }

    void driveListReadsTheDrivesAgainWhenItOpens() {
        using trevalon::shell::DriveList;
        DriveList list;
        list.SetEntries({{"/a [a]", "/b [b]"}, 1, {1, 2}});
        QCOMPARE(list.DriveVolume(), std::optional<std::uint64_t>(2));
        list.show();
        struct Case {
            DriveEntries now;
            QStringList listed;
            std::optional<std::uint64_t> volume;  // of the selected entry, "/b [b]" throughout
        };
        // A stick plugged in appears; "/b [b]" mounted again (a new file system)
        // is still the user's choice; unmounted, it stays chosen and listed in
        // its place, and what it was is remembered for the run to check.
        for (const auto& [now, listed, volume] :
             {Case{{{"/a [a]", "/b [b]", "/stick [stick]"}, 0, {1, 2, 3}},
                   {"/a [a]", "/b [b]", "/stick [stick]"}, 2},
              Case{{{"/b [b]", "/c [c]"}, 1, {5, 4}}, {"/b [b]", "/c [c]"}, 5},
              Case{{{"/a [a]", "/d [d]"}, 1, {1, 6}}, {"/a [a]", "/b [b]", "/d [d]"}, 5}}) {
            list.SetSource([now = now] { return now; });
            list.showPopup();
            QTRY_VERIFY(list.view()->isVisible());
            QTest::keyClick(list.view(), Qt::Key_Escape);
            QTRY_VERIFY(!list.view()->isVisible());
            QStringList shown;
            for (int i = 0; i < list.count(); ++i) shown << list.itemText(i);
            QCOMPARE(shown, listed);
            QCOMPARE(list.DriveEntry(), QStringLiteral("/b [b]"));
            QCOMPARE(list.DriveVolume(), volume);
        }
        // Another choice is the user's to make, and the drive that was gone goes.
        list.setCurrentIndex(0);
        list.showPopup();
        list.hidePopup();
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.DriveEntry(), QStringLiteral("/a [a]"));
    }

    void driveListOffersTheMountedFileSystems() {
        const DriveEntries drives = trevalon::shell::ListDrives();
        QVERIFY(!drives.entries.isEmpty());
        QVERIFY(drives.current >= 0 && drives.current < drives.entries.size());
        const QRegularExpression form(QStringLiteral("^(.+) \\[(.+)\\]$"));
        QStringList directories;
        for (const QString& entry : drives.entries) {
            const auto match = form.match(entry);
            QVERIFY2(match.hasMatch(), qPrintable(entry));
            const QString directory = match.captured(1);
            QVERIFY2(QFileInfo(directory).isDir(), qPrintable(entry));
            QVERIFY2(!directory.startsWith("/proc") && !directory.startsWith("/sys"),
                     qPrintable(entry));
            directories.append(directory);
        }
        QCOMPARE(directories.removeDuplicates(), 0);
        // The list starts on the file system of the current directory...
        const QString current = form.match(drives.entries[drives.current]).captured(1);
        QCOMPARE(QStorageInfo(current).rootPath(), QStorageInfo(QDir::currentPath()).rootPath());
        // ...and the home directory stands for the file system that holds it.
        const QString homeRoot = QStorageInfo(QDir::homePath()).rootPath();
        QVERIFY(!directories.contains(homeRoot) || homeRoot == QDir::homePath());
        for (const QString& directory : directories) {
            if (QStorageInfo(directory).rootPath() == homeRoot) {
                QCOMPARE(directory, QDir::homePath());
            }
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

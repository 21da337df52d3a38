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
#include "shell/main_window.h"

using trevalon::shell::DriveEntries;
using trevalon::shell::frmDriveSpeed;

namespace {

// Places in twips; a width of 0 stands for "as wide as its text".
struct Place {
    const char* name;
    int left, top, width, height;
};

QRect Pixels(const Place& p) { return {p.left / 15, p.top / 15, p.width / 15, p.height / 15}; }

DriveEntries TwoEntries() { return {{"/first [one]", "/second [two]"}, 1, {}}; }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    void checkPlaces(QWidget* panel, const std::vector<Place>& places) {
        for (const Place& place : places) {
            auto* control = panel->findChild<QWidget*>(QString::fromLatin1(place.name));
            QVERIFY2(control != nullptr, place.name);
            QCOMPARE(control->parentWidget(), panel);
            const QRect expected = Pixels(place);
            const QRect actual = control->geometry();
            QVERIFY2(actual.topLeft() == expected.topLeft(), place.name);
            QVERIFY2(actual.height() == expected.height(), place.name);
            if (place.width != 0) {
                QVERIFY2(actual.width() == expected.width(), place.name);
            } else if (auto* label = qobject_cast<QLabel*>(control)) {
                // Sized to its text: the whole text fits, with little to spare.
                const int text = label->fontMetrics().horizontalAdvance(label->text());
                QVERIFY2(actual.width() >= text && actual.width() <= text + 8, place.name);
            }
        }
    }

    // A track 3735 x 285 outside, its bar inside the one-pixel border.
    void checkSlot(QWidget* panel, const QString& track, const QString& bar, int left, int top,
                   int barHeight) {
        auto* trackWidget = panel->findChild<QFrame*>(track);
        QVERIFY2(trackWidget != nullptr, qPrintable(track));
        QCOMPARE(trackWidget->geometry(), QRect(left / 15, top / 15, 249, 19));
        auto* barWidget = trackWidget->findChild<QFrame*>(bar);
        QVERIFY2(barWidget != nullptr, qPrintable(bar));
        QCOMPARE(barWidget->mapTo(trackWidget, QPoint(0, 0)), QPoint(1, 1));
        QCOMPARE(barWidget->size(), QSize(1, barHeight / 15));
        QCOMPARE(barWidget->parentWidget()->size(), QSize(3705 / 15, 255 / 15));
    }

private slots:
    void windowIsFixedWithItsCaptionAndClientArea() {
        frmDriveSpeed window(TwoEntries());
        QCOMPARE(window.windowTitle(), QStringLiteral("Drive Speed Test"));
        QCOMPARE(window.centralWidget()->size(), QSize(531, 352));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(window.windowIcon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(window.windowIcon().availableSizes().contains(QSize(32, 32)));

        const std::vector<std::pair<QGroupBox*, QString>> panels{
            {window.fraStandardSingleDrive, "Detailed Single Drive Check"},
            {window.fraDriveSpeedComparison, "Compare Multiple Drive Speeds"},
            {window.fraMultiCopy, "Multi-Drive Copy Test"}};
        for (const auto& [panel, caption] : panels) {
            QCOMPARE(panel->geometry(), QRect(2, 2, 527, 347));
            QCOMPARE(panel->title(), caption);
        }
    }

    void singleDrivePanelControlsSitAtTheirPlaces() {
        frmDriveSpeed window(TwoEntries());
        QWidget* panel = window.fraStandardSingleDrive;
        checkPlaces(panel, {{"lblSelectDrive", 120, 270, 0, 195},
                            {"Drive1", 2760, 210, 3135, 315},
                            {"cmdCheckSpeed", 5970, 210, 1845, 315},
                            {"lblStatus", 90, 630, 7725, 255},
                            {"linSingleTop", 60, 570, 7800, 15},
                            {"linSingleBottom", 60, 930, 7800, 15},
                            {"lblProvidedBy", 4110, 4260, 0, 195},
                            {"lblMaker", 4335, 4500, 3405, 360},
                            {"lblWebAddress", 4380, 4860, 3390, 195}});
        // Caption, left legend, right legend, result label and track of each slot.
        struct Row {
            int captionLeft, captionTop, leftLegend, rightLegend, legendTop, resultLeft,
                resultWidth, trackLeft, trackTop;
        };
        const Row rows[9] = {{120, 1020, 120, 3120, 1260, 795, 2220, 90, 1470},
                             {4110, 1020, 4110, 7080, 1260, 4800, 2190, 4080, 1470},
                             {120, 1830, 120, 3090, 2070, 810, 2190, 90, 2280},
                             {4110, 1830, 4110, 7080, 2070, 4800, 2190, 4080, 2280},
                             {120, 2640, 120, 3150, 2880, 870, 2190, 90, 3090},
                             {4110, 2640, 4110, 7140, 2880, 4860, 2190, 4080, 3090},
                             {120, 3450, 120, 3090, 3690, 810, 2190, 90, 3900},
                             {4110, 3450, 4110, 7080, 3690, 4800, 2190, 4080, 3900},
                             {120, 4260, 120, 3090, 4500, 810, 2190, 90, 4710}};
        for (int i = 0; i < 9; ++i) {
            const Row& r = rows[i];
            const QByteArray n = QByteArray::number(i);
            const QByteArray caption = "lblSingleCaption_" + n, left = "lblSingleLeftLegend_" + n,
                             right = "lblSingleRightLegend_" + n, result = "lblStatusBar_" + n;
            checkPlaces(panel, {{caption.constData(), r.captionLeft, r.captionTop, 0, 195},
                                {left.constData(), r.leftLegend, r.legendTop, 0, 195},
                                {right.constData(), r.rightLegend, r.legendTop, 0, 195},
                                {result.constData(), r.resultLeft, r.legendTop, r.resultWidth, 195}});
            checkSlot(panel, "pctStatusBar_" + n, "pctStatusBarDetail_" + n, r.trackLeft,
                      r.trackTop, 255);
            QCOMPARE(window.lblStatusBar[i]->objectName(), QString::fromLatin1(result));
        }
        auto caption = [panel](int i) {
            return panel->findChild<QLabel*>(QStringLiteral("lblSingleCaption_%1").arg(i))->text();
        };
        QCOMPARE(caption(0), QStringLiteral("Small File Write Speed (1 MB):"));
        QCOMPARE(caption(4), QStringLiteral("Drive Overall Write Speed (KB/second):"));
        QCOMPARE(caption(7), QStringLiteral("Directory Lookup Speed (10000 Files):"));
        QCOMPARE(caption(8), QStringLiteral("File Delete Speed (20 MB):"));
        QCOMPARE(panel->findChild<QLabel*>("lblSingleLeftLegend_5")->text(),
                 QStringLiteral("<-- Slow"));
        QCOMPARE(panel->findChild<QLabel*>("lblSingleRightLegend_6")->text(),
                 QStringLiteral("Slow -->"));
        QCOMPARE(window.lblStatus->text(), QStringLiteral("Please Choose A Drive To Test"));
        QCOMPARE(window.cmdCheckSpeed->text(), QStringLiteral("Check My Drive Speed"));
        QVERIFY(window.lblStatus->alignment() & Qt::AlignHCenter);
    }

    void comparisonPanelControlsSitAtTheirPlaces() {
        frmDriveSpeed window(TwoEntries());
        QWidget* panel = window.fraDriveSpeedComparison;
        checkPlaces(panel, {{"lblCompareStatus", 90, 270, 4695, 255},
                            {"cmdCompareDrives", 5970, 210, 1845, 315},
                            {"linCompareTop", 60, 630, 7800, 15}});
        struct Block {
            int x, headingTop, listTop, writeCaption, writeLegend, writeTrack, readCaption,
                readLegend, readTrack, rightLegend, result, track;
        };
        const Block blocks[4] = {
            {120, 750, 960, 1350, 1590, 1800, 2130, 2370, 2580, 3150, 870, 90},
            {4110, 750, 960, 1350, 1590, 1800, 2130, 2370, 2580, 7140, 4860, 4080},
            {120, 3000, 3210, 3600, 3840, 4050, 4380, 4620, 4830, 3150, 870, 90},
            {4110, 3000, 3210, 3600, 3840, 4050, 4380, 4620, 4830, 7140, 4860, 4080}};
        for (int b = 0; b < 4; ++b) {
            const Block& k = blocks[b];
            const QByteArray heading = "lblCompareHeading_" + QByteArray::number(b),
                             list = "drvCompare_" + QByteArray::number(b);
            checkPlaces(panel, {{heading.constData(), k.x, k.headingTop, 0, 195},
                                {list.constData(), k.x, k.listTop, 3705, 315}});
            for (int half = 0; half < 2; ++half) {
                const QByteArray n = QByteArray::number(2 * b + half);
                const int captionTop = half == 0 ? k.writeCaption : k.readCaption;
                const int legendTop = half == 0 ? k.writeLegend : k.readLegend;
                const QByteArray caption = "lblCompareCaption_" + n,
                                 left = "lblCompareLeftLegend_" + n,
                                 right = "lblCompareRightLegend_" + n,
                                 result = "lblCompareSeconds_" + n;
                checkPlaces(panel, {{caption.constData(), k.x, captionTop, 0, 195},
                                    {left.constData(), k.x, legendTop, 0, 195},
                                    {right.constData(), k.rightLegend, legendTop, 0, 195},
                                    {result.constData(), k.result, legendTop, 2235, 225}});
                checkSlot(panel, "pctCompareStatusBar_" + n, "pctCompareStatusBarDetail_" + n,
                          k.track, half == 0 ? k.writeTrack : k.readTrack, 285);
            }
            QCOMPARE(panel->findChild<QLabel*>(QString::fromLatin1(heading))->text(),
                     QStringLiteral("#%1. Select Drive A Drive To Compare").arg(b + 1));
        }
        QCOMPARE(panel->findChild<QLabel*>("lblCompareCaption_3")->text(),
                 QStringLiteral("Drive Overall Read Speed (KB/second):"));
        QCOMPARE(window.lblCompareStatus->text(),
                 QStringLiteral("Please Choose The Drives To Compare"));
        QCOMPARE(window.cmdCompareDrives->text(), QStringLiteral("Begin Drive Comparison"));
    }

    void copyPanelControlsSitAtTheirPlaces() {
        frmDriveSpeed window(TwoEntries());
        QWidget* panel = window.fraMultiCopy;
        checkPlaces(panel, {{"lblCopyStatus", 90, 270, 4695, 255},
                            {"cmdCopyComparison", 5970, 210, 1845, 315},
                            {"linCopyTop", 60, 630, 7800, 15},
                            {"lblCopyHeading_0", 120, 750, 0, 195},
                            {"drvCopy_0", 120, 960, 3705, 315}});
        const int headingTops[3] = {750, 2250, 3750}, listTops[3] = {960, 2460, 3960},
                  captionTops[3] = {1350, 2850, 4350}, legendTops[3] = {1590, 3090, 4590},
                  trackTops[3] = {1800, 3300, 4800};
        for (int d = 1; d <= 3; ++d) {
            const QByteArray n = QByteArray::number(d - 1);
            const QByteArray heading = "lblCopyHeading_" + QByteArray::number(d),
                             list = "drvCopy_" + QByteArray::number(d),
                             caption = "lblCopyCaption_" + n, left = "lblCopyLeftLegend_" + n,
                             right = "lblCopyRightLegend_" + n, result = "lblCopySeconds_" + n;
            checkPlaces(panel, {{heading.constData(), 4110, headingTops[d - 1], 0, 195},
                                {list.constData(), 4110, listTops[d - 1], 3705, 315},
                                {caption.constData(), 4110, captionTops[d - 1], 0, 195},
                                {left.constData(), 4080, legendTops[d - 1], 0, 195},
                                {right.constData(), 7140, legendTops[d - 1], 0, 195},
                                {result.constData(), 4860, legendTops[d - 1], 2235, 225}});
            checkSlot(panel, "pctCopyStatusBar_" + n, "pctCopyStatusBarDetail_" + n, 4080,
                      trackTops[d - 1], 285);
            QCOMPARE(panel->findChild<QLabel*>(QString::fromLatin1(heading))->text(),
                     QStringLiteral("#%1. Destination Drive To Copy To").arg(d + 1));
        }
        QCOMPARE(panel->findChild<QLabel*>("lblCopyLeftLegend_2")->text(),
                 QStringLiteral("<-- Fast"));
        QCOMPARE(window.lblCopyStatus->text(), QStringLiteral("Please Choose The Drives To Test"));
        QCOMPARE(window.cmdCopyComparison->text(), QStringLiteral("Begin Copy Comparison"));
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
        QCOMPARE(window.cmdCompareDrives->palette().color(QPalette::Button), QColor(162, 180, 199));
        QCOMPARE(window.pctCopyStatusBarDetail[2]->palette().color(QPalette::Window),
                 QColor(90, 136, 169));
        QVERIFY(window.pctCopyStatusBarDetail[2]->autoFillBackground());
    }

    void menusCarryAccessKeysAndShortcuts() {
        frmDriveSpeed window(TwoEntries());
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Check Drives"));
        QCOMPARE(menus[2]->text(), QStringLiteral("&Help"));
        struct Command {
            QMenu* menu;
            int position;
            const char* name;
            const char* caption;
            QKeySequence shortcut;
        };
        const Command commands[] = {
            {window.mnuFile, 0, "mnuCopyResults", "&Copy Results", QKeySequence("Ctrl+C")},
            {window.mnuFile, 2, "mnuExit", "Exit", QKeySequence("Ctrl+E")},
            {window.mnuCheckDrives, 0, "mnuDriveSpeedComparison", "&Drive Speed Comparison",
             QKeySequence("Ctrl+D")},
            {window.mnuCheckDrives, 1, "mnuMultiDriveCopyCheck", "&Multi-Drive Copy Check",
             QKeySequence("Ctrl+M")},
            {window.mnuCheckDrives, 2, "mnuSingleDriveDetailedCheck",
             "&Single Drive Detailed Check", QKeySequence("Ctrl+S")},
            {window.mnuHelp, 0, "mnuMirrowinOnline", "Mirrowin Online", QKeySequence("Ctrl+O")},
            {window.mnuHelp, 1, "mnuHelpDetail", "Hel&p", QKeySequence(Qt::Key_F1)},
            {window.mnuHelp, 2, "mnuAbout", "&About", QKeySequence("Ctrl+A")}};
        for (const Command& c : commands) {
            QAction* action = c.menu->actions().value(c.position);
            QVERIFY2(action != nullptr, c.name);
            QCOMPARE(action->objectName(), QString::fromLatin1(c.name));
            QCOMPARE(action->text(), QString::fromLatin1(c.caption));
            QCOMPARE(action->shortcut(), c.shortcut);
            QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
        }
        QCOMPARE(window.mnuFile->actions().size(), 3);
        QVERIFY(window.mnuFile->actions()[1]->isSeparator());
        QCOMPARE(window.mnuCheckDrives->actions().size(), 5);
        QVERIFY(window.mnuCheckDrives->actions()[3]->isSeparator());
        QAction* uncached = window.mnuCheckDrives->actions()[4];
        QCOMPARE(uncached, window.mnuUncached);
        QCOMPARE(uncached->objectName(), QStringLiteral("mnuUncached"));
        QCOMPARE(uncached->text(), QStringLiteral("&Uncached Measurements"));
        QCOMPARE(uncached->shortcut(), QKeySequence("Ctrl+U"));
        QVERIFY(uncached->isCheckable() && !uncached->isChecked() && uncached->isEnabled());
        QCOMPARE(window.mnuHelp->actions().size(), 3);
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
        QCOMPARE(window.pctCompareStatusBar[3]->geometry(), QRect(272, 172, 249, 19));
    }

    void tracksCutOffWhatDoesNotFitInside() {
        frmDriveSpeed window(TwoEntries());
        window.mnuDriveSpeedComparison_Click();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.ComparisonView().SetBarWidth(0, 3705.0F * 3);
        QFrame* bar = window.pctCompareStatusBarDetail[0];
        QCOMPARE(bar->width(), 741);
        // 285 twips high, but only the 255 inside the track show, and only its width.
        QCOMPARE(bar->height(), 19);
        QCOMPARE(bar->visibleRegion().boundingRect(), QRect(0, 0, 247, 17));
        window.ComparisonView().SetBarWidth(1, 3705.0F);
        QCOMPARE(window.pctCompareStatusBarDetail[1]->width(), 247);
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

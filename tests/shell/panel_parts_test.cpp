// The table-driven panel parts: what one table row becomes, in which order,
// and what a window and its view receive.
#include <QtTest>
#include <array>

#include "shell/panel_parts.h"

using namespace trevalon::shell;

namespace {

constexpr SlotStyle kStyle{"lblHead", "drvPick", "lblCap", "lblLeft", "lblRight",
                           "lblResult", "pctTrack", "pctBar", 225, 285};

constexpr std::array<SlotPlace, 3> kSlots{{
    {"First:", 120, 1350, "<-- Fast", 4080, "Slow -->", 7140, 1590, 4860, 2235, 4080, 1800},
    {"Second:", 4110, 2850, "<-- Slow", 120, "Fast -->", 3150, 3090, 870, 2190, 90, 3300},
    {"Third:", 120, 4350, "<-- Fast", 120, "Slow -->", 3090, 4590, 810, 2190, 90, 4800},
}};

// The second slot follows no pick: it comes after every pick.
constexpr std::array<DrivePick, 2> kPicks{{{"#1. Pick", 120, 750, 1}, {"#2. Pick", 4110, 750, 0}}};

struct Unused : RunState {
    bool ClosingRequested() const override { return false; }
    bool TestRunning() const override { return false; }
};

QStringList ChildNames(const QWidget& panel) {
    QStringList names;
    for (const QObject* child : panel.children()) names << child->objectName();
    return names;
}

}  // namespace

class PanelPartsTest : public QObject {
    Q_OBJECT

private slots:
    void rowsBecomeNamedControlsInPickThenSlotOrder() {
        QWidget panel;
        const PanelSlots built = AddSlots(&panel, kStyle, kSlots, kPicks, DriveEntries{{"/a"}, 0, {}});
        const QStringList slot0{"lblCap_0", "lblLeft_0", "lblRight_0", "lblResult_0", "pctTrack_0"};
        const QStringList expected = QStringList{"lblHead_0", "drvPick_0"} + slot0 +
                                     QStringList{"lblHead_1", "drvPick_1"} +
                                     QStringList(slot0).replaceInStrings("_0", "_1") +
                                     QStringList(slot0).replaceInStrings("_0", "_2");
        QCOMPARE(ChildNames(panel), expected);
        QCOMPARE(built.lists.size(), 2u);
        QCOMPARE(built.results.size(), 3u);
        QCOMPARE(built.bars[2]->objectName(), QStringLiteral("pctBar_2"));
        QCOMPARE(built.lists[1]->currentText(), QStringLiteral("/a"));
    }

    void rowsPlaceTheirControlsInTwips() {
        QWidget panel;
        const PanelSlots built = AddSlots(&panel, kStyle, kSlots, kPicks, {});
        struct Case {
            QString name;
            QPoint topLeft;
        };
        const Case cases[] = {{"lblHead_1", {274, 50}},   {"drvPick_1", {274, 64}},
                              {"lblCap_1", {274, 190}},   {"lblLeft_1", {8, 206}},
                              {"lblRight_1", {210, 206}}, {"lblResult_1", {58, 206}},
                              {"pctTrack_1", {6, 220}}};
        for (const Case& c : cases) {
            auto* control = panel.findChild<QWidget*>(c.name);
            QVERIFY2(control != nullptr, qPrintable(c.name));
            QCOMPARE(control->pos(), c.topLeft);
        }
        QCOMPARE(built.results[1]->size(), QSize(146, 15));
        QCOMPARE(built.lists[0]->size(), QSize(247, 21));
        QCOMPARE(built.bars[0]->height(), 19);
        QCOMPARE(built.tracks[0]->size(), QSize(249, 19));
    }

    void takenSlotsFillTheWindowAndItsView() {
        QWidget panel;
        Unused state;
        std::array<DriveList*, 2> lists{};
        std::array<QLabel*, 3> results{};
        std::array<QFrame*, 3> tracks{};
        std::array<QFrame*, 3> bars{};
        QPushButton* button = nullptr;
        QLabel* status = AddStatusAndButton(&panel, "Pick", "Choose", button, "cmdGo", "Go");
        QCOMPARE(status->objectName(), QStringLiteral("lblPickStatus"));
        QCOMPARE(button->objectName(), QStringLiteral("cmdGo"));
        QVERIFY(panel.findChild<QFrame*>(QStringLiteral("linPickTop")) != nullptr);
        const PanelSlots built =
            AddSlots(&panel, kStyle, kSlots, kPicks, DriveEntries{{"/a", "/b"}, 1, {}});
        const std::unique_ptr<PanelView> view = TakeSlots(
            built, lists, results, tracks, bars, {status, {}, {}, {}, button}, state, &panel);
        QCOMPARE(lists[1], built.lists[1]);
        QCOMPARE(results[2], built.results[2]);
        QCOMPARE(tracks[0], built.tracks[0]);
        QCOMPARE(bars[2], built.bars[2]);
        view->SetResultText(2, "12.5");
        QCOMPARE(results[2]->text(), QStringLiteral("12.5"));
        view->SetBarWidth(1, 1500.0f);
        QCOMPARE(bars[1]->width(), BarPixels(1500.0f));
        QCOMPARE(view->GetDriveEntry(1), std::string("/b"));
        view->SetStatusText("Running");
        QCOMPARE(status->text(), QStringLiteral("Running"));
    }
};

QTEST_MAIN(PanelPartsTest)
#include "panel_parts_test.moc"

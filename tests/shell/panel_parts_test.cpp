// A panel built from a form table: what each kind of row becomes, in which
// order, and what a window and its view receive.
#include <QtTest>
#include <array>

#include "form_check.h"
#include "shell/panel_parts.h"

using namespace trevalon::shell;
namespace forms = trevalon::forms;

namespace {

// A small panel of its own: a status line, a button, a pick and two slots,
// the second with a bar taller than its track.
const forms::Form& Table() {
    static const forms::Form form{
        .name = "frmTest",
        .clientWidth = 7965,
        .clientHeight = 5280,
        .controls = {
            {.kind = forms::Kind::Frame, .name = "fraTest", .place = {30, 30, 7905, 5205}, .caption = "Test"},
            {.kind = forms::Kind::Label, .name = "lblTestStatus", .container = "fraTest",
             .place = {90, 270, 4695, 255}, .caption = "Choose", .font = forms::DialogFont(9.75, true)},
            {.kind = forms::Kind::TestButton, .name = "cmdGo", .container = "fraTest",
             .place = {5970, 210, 1845, 315}, .caption = "Go", .back = forms::Rgb(162, 180, 199)},
            {.kind = forms::Kind::RuleLine, .name = "linTest", .container = "fraTest",
             .place = {60, 630, 7800, 15}, .back = forms::kShadow},
            {.kind = forms::Kind::Label, .name = "lblHead", .index = 0, .container = "fraTest",
             .place = {120, 750, 0, 195}, .caption = "#1. Pick", .font = forms::DialogFont(8.25, true),
             .autoSize = true},
            {.kind = forms::Kind::DriveList, .name = "drvPick", .index = 0, .container = "fraTest",
             .place = {120, 960, 3705, 315}},
            {.kind = forms::Kind::Label, .name = "lblResult", .index = 1, .container = "fraTest",
             .place = {4860, 1590, 2235, 225}, .align = forms::Align::Centre},
            {.kind = forms::Kind::Track, .name = "pctTrack", .index = 1, .container = "fraTest",
             .place = {4080, 1800, 3735, 285}, .back = forms::kWindowBack},
            {.kind = forms::Kind::Bar, .name = "pctBar", .index = 1, .container = "pctTrack",
             .containerIndex = 1, .place = {0, 0, 15, 285}, .back = forms::Rgb(90, 136, 169)},
            {.kind = forms::Kind::Label, .name = "lblResult", .index = 0, .container = "fraTest",
             .place = {870, 1590, 2235, 225}, .align = forms::Align::Centre},
            {.kind = forms::Kind::Track, .name = "pctTrack", .index = 0, .container = "fraTest",
             .place = {90, 1800, 3735, 285}, .back = forms::kWindowBack},
            {.kind = forms::Kind::Bar, .name = "pctBar", .index = 0, .container = "pctTrack",
             .containerIndex = 0, .place = {0, 0, 15, 255}, .back = forms::Rgb(90, 136, 169)},
        }};
    return form;
}

constexpr forms::PanelNames kNames{"fraTest", "lblTestStatus", "cmdGo", "drvPick",
                                   "lblResult", "pctTrack", "pctBar", 6};

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
    void rowsBecomeNamedControlsInTableOrderAtTheirPlaces() {
        QWidget client;
        client.setObjectName(QStringLiteral("client"));
        QGroupBox* panel = AddPanel(&client, Table().Get("fraTest"));
        const PanelSlots built = BuildPanel(panel, Table(), kNames, DriveEntries{{"/a"}, 0, {}});
        QCOMPARE(ChildNames(*panel),
                 QStringList({"lblTestStatus", "cmdGo", "linTest", "lblHead_0", "drvPick_0",
                              "lblResult_1", "pctTrack_1", "lblResult_0", "pctTrack_0"}));
        const QStringList faults = trevalon::testsupport::FormFaults(client, Table());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        // Results, tracks and bars by index, whatever the table's order.
        QCOMPARE(built.results[0]->objectName(), QStringLiteral("lblResult_0"));
        QCOMPARE(built.tracks[1]->objectName(), QStringLiteral("pctTrack_1"));
        QCOMPARE(built.bars[0]->objectName(), QStringLiteral("pctBar_0"));
        QCOMPARE(built.lists[0]->currentText(), QStringLiteral("/a"));
        // The inside of a track clips a taller bar to itself.
        QCOMPARE(built.bars[1]->parentWidget()->size(), built.tracks[1]->size() - QSize(2, 2));
        QVERIFY(built.bars[1]->height() > built.bars[1]->parentWidget()->height());
    }

    void aKindNoPanelHoldsIsRefused() {
        forms::Form odd = Table();
        odd.controls.push_back({.kind = forms::Kind::TextBox, .name = "txtOdd", .container = "fraTest"});
        QWidget client;
        QGroupBox* panel = AddPanel(&client, odd.Get("fraTest"));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildPanel(panel, odd, kNames, {}));
    }

    void takenSlotsFillTheWindowAndItsView() {
        QWidget client;
        Unused state;
        std::array<DriveList*, 1> lists{};
        std::array<QLabel*, 2> results{};
        std::array<QFrame*, 2> tracks{};
        std::array<QFrame*, 2> bars{};
        QGroupBox* panel = AddPanel(&client, Table().Get("fraTest"));
        const PanelSlots built = BuildPanel(panel, Table(), kNames, DriveEntries{{"/a", "/b"}, 1, {}});
        QCOMPARE(built.status->objectName(), QStringLiteral("lblTestStatus"));
        QCOMPARE(built.button->objectName(), QStringLiteral("cmdGo"));
        const std::unique_ptr<PanelView> view =
            TakeSlots(built, lists, results, tracks, bars, state, panel);
        QCOMPARE(lists[0], built.lists[0]);
        QCOMPARE(results[1], built.results[1]);
        QCOMPARE(tracks[0], built.tracks[0]);
        QCOMPARE(bars[1], built.bars[1]);
        view->SetResultText(1, "12.5");
        QCOMPARE(results[1]->text(), QStringLiteral("12.5"));
        view->SetBarWidth(0, 1500.0f);
        QCOMPARE(bars[0]->width(), BarPixels(1500.0f));
        QCOMPARE(view->GetDriveEntry(0), std::string("/b"));
        view->SetStatusText("Running");
        QCOMPARE(built.status->text(), QStringLiteral("Running"));
    }
};

QTEST_MAIN(PanelPartsTest)
#include "panel_parts_test.moc"

#include "shell/panel_parts.h"

#include <QPainter>
#include <algorithm>

#include "look/classic_font.h"
#include "look/twips.h"
#include "shell/test_button.h"

namespace trevalon::shell {

using look::Px;
using look::TwipsRect;

namespace {

const QColor kBarBlue(90, 136, 169);

QLabel* AddLabel(QWidget* panel, const QString& name, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, panel);
    label->setObjectName(name);
    label->setFont(font);
    // Texts come from drive entries and tests as well: never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A track with a one-pixel border, and inside it a bar that only widens.
// The inside clips, so a bar taller or wider than it is cut off at its edge.
std::pair<QFrame*, QFrame*> AddTrackAndBar(QWidget* panel, const QString& trackName,
                                           const QString& barName, int left, int top,
                                           int barHeightTwips) {
    auto* track = new QFrame(panel);
    track->setObjectName(trackName);
    track->setGeometry(TwipsRect(left, top, 3735, 285));
    track->setFrameStyle(QFrame::Box | QFrame::Plain);
    track->setLineWidth(1);
    track->setAutoFillBackground(true);
    QPalette trackColours = track->palette();
    trackColours.setColor(QPalette::Window, trackColours.color(QPalette::Base));
    trackColours.setColor(QPalette::WindowText, trackColours.color(QPalette::Dark));
    track->setPalette(trackColours);

    auto* inside = new QWidget(track);
    inside->setObjectName(trackName + QStringLiteral("_inside"));
    inside->setGeometry(1, 1, Px(3705), Px(255));

    auto* bar = new QFrame(inside);
    bar->setObjectName(barName);
    bar->setGeometry(0, 0, Px(15), Px(barHeightTwips));
    bar->setAutoFillBackground(true);
    QPalette barColours = bar->palette();
    barColours.setColor(QPalette::Window, kBarBlue);
    bar->setPalette(barColours);
    return {track, bar};
}

// A frame with its caption set into the top edge, a little in from the left.
class PanelFrame : public QGroupBox {
public:
    PanelFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int middle = metrics.height() / 2;
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(QRect(0, middle, width() - 1, height() - middle - 1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(1, middle + 1, width() - 3, middle + 1);
        const QRect text(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(text, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::AlignCenter, title());
    }
};

}  // namespace

QString Indexed(const char* name, std::size_t index) {
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

QLabel* AddCaption(QWidget* panel, const QString& name, const QString& text, int left, int top) {
    QLabel* label = AddLabel(panel, name, text, look::ClassicUiFont(8.25, true));
    label->adjustSize();
    label->setGeometry(Px(left), Px(top), label->width(), Px(195));
    return label;
}

QLabel* AddFixedLabel(QWidget* panel, const QString& name, const QString& text, const QFont& font,
                      QRect place, Qt::Alignment alignment) {
    QLabel* label = AddLabel(panel, name, text, font);
    label->setGeometry(place);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

void AddRuleLine(QWidget* panel, const QString& name, int top) {
    auto* line = new QFrame(panel);
    line->setObjectName(name);
    line->setGeometry(Px(60), Px(top), Px(7860) - Px(60), 1);
    line->setAutoFillBackground(true);
    QPalette colours = line->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Dark));
    line->setPalette(colours);
}

QPushButton* AddTestButton(QWidget* panel, const char* name, const char* caption) {
    auto* button = new TestButton(QString::fromLatin1(caption), panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(TwipsRect(5970, 210, 1845, 315));
    return button;
}

DriveList* AddDriveList(QWidget* panel, const QString& name, const DriveEntries& drives,
                        QRect place) {
    auto* list = new DriveList(panel);
    list->setObjectName(name);
    list->SetEntries(drives);
    list->setGeometry(place);
    return list;
}

QGroupBox* AddPanel(QWidget* client, const char* name, const char* caption) {
    auto* panel = new PanelFrame(QString::fromLatin1(caption), client);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(TwipsRect(30, 30, 7905, 5205));
    return panel;
}

QLabel* AddStatusAndButton(QWidget* panel, const char* panelName, const char* status,
                           QPushButton*& button, const char* buttonName, const char* caption) {
    const QString prefix = QStringLiteral("lbl") + QString::fromLatin1(panelName);
    QLabel* label = AddFixedLabel(panel, prefix + QStringLiteral("Status"),
                                  QString::fromLatin1(status), look::ClassicUiFont(9.75, true),
                                  TwipsRect(90, 270, 4695, 255), Qt::AlignLeft);
    button = AddTestButton(panel, buttonName, caption);
    AddRuleLine(panel, QStringLiteral("lin") + QString::fromLatin1(panelName) + QStringLiteral("Top"),
                630);
    return label;
}

PanelSlots AddSlots(QWidget* panel, const SlotStyle& style, std::span<const SlotPlace> places,
                    std::span<const DrivePick> picks, const DriveEntries& drives) {
    PanelSlots built;
    const QFont resultFont = look::ClassicUiFont(8.25, true);
    auto addSlot = [&](std::size_t i) {
        const SlotPlace& place = places[i];
        AddCaption(panel, Indexed(style.caption, i), QString::fromLatin1(place.caption),
                   place.captionLeft, place.captionTop);
        AddCaption(panel, Indexed(style.leftLegend, i), QString::fromLatin1(place.leftLegend),
                   place.leftLegendLeft, place.legendTop);
        AddCaption(panel, Indexed(style.rightLegend, i), QString::fromLatin1(place.rightLegend),
                   place.rightLegendLeft, place.legendTop);
        built.results.push_back(AddFixedLabel(
            panel, Indexed(style.result, i), QString(), resultFont,
            TwipsRect(place.resultLeft, place.legendTop, place.resultWidth, style.resultHeight),
            Qt::AlignHCenter));
        const auto [track, bar] = AddTrackAndBar(panel, Indexed(style.track, i),
                                                 Indexed(style.bar, i), place.trackLeft,
                                                 place.trackTop, style.barHeight);
        built.tracks.push_back(track);
        built.bars.push_back(bar);
    };
    std::size_t next = 0;
    for (std::size_t p = 0; p < picks.size(); ++p) {
        const DrivePick& pick = picks[p];
        AddCaption(panel, Indexed(style.heading, p), QString::fromLatin1(pick.heading), pick.left,
                   pick.top);
        built.lists.push_back(AddDriveList(panel, Indexed(style.list, p), drives,
                                           TwipsRect(pick.left, pick.top + 210, 3705, 315)));
        for (std::size_t end = next + pick.slotCount; next < end; ++next) addSlot(next);
    }
    while (next < places.size()) addSlot(next++);
    return built;
}

std::unique_ptr<PanelView> TakeSlots(const PanelSlots& built, std::span<DriveList*> lists,
                                     std::span<QLabel*> results, std::span<QFrame*> tracks,
                                     std::span<QFrame*> bars, PanelControls controls,
                                     const RunState& state, QWidget* owner) {
    std::copy_n(built.lists.begin(), lists.size(), lists.begin());
    std::copy_n(built.results.begin(), results.size(), results.begin());
    std::copy_n(built.tracks.begin(), tracks.size(), tracks.begin());
    std::copy_n(built.bars.begin(), bars.size(), bars.begin());
    controls.results = built.results;
    controls.bars.assign(built.bars.begin(), built.bars.end());
    if (controls.lists.empty()) controls.lists = built.lists;
    return std::make_unique<PanelView>(std::move(controls), state, owner);
}

}  // namespace trevalon::shell

#include "shell/panel_parts.h"

#include <QPainter>
#include <algorithm>
#include <stdexcept>

#include "look/form_widgets.h"
#include "look/twips.h"
#include "shell/test_button.h"

namespace trevalon::shell {

using look::PixelRect;

namespace {

QColor Filled(const forms::Colour& colour, const QPalette& palette) {
    switch (colour.source) {
        case forms::Colour::Source::Rgb: return QColor(colour.red, colour.green, colour.blue);
        case forms::Colour::Source::WindowBack: return palette.color(QPalette::Base);
        case forms::Colour::Source::Shadow: return palette.color(QPalette::Dark);
        case forms::Colour::Source::Inherited: break;
    }
    return palette.color(QPalette::Window);
}

void Fill(QWidget* widget, const forms::Colour& colour) {
    widget->setAutoFillBackground(true);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, Filled(colour, colours));
    widget->setPalette(colours);
}

// A track with a one-pixel border, and inside it the place its bars live in.
// The inside clips, so a bar taller or wider than it is cut off at its edge.
QWidget* AddTrack(QWidget* panel, const forms::Control& control, QFrame*& track) {
    track = new QFrame(panel);
    track->setObjectName(look::ObjectName(control));
    track->setGeometry(PixelRect(control.place));
    track->setFrameStyle(QFrame::Box | QFrame::Plain);
    track->setLineWidth(1);
    track->setAutoFillBackground(true);
    QPalette trackColours = track->palette();
    trackColours.setColor(QPalette::Window, Filled(control.back, trackColours));
    trackColours.setColor(QPalette::WindowText, trackColours.color(QPalette::Dark));
    track->setPalette(trackColours);

    auto* inside = new QWidget(track);
    inside->setObjectName(track->objectName() + QStringLiteral("_inside"));
    inside->setGeometry(1, 1, track->width() - 2, track->height() - 2);
    return inside;
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

template <class Widget>
void PutAt(std::vector<Widget*>& elements, const forms::Control& control, Widget* widget) {
    const auto at = static_cast<std::size_t>(control.index);
    if (elements.size() <= at) elements.resize(at + 1, nullptr);
    elements[at] = widget;
}

}  // namespace

QGroupBox* AddPanel(QWidget* client, const forms::Control& frame) {
    auto* panel = new PanelFrame(look::Text(frame.caption), client);
    panel->setObjectName(look::ObjectName(frame));
    panel->setGeometry(PixelRect(frame.place));
    return panel;
}

PanelSlots BuildPanel(QWidget* panel, const forms::Form& form, const forms::PanelNames& names,
                      const DriveEntries& drives) {
    PanelSlots built;
    const std::string panelName = panel->objectName().toStdString();
    for (const forms::Control* control : form.In(panelName)) {
        switch (control->kind) {
            case forms::Kind::Label: {
                QLabel* label = look::BuildLabel(panel, *control);
                if (control->name == names.result) PutAt(built.results, *control, label);
                if (control->name == names.status) built.status = label;
                break;
            }
            case forms::Kind::TestButton: {
                auto* button = new TestButton(look::Text(control->caption),
                                              Filled(control->back, panel->palette()), panel);
                button->setObjectName(look::ObjectName(*control));
                button->setGeometry(PixelRect(control->place));
                if (control->name == names.button) built.button = button;
                break;
            }
            case forms::Kind::DriveList: {
                auto* list = new DriveList(panel);
                list->setObjectName(look::ObjectName(*control));
                list->SetEntries(drives);
                list->setGeometry(PixelRect(control->place));
                built.lists.push_back(list);
                break;
            }
            case forms::Kind::RuleLine: {
                auto* line = new QFrame(panel);
                line->setObjectName(look::ObjectName(*control));
                line->setGeometry(PixelRect(control->place));
                Fill(line, control->back);
                break;
            }
            case forms::Kind::Track: {
                QFrame* track = nullptr;
                QWidget* inside = AddTrack(panel, *control, track);
                PutAt(built.tracks, *control, track);
                for (const forms::Control* barControl : form.In(control->name, control->index)) {
                    auto* bar = new QFrame(inside);
                    bar->setObjectName(look::ObjectName(*barControl));
                    bar->setGeometry(PixelRect(barControl->place));
                    Fill(bar, barControl->back);
                    PutAt(built.bars, *barControl, bar);
                }
                break;
            }
            default:
                throw std::logic_error("no test panel holds a " + forms::QualifiedName(*control));
        }
    }
    return built;
}

std::unique_ptr<PanelView> TakeSlots(const PanelSlots& built, std::span<DriveList*> lists,
                                     std::span<QLabel*> results, std::span<QFrame*> tracks,
                                     std::span<QFrame*> bars, const RunState& state,
                                     QWidget* owner) {
    std::copy_n(built.lists.begin(), lists.size(), lists.begin());
    std::copy_n(built.results.begin(), results.size(), results.begin());
    std::copy_n(built.tracks.begin(), tracks.size(), tracks.begin());
    std::copy_n(built.bars.begin(), bars.size(), bars.begin());
    PanelControls controls{built.status, built.results, {built.bars.begin(), built.bars.end()},
                           built.lists, built.button};
    return std::make_unique<PanelView>(std::move(controls), state, owner);
}

}  // namespace trevalon::shell

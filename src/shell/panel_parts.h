// The parts the three test panels are made of, placed in twips from tables.
#pragma once

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <memory>
#include <span>
#include <vector>

#include "shell/drive_list.h"
#include "shell/panel_view.h"

namespace trevalon::shell {

// `name` followed by an underscore and `index`: the names of repeated controls.
QString Indexed(const char* name, std::size_t index);

// A caption or legend: bold, as wide as its text, one line high.
QLabel* AddCaption(QWidget* panel, const QString& name, const QString& text, int left, int top);
QLabel* AddFixedLabel(QWidget* panel, const QString& name, const QString& text, const QFont& font,
                      QRect place, Qt::Alignment alignment);
void AddRuleLine(QWidget* panel, const QString& name, int top);
QPushButton* AddTestButton(QWidget* panel, const char* name, const char* caption);
DriveList* AddDriveList(QWidget* panel, const QString& name, const DriveEntries& drives,
                        QRect place);
// A panel frame at the one place all three share, captioned in its top edge.
QGroupBox* AddPanel(QWidget* client, const char* name, const char* caption);
// The status line, the test button and the rule under them, as the comparison
// and the copy panel have them.
QLabel* AddStatusAndButton(QWidget* panel, const char* panelName, const char* status,
                           QPushButton*& button, const char* buttonName, const char* caption);

// The names a panel gives its slots' controls and the heights it gives them.
struct SlotStyle {
    const char* heading;  // of a drive pick
    const char* list;     // of a drive pick
    const char* caption;
    const char* leftLegend;
    const char* rightLegend;
    const char* result;
    const char* track;
    const char* bar;
    int resultHeight;  // twips
    int barHeight;     // twips
};

// One slot: its caption, the two legends under it with the result between
// them, and the track with its bar below; places in twips.
struct SlotPlace {
    const char* caption;
    int captionLeft;
    int captionTop;
    const char* leftLegend;
    int leftLegendLeft;
    const char* rightLegend;
    int rightLegendLeft;
    int legendTop;
    int resultLeft;
    int resultWidth;
    int trackLeft;
    int trackTop;
};

// A drive list under its heading, followed by the next `slotCount` slots.
struct DrivePick {
    const char* heading;
    int left;
    int top;
    std::size_t slotCount;
};

struct PanelSlots {
    std::vector<DriveList*> lists;
    std::vector<QLabel*> results;
    std::vector<QFrame*> tracks;
    std::vector<QFrame*> bars;
};

// Builds the slots in table order; each pick's heading and drive list come
// before the slots that follow it, so that tab order follows the eye.
PanelSlots AddSlots(QWidget* panel, const SlotStyle& style, std::span<const SlotPlace> places,
                    std::span<const DrivePick> picks, const DriveEntries& drives);

// Hands what AddSlots built to a window's fixed-size arrays (`lists` may be
// empty where the drive list stands apart) and makes the panel's view.
std::unique_ptr<PanelView> TakeSlots(const PanelSlots& built, std::span<DriveList*> lists,
                                     std::span<QLabel*> results, std::span<QFrame*> tracks,
                                     std::span<QFrame*> bars, PanelControls controls,
                                     const RunState& state, QWidget* owner);

}  // namespace trevalon::shell

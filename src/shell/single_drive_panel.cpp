// The "Detailed Single Drive Check" panel: one drive, nine built.
#include <array>

#include "look/classic_font.h"
#include "look/twips.h"
#include "net/site_address.h"
#include "shell/main_window.h"
#include "shell/panel_parts.h"

namespace trevalon::shell {

using look::TwipsRect;

namespace {

constexpr SlotStyle kStyle{nullptr,          nullptr,        "lblSingleCaption",
                           "lblSingleLeftLegend", "lblSingleRightLegend", "lblStatusBar",
                           "pctStatusBar",   "pctStatusBarDetail", 195, 255};

// clang-format off
constexpr std::array<SlotPlace, 9> kSlots{{
    {"Small File Write Speed (1 MB):", 120, 1020, "<-- Fast", 120, "Slow -->", 3120, 1260, 795, 2220, 90, 1470},
    {"Small File Read Speed (1 MB):", 4110, 1020, "<-- Fast", 4110, "Slow -->", 7080, 1260, 4800, 2190, 4080, 1470},
    {"Large File Write Speed (10 MB):", 120, 1830, "<-- Fast", 120, "Slow -->", 3090, 2070, 810, 2190, 90, 2280},
    {"Large File Read Speed (10 MB):", 4110, 1830, "<-- Fast", 4110, "Slow -->", 7080, 2070, 4800, 2190, 4080, 2280},
    {"Drive Overall Write Speed (KB/second):", 120, 2640, "<-- Slow", 120, "Fast -->", 3150, 2880, 870, 2190, 90, 3090},
    {"Drive Overall Read Speed (KB/second):", 4110, 2640, "<-- Slow", 4110, "Fast -->", 7140, 2880, 4860, 2190, 4080, 3090},
    {"File Copy Speed (10 MB):", 120, 3450, "<-- Fast", 120, "Slow -->", 3090, 3690, 810, 2190, 90, 3900},
    {"Directory Lookup Speed (10000 Files):", 4110, 3450, "<-- Fast", 4110, "Slow -->", 7080, 3690, 4800, 2190, 4080, 3900},
    {"File Delete Speed (20 MB):", 120, 4260, "<-- Fast", 120, "Slow -->", 3090, 4500, 810, 2190, 90, 4710},
}};
// clang-format on

}  // namespace

void frmDriveSpeed::BuildSingleDrivePanel(const DriveEntries& drives) {
    QWidget* panel = fraStandardSingleDrive;
    AddCaption(panel, QStringLiteral("lblSelectDrive"), QStringLiteral("Select Drive To Speed Check"),
               120, 270);
    Drive1 = AddDriveList(panel, QStringLiteral("Drive1"), drives, TwipsRect(2760, 210, 3135, 315));
    cmdCheckSpeed = AddTestButton(panel, "cmdCheckSpeed", "Check My Drive Speed");
    connect(cmdCheckSpeed, &QPushButton::clicked, this, &frmDriveSpeed::cmdCheckSpeed_Click);
    AddRuleLine(panel, QStringLiteral("linSingleTop"), 570);
    lblStatus = AddFixedLabel(panel, QStringLiteral("lblStatus"),
                              QStringLiteral("Please Choose A Drive To Test"),
                              look::ClassicUiFont(9.75, true), TwipsRect(90, 630, 7725, 255),
                              Qt::AlignHCenter);
    AddRuleLine(panel, QStringLiteral("linSingleBottom"), 930);

    singleView_ = TakeSlots(AddSlots(panel, kStyle, kSlots, {}, drives), {}, lblStatusBar,
                            pctStatusBar, pctStatusBarDetail,
                            {lblStatus, {}, {}, {Drive1}, cmdCheckSpeed}, *this, this);

    AddCaption(panel, QStringLiteral("lblProvidedBy"), QStringLiteral("Provided By:"), 4110, 4260);
    AddFixedLabel(panel, QStringLiteral("lblMaker"), QStringLiteral("Mirrowin"),
                  look::ClassicUiFont(13.5, true), TwipsRect(4335, 4500, 3405, 360),
                  Qt::AlignHCenter);
    AddFixedLabel(panel, QStringLiteral("lblWebAddress"), QString::fromStdString(net::SiteHost()),
                  look::ClassicUiFont(8.25, true), TwipsRect(4380, 4860, 3390, 195),
                  Qt::AlignHCenter);
}

}  // namespace trevalon::shell

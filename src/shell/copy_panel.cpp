// The "Multi-Drive Copy Test" panel: one source drive, three destinations
// with a copy slot under each.
#include <array>

#include "shell/main_window.h"
#include "shell/panel_parts.h"

namespace trevalon::shell {

namespace {

constexpr SlotStyle kStyle{"lblCopyHeading",    "drvCopy",           "lblCopyCaption",
                           "lblCopyLeftLegend", "lblCopyRightLegend", "lblCopySeconds",
                           "pctCopyStatusBar",  "pctCopyStatusBarDetail", 225, 285};

constexpr std::array<DrivePick, 4> kPicks{{
    {"#1. Source Drive To Copy From", 120, 750, 0},
    {"#2. Destination Drive To Copy To", 4110, 750, 1},
    {"#3. Destination Drive To Copy To", 4110, 2250, 1},
    {"#4. Destination Drive To Copy To", 4110, 3750, 1},
}};

constexpr const char* kCopy = "Drive To Drive Copy Speed (10MB):";

// clang-format off
constexpr std::array<SlotPlace, 3> kSlots{{
    {kCopy, 4110, 1350, "<-- Fast", 4080, "Slow -->", 7140, 1590, 4860, 2235, 4080, 1800},
    {kCopy, 4110, 2850, "<-- Fast", 4080, "Slow -->", 7140, 3090, 4860, 2235, 4080, 3300},
    {kCopy, 4110, 4350, "<-- Fast", 4080, "Slow -->", 7140, 4590, 4860, 2235, 4080, 4800},
}};
// clang-format on

}  // namespace

void frmDriveSpeed::BuildCopyPanel(const DriveEntries& drives) {
    QWidget* panel = fraMultiCopy;
    lblCopyStatus = AddStatusAndButton(panel, "Copy", "Please Choose The Drives To Test",
                                       cmdCopyComparison, "cmdCopyComparison",
                                       "Begin Copy Comparison");
    connect(cmdCopyComparison, &QPushButton::clicked, this,
            &frmDriveSpeed::cmdCopyComparison_Click);

    copyView_ = TakeSlots(AddSlots(panel, kStyle, kSlots, kPicks, drives), drvCopy,
                          lblCopySeconds, pctCopyStatusBar, pctCopyStatusBarDetail,
                          {lblCopyStatus, {}, {}, {}, cmdCopyComparison}, *this, this);
}

}  // namespace trevalon::shell

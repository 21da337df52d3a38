// The "Compare Multiple Drive Speeds" panel: four drives, a write and a read
// slot under each.
#include <array>

#include "shell/main_window.h"
#include "shell/panel_parts.h"

namespace trevalon::shell {

namespace {

constexpr SlotStyle kStyle{"lblCompareHeading",    "drvCompare",
                           "lblCompareCaption",    "lblCompareLeftLegend",
                           "lblCompareRightLegend", "lblCompareSeconds",
                           "pctCompareStatusBar",  "pctCompareStatusBarDetail",
                           225,                    285};

constexpr std::array<DrivePick, 4> kPicks{{
    {"#1. Select Drive A Drive To Compare", 120, 750, 2},
    {"#2. Select Drive A Drive To Compare", 4110, 750, 2},
    {"#3. Select Drive A Drive To Compare", 120, 3000, 2},
    {"#4. Select Drive A Drive To Compare", 4110, 3000, 2},
}};

constexpr const char* kWrite = "Drive Overall Write Speed (KB/second):";
constexpr const char* kRead = "Drive Overall Read Speed (KB/second):";

// clang-format off
constexpr std::array<SlotPlace, 8> kSlots{{
    {kWrite, 120, 1350, "<-- Slow", 120, "Fast -->", 3150, 1590, 870, 2235, 90, 1800},
    {kRead, 120, 2130, "<-- Slow", 120, "Fast -->", 3150, 2370, 870, 2235, 90, 2580},
    {kWrite, 4110, 1350, "<-- Slow", 4110, "Fast -->", 7140, 1590, 4860, 2235, 4080, 1800},
    {kRead, 4110, 2130, "<-- Slow", 4110, "Fast -->", 7140, 2370, 4860, 2235, 4080, 2580},
    {kWrite, 120, 3600, "<-- Slow", 120, "Fast -->", 3150, 3840, 870, 2235, 90, 4050},
    {kRead, 120, 4380, "<-- Slow", 120, "Fast -->", 3150, 4620, 870, 2235, 90, 4830},
    {kWrite, 4110, 3600, "<-- Slow", 4110, "Fast -->", 7140, 3840, 4860, 2235, 4080, 4050},
    {kRead, 4110, 4380, "<-- Slow", 4110, "Fast -->", 7140, 4620, 4860, 2235, 4080, 4830},
}};
// clang-format on

}  // namespace

void frmDriveSpeed::BuildComparisonPanel(const DriveEntries& drives) {
    QWidget* panel = fraDriveSpeedComparison;
    lblCompareStatus = AddStatusAndButton(panel, "Compare", "Please Choose The Drives To Compare",
                                          cmdCompareDrives, "cmdCompareDrives",
                                          "Begin Drive Comparison");
    connect(cmdCompareDrives, &QPushButton::clicked, this, &frmDriveSpeed::cmdCompareDrives_Click);

    comparisonView_ = TakeSlots(AddSlots(panel, kStyle, kSlots, kPicks, drives), drvCompare,
                                lblCompareSeconds, pctCompareStatusBar, pctCompareStatusBarDetail,
                                {lblCompareStatus, {}, {}, {}, cmdCompareDrives}, *this, this);
}

}  // namespace trevalon::shell

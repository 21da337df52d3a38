// The "Compare Multiple Drive Speeds" panel: four drives, a write and a read
// result under each.
#include "forms/windows.h"
#include "shell/main_window.h"
#include "shell/panel_parts.h"

namespace trevalon::shell {

void frmDriveSpeed::BuildComparisonPanel(const DriveEntries& drives) {
    const PanelSlots built = BuildPanel(fraDriveSpeedComparison, forms::DriveSpeedForm(),
                                        forms::Panels()[1], drives);
    lblCompareStatus = built.status;
    cmdCompareDrives = built.button;
    connect(cmdCompareDrives, &QPushButton::clicked, this, &frmDriveSpeed::cmdCompareDrives_Click);
    comparisonView_ = TakeSlots(built, drvCompare, lblCompareSeconds, pctCompareStatusBar,
                                pctCompareStatusBarDetail, *this, this);
}

}  // namespace trevalon::shell

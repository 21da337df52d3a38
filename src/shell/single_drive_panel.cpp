// The "Detailed Single Drive Check" panel: one drive, nine results.
#include "forms/windows.h"
#include "shell/main_window.h"
#include "shell/panel_parts.h"

namespace trevalon::shell {

void frmDriveSpeed::BuildSingleDrivePanel(const DriveEntries& drives) {
    const PanelSlots built = BuildPanel(fraStandardSingleDrive, forms::DriveSpeedForm(),
                                        forms::Panels()[0], drives);
    Drive1 = built.lists.at(0);
    cmdCheckSpeed = built.button;
    lblStatus = built.status;
    connect(cmdCheckSpeed, &QPushButton::clicked, this, &frmDriveSpeed::cmdCheckSpeed_Click);
    singleView_ =
        TakeSlots(built, {}, lblStatusBar, pctStatusBar, pctStatusBarDetail, *this, this);
}

}  // namespace trevalon::shell

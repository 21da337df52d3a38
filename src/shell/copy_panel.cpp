// The "Multi-Drive Copy Test" panel: one source drive, three destinations
// with a copy result under each.
#include "forms/windows.h"
#include "shell/main_window.h"
#include "shell/panel_parts.h"

namespace trevalon::shell {

void frmDriveSpeed::BuildCopyPanel(const DriveEntries& drives) {
    const PanelSlots built =
        BuildPanel(fraMultiCopy, forms::DriveSpeedForm(), forms::Panels()[2], drives);
    lblCopyStatus = built.status;
    cmdCopyComparison = built.button;
    connect(cmdCopyComparison, &QPushButton::clicked, this,
            &frmDriveSpeed::cmdCopyComparison_Click);
    copyView_ = TakeSlots(built, drvCopy, lblCopySeconds, pctCopyStatusBar,
                          pctCopyStatusBarDetail, *this, this);
}

}  // namespace trevalon::shell

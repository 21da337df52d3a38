#include "shell/frmAbout.h"

#include <QLabel>

#include "forms/windows.h"
#include "look/form_widgets.h"
#include "shell/window_hints.h"

namespace trevalon::shell {
QPointer<frmAbout> frmAbout::loaded_;

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    const forms::Form& form = forms::AboutForm();
    setObjectName(look::Text(form.name));
    setWindowTitle(look::Text(form.caption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(look::FontOf(form.font));
    look::ApplyClientArea(*this, form);

    for (const forms::Control& control : form.controls) look::BuildLabel(this, control);
    const auto label = [this](const char* name) { return findChild<QLabel*>(name); };
    Label1 = label("Label1");
    Label2 = label("Label2");
    Label3 = label("Label3");
    Label4 = label("Label4");
    Label5 = label("Label5");
    Label6 = label("Label6");
    Label7 = label("Label7");
    Label8 = label("Label8");
    Label9 = label("Label9");
    Label10 = label("Label10");
    Label11 = label("Label11");
    Label12 = label("Label12");
}

frmAbout* frmAbout::Loaded() { return loaded_.data(); }

frmAbout* frmAbout::ShowOrRaise() {
    // A box closed but not yet destroyed (its deletion waits for the event
    // loop) counts as unloaded: it goes now, and a fresh one takes its place.
    if (loaded_ && !loaded_->isVisible()) delete loaded_.data();
    if (!loaded_) {
        loaded_ = new frmAbout();
        KeepOffTaskBar(*loaded_);
    }
    // A box the user minimised has no task-bar entry to come back from: this is its way back.
    loaded_->setWindowState(loaded_->windowState() & ~Qt::WindowMinimized);
    loaded_->show();
    KeepWithoutIcon(*loaded_);
    loaded_->raise();
    loaded_->activateWindow();
    return loaded_.data();
}

}  // namespace trevalon::shell

#include "win32/frmAbout.h"

#include "win32/form_tables.h"

namespace trevalon::win32 {

namespace {

frmAbout* loaded = nullptr;

}  // namespace

frmAbout::frmAbout() {
    // A fixed dialog border with only a close button, and no task bar entry.
    Create(AboutForm(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
           Placement::kSystemDefault, HiddenOwner());
}

void frmAbout::ShowOrRaise() {
    if (loaded == nullptr) loaded = new frmAbout();
    ShowWindow(loaded->Handle(), SW_SHOW);
    SetForegroundWindow(loaded->Handle());
}

frmAbout* frmAbout::Loaded() { return loaded; }

// Closing unloads the box; the next command loads it afresh.
void frmAbout::OnDestroyed() {
    if (loaded == this) loaded = nullptr;
    delete this;
}

}  // namespace trevalon::win32

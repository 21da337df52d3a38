// frmAbout: the about box, which is the program's help too.
#pragma once

#include "win32/form_window.h"

namespace trevalon::win32 {

class frmAbout final : public FormWindow {
public:
    // Loads the one box, or brings the loaded one to the front.
    static void ShowOrRaise();
    static frmAbout* Loaded();

protected:
    void OnDestroyed() override;

private:
    frmAbout();
};

}  // namespace trevalon::win32

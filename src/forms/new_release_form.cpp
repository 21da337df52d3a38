// frmNewRelease: the news of the latest version beside the main window.
#include "forms/header_bar_form.h"
#include "forms/windows.h"

namespace trevalon::forms {

const Form& NewReleaseForm() {
    static const Form form = HeaderBarForm(
        "frmNewRelease", 7635, 5190, StartPosition::CentreScreen, "New Version Available",
        {
            {.kind = Kind::TextBox, .name = "txtNewVersion", .place = {90, 510, 7455, 4095},
             .toolTip = "The latest version news."},
            {.kind = Kind::PictureButton, .name = "cmd1", .place = {2940, 4740, 1665, 345},
             .caption = "Cancel", .toolTip = "Click here to close this message"},
        });
    return form;
}

}  // namespace trevalon::forms

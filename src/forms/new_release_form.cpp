// frmNewRelease: the news of the latest version beside the main window.
#include "forms/windows.h"

namespace trevalon::forms {

const Form& NewReleaseForm() {
    static const Form form{
        .name = "frmNewRelease",
        .caption = "",
        .border = Border::FixedSingle,
        .controlBox = false,
        .minButton = false,
        .maxButton = false,
        .showInTaskbar = true,
        .icon = true,
        .clientWidth = 7635,
        .clientHeight = 5190,
        .position = StartPosition::CentreScreen,
        .back = Rgb(232, 232, 232),
        .font = DialogFont(),
        .picture = Picture::None,
        .controls =
            {
                {.kind = Kind::HeaderStrip, .name = "pictHeaderBar", .place = {0, 0, 10500, 405},
                 .caption = "New Version Available",
                 .toolTip = "Click here and drag to move this window"},
                {.kind = Kind::TextBox, .name = "txtNewVersion", .place = {90, 510, 7455, 4095},
                 .toolTip = "The latest version news."},
                {.kind = Kind::PictureButton, .name = "cmd1", .place = {2940, 4740, 1665, 345},
                 .caption = "Cancel", .toolTip = "Click here to close this message"},
            },
        .menus = {},
    };
    return form;
}

}  // namespace trevalon::forms

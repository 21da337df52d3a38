// frmSplash: the artwork, a status line along its bottom, the one-shot timer
// that runs start-up and the transfer control the version check uses.
#include "forms/windows.h"

namespace trevalon::forms {

const Form& SplashForm() {
    static const Form form{
        .name = "frmSplash",
        .caption = "",
        .border = Border::FixedSingle,
        .controlBox = false,
        .minButton = false,
        .maxButton = false,
        .showInTaskbar = false,
        .icon = true,
        .clientWidth = 6750,
        .clientHeight = 3750,
        .position = StartPosition::CentreScreen,
        .back = Rgb(232, 232, 232),
        .font = DialogFont(),
        .picture = Picture::SplashArtwork,
        .controls =
            {
                {.kind = Kind::Label, .name = "lblStatus", .place = {150, 3360, 6435, 255},
                 .caption = "Loading...", .font = DialogFont(8.25, true), .align = Align::Centre},
                {.kind = Kind::Timer, .name = "tmrInitializeApp", .milliseconds = 1000},
                {.kind = Kind::Transfer, .name = "Inet1", .milliseconds = 60'000},
            },
        .menus = {},
    };
    return form;
}

}  // namespace trevalon::forms

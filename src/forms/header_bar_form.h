// frmErrors and frmNewRelease are alike but for their size and controls: no
// title bar, a grey client area and a header strip to drag the window by.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "forms/form.h"

namespace trevalon::forms {

inline Form HeaderBarForm(std::string_view name, int clientWidth, int clientHeight,
                          StartPosition position, std::string_view header,
                          std::vector<Control> below) {
    Form form{
        .name = name,
        .caption = "",
        .border = Border::FixedSingle,
        .controlBox = false,
        .minButton = false,
        .maxButton = false,
        .showInTaskbar = true,
        .icon = true,
        .clientWidth = clientWidth,
        .clientHeight = clientHeight,
        .position = position,
        .back = Rgb(232, 232, 232),
        .font = DialogFont(),
        .picture = Picture::None,
        .controls = {{.kind = Kind::HeaderStrip, .name = "pictHeaderBar", .place = {0, 0, 10500, 405},
                      .caption = header, .toolTip = "Click here and drag to move this window"}},
        .menus = {},
    };
    form.controls.insert(form.controls.end(), std::make_move_iterator(below.begin()),
                         std::make_move_iterator(below.end()));
    return form;
}

}  // namespace trevalon::forms

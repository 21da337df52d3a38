// Every window of the program as data. Each form is built once, on first use,
// and lives until the program ends.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "forms/form.h"

namespace trevalon::forms {

const Form& SplashForm();      // frmSplash
const Form& DriveSpeedForm();  // frmDriveSpeed: the three panels and the menus
const Form& ErrorsForm();      // frmErrors
const Form& NewReleaseForm();  // frmNewRelease
const Form& AboutForm();       // frmAbout
std::array<const Form*, 5> AllForms();

// The three test panels of frmDriveSpeed, in the order they are created.
inline constexpr std::string_view kSingleDrivePanel = "fraStandardSingleDrive";
inline constexpr std::string_view kComparisonPanel = "fraDriveSpeedComparison";
inline constexpr std::string_view kCopyPanel = "fraMultiCopy";

// The names a panel gives its controls; its slots are the elements of the
// result, track and bar arrays, its drive lists the elements of `list` (the
// single-drive panel's one list is Drive1, no array).
struct PanelNames {
    std::string_view panel;
    std::string_view status;
    std::string_view button;
    std::string_view list;
    std::string_view result;
    std::string_view track;
    std::string_view bar;
    std::int32_t location;  // of the button's click handler, the test's
};
const std::array<PanelNames, 3>& Panels();

// Where the built texts point.
struct Site {
    std::string_view baseUrl;  // scheme and host
    std::string_view host;     // host (and port)
};

// The control's text as shown: its caption followed by what its fill names.
std::string ShownText(const Control& control, const Site& site);

}  // namespace trevalon::forms

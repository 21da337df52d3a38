// frmErrors: the apology, the three values and the two picture buttons.
#include "forms/header_bar_form.h"
#include "forms/windows.h"

namespace trevalon::forms {

namespace {
constexpr Font kBold = DialogFont(8.25, true);
}  // namespace

const Form& ErrorsForm() {
    static const Form form = HeaderBarForm(
        "frmErrors", 4875, 4215, StartPosition::CentreOwner, "An Error Has Occured",
        {
            {.kind = Kind::Label, .name = "Label1", .place = {60, 450, 4755, 1485},
             .caption = "We regret that an unexpected error has occured in our software.  This "
                        "error has been captured and we would appreciate it if you could "
                        "transfer this error to us so that we may investigate.  We respect "
                        "your privacy and only the limited information you see below will be "
                        "transfered to us.  Thank you for helping us make this a better "
                        "product.",
             .font = kBold, .wordWrap = true},
            {.kind = Kind::Label, .name = "lblErrorLocation", .place = {60, 2010, 4755, 255},
             .caption = "Error Location:", .font = kBold},
            {.kind = Kind::Label, .name = "lblErrorNumber", .place = {60, 2370, 4755, 255},
             .caption = "Error Number:", .font = kBold},
            {.kind = Kind::Label, .name = "lblErrorDescription", .place = {60, 2730, 4755, 945},
             .caption = "Error Description:", .font = kBold, .wordWrap = true},
            {.kind = Kind::PictureButton, .name = "cmdSendError", .place = {90, 3780, 1665, 345},
             .caption = "Send Report"},
            {.kind = Kind::PictureButton, .name = "cmdCancel", .place = {3120, 3780, 1665, 345},
             .caption = "Cancel"},
            {.kind = Kind::Transfer, .name = "Inet1", .milliseconds = 10'000},
        });
    return form;
}

}  // namespace trevalon::forms

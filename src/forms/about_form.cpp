// frmAbout: the program's help, labels only, and the maker's contact details.
#include <array>

#include "forms/windows.h"

namespace trevalon::forms {

namespace {

// The maker's contact details besides the site: they reach no one. A number
// in the 555-01xx range kept for fiction and a street that does not exist.
constexpr std::string_view kPhone = "(206) 555-0142";
constexpr std::string_view kStreet = "1820 Mirrowin Way";
constexpr std::string_view kTown = "Bellevue, WA 98004";
constexpr std::string_view kCountry = "USA";
constexpr std::string_view kSupportHours = "Mon - Fri, 9:00 AM - 5:00 PM Pacific";

constexpr int kOneLine = 195;

Control Wrapped(std::string_view name, Place place, std::string_view text) {
    return {.kind = Kind::Label, .name = name, .place = place, .caption = text, .wordWrap = true};
}

Control Line(std::string_view name, int left, int top, std::string_view text,
             Fill fill = Fill::None, bool bold = false) {
    return {.kind = Kind::Label, .name = name, .place = {left, top, 0, kOneLine}, .caption = text,
            .fill = fill, .font = DialogFont(8.25, bold), .autoSize = true};
}

// The site's host without port and without a leading "www.": the mail domain.
std::string MailDomain(std::string_view host) {
    host = host.substr(0, host.find(':'));
    if (host.size() >= 4) {
        std::string start(host.substr(0, 4));
        for (char& c : start) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (start == "www.") host.remove_prefix(4);
    }
    return std::string(host);
}

}  // namespace

std::string ShownText(const Control& control, const Site& site) {
    std::string text(control.caption);
    switch (control.fill) {
        case Fill::None: break;
        case Fill::SiteHost: text += site.host; break;
        case Fill::SiteAddress: text += site.baseUrl; break;
        case Fill::SupportMail: text += "support@" + MailDomain(site.host); break;
        case Fill::SupportPhone: text += kPhone; break;
        case Fill::Street: text += kStreet; break;
        case Fill::Town: text += kTown; break;
        case Fill::Country: text += kCountry; break;
        case Fill::SupportHours: text += kSupportHours; break;
    }
    return text;
}

const Form& AboutForm() {
    static const Form form{
        .name = "frmAbout",
        .caption = "About Trevalon",
        .border = Border::FixedDialog,
        .controlBox = true,
        .minButton = false,
        .maxButton = false,
        .showInTaskbar = false,
        .icon = false,
        .clientWidth = 6300,
        .clientHeight = 4395,
        .position = StartPosition::WindowsDefault,
        .back = {},
        .font = DialogFont(),
        .picture = Picture::None,
        .controls =
            {
                Wrapped("Label1", {60, 60, 6165, 915},
                        "Trevalon is an application that will help you analyze the speed of your "
                        "drive.  Some programs that require a lot of drive interaction may run "
                        "slow on a slower drive, therefore you may wish to move them to a faster "
                        "drive.  This application will help you to determine which drives are "
                        "fast."),
                Line("Label2", 60, 1230, "To Use Trevalon:", Fill::None, true),
                Wrapped("Label3", {60, 1530, 6165, 1305},
                        "Trevalon includes 3 main speed comparisons, there is the Single Drive "
                        "Detailed check, the multiple drive read/write comparison, and the "
                        "multiple drive copy speed comparison.  To select the check you wish to "
                        "perform, simple click the Check Drives menu and select the appropriate "
                        "check to run.  Each check will require you to select one or more drives "
                        "to check, then click a button (blue) to activate the test.  In a few "
                        "moments time your results will be displayed."),
                Line("Label4", 60, 3030, "If You Need Help You May Contact Us At:", Fill::None,
                     true),
                Line("Label5", 60, 3390, "Web: ", Fill::SiteAddress),
                Line("Label8", 3780, 3390, "Mirrowin"),
                Line("Label6", 60, 3630, "EMail: ", Fill::SupportMail),
                Line("Label9", 3780, 3630, "", Fill::Street),
                Line("Label7", 60, 3870, "Phone: ", Fill::SupportPhone),
                Line("Label10", 3780, 3870, "", Fill::Town),
                Line("Label12", 60, 4110, "", Fill::SupportHours),
                Line("Label11", 3780, 4110, "", Fill::Country),
            },
        .menus = {},
    };
    return form;
}

std::array<const Form*, 5> AllForms() {
    return {&SplashForm(), &DriveSpeedForm(), &ErrorsForm(), &NewReleaseForm(), &AboutForm()};
}

}  // namespace trevalon::forms

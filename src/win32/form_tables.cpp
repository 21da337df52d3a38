#include "win32/form_tables.h"

#include "forms/windows.h"
#include "net/site_address.h"

namespace trevalon::win32 {

namespace {

std::optional<Rgb> ColourOf(const forms::Colour& colour) {
    switch (colour.source) {
        case forms::Colour::Source::Rgb:
            return (Rgb{colour.red} << 16) | (Rgb{colour.green} << 8) | Rgb{colour.blue};
        case forms::Colour::Source::WindowBack: {
            const COLORREF system = GetSysColor(COLOR_WINDOW);
            return (Rgb{GetRValue(system)} << 16) | (Rgb{GetGValue(system)} << 8) | GetBValue(system);
        }
        case forms::Colour::Source::Shadow: {
            const COLORREF system = GetSysColor(COLOR_BTNSHADOW);
            return (Rgb{GetRValue(system)} << 16) | (Rgb{GetGValue(system)} << 8) | GetBValue(system);
        }
        case forms::Colour::Source::Inherited:
            break;
    }
    return std::nullopt;
}

std::optional<ControlKind> KindOf(const forms::Control& control) {
    switch (control.kind) {
        case forms::Kind::Frame: return ControlKind::kFrame;
        case forms::Kind::Label: return control.autoSize ? ControlKind::kSizedLabel : ControlKind::kLabel;
        case forms::Kind::TestButton: return ControlKind::kTestButton;
        case forms::Kind::PictureButton: return ControlKind::kPictureButton;
        case forms::Kind::HeaderStrip: return ControlKind::kPictureStrip;
        case forms::Kind::DriveList: return ControlKind::kDriveList;
        case forms::Kind::TextBox: return ControlKind::kTextBox;
        case forms::Kind::Track: return ControlKind::kTrack;
        case forms::Kind::Bar: return ControlKind::kBar;
        case forms::Kind::RuleLine: return ControlKind::kRuleLine;
        // No window of their own: the forms' code makes them.
        case forms::Kind::Timer:
        case forms::Kind::Transfer: break;
    }
    return std::nullopt;
}

FontChoice FontOf(const forms::Font& font) {
    return {std::string(font.name), font.points, font.bold};
}

FormDescription Describe(const forms::Form& form) {
    const std::string base = net::SiteBaseUrl();
    const std::string host = net::SiteHost();
    const forms::Site site{base, host};
    FormDescription described;
    described.name = std::string(form.name);
    described.caption = std::string(form.caption);
    described.clientWidth = form.clientWidth;
    described.clientHeight = form.clientHeight;
    described.font = FontOf(form.font);
    described.background = ColourOf(form.back);
    for (const forms::Control& control : form.controls) {
        const std::optional<ControlKind> kind = KindOf(control);
        if (!kind) continue;
        ControlDescription made;
        made.kind = *kind;
        made.name = std::string(control.name);
        made.index = control.index;
        made.left = control.place.left;
        made.top = control.place.top;
        made.width = control.place.width;
        made.height = control.place.height;
        made.caption = forms::ShownText(control, site);
        made.font = FontOf(control.font);
        made.alignment = control.align == forms::Align::Centre ? Alignment::kCenter : Alignment::kLeft;
        made.wrapped = control.wordWrap;
        made.background = ColourOf(control.back);
        made.parent = std::string(control.container);
        made.parentIndex = control.containerIndex;
        made.tooltip = std::string(control.toolTip);
        described.controls.push_back(std::move(made));
    }
    for (const forms::Menu& menu : form.menus) {
        MenuDescription made{std::string(menu.name), std::string(menu.caption), {}};
        for (const forms::MenuCommand& command : menu.commands) {
            made.commands.push_back({std::string(command.name), std::string(command.caption),
                                     forms::ShortcutText(command.shortcut), command.separatorAfter,
                                     command.checkable});
        }
        described.menus.push_back(std::move(made));
    }
    return described;
}

}  // namespace

FormDescription DriveSpeedForm() { return Describe(forms::DriveSpeedForm()); }
FormDescription SplashForm() { return Describe(forms::SplashForm()); }
FormDescription ErrorsForm() { return Describe(forms::ErrorsForm()); }
FormDescription AboutForm() { return Describe(forms::AboutForm()); }
FormDescription NewReleaseForm() { return Describe(forms::NewReleaseForm()); }

}  // namespace trevalon::win32

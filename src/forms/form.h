// A window described as data: its own properties, its controls and its menus,
// in twips and UTF-8 texts, for any front end to build from. Standard C++ only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trevalon::forms {

// 1440 to the inch; 15 to a pixel at 96 dots per inch.
constexpr int Pixels(int twips, int dotsPerInch = 96) { return twips * dotsPerInch / 1440; }

enum class Kind : std::uint8_t {
    Frame,          // a border with its caption set into the top edge
    Label,
    TestButton,     // a push button in the graphical style, in its back colour
    PictureButton,  // a clickable button image that reads its caption
    HeaderStrip,    // a picture strip: the header image with its caption as words
    DriveList,      // a drop-down list of the computer's drives
    TextBox,        // multi-line, with a vertical scroll bar
    Track,          // a flat rectangle with a one-pixel border
    Bar,            // a flat borderless rectangle inside its track; only its width changes
    RuleLine,       // a one-pixel horizontal line
    Timer,          // no place; `milliseconds` is its interval
    Transfer,       // the Internet transfer control; `milliseconds` is its request time-out
};

enum class Align : std::uint8_t { Left, Centre, Right };

struct Colour {
    enum class Source : std::uint8_t {
        Inherited,   // the container's
        Rgb,
        WindowBack,  // the platform's window background colour
        Shadow,      // the platform's shadow colour (lines and borders)
    };
    Source source = Source::Inherited;
    std::uint8_t red = 0, green = 0, blue = 0;

    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};
constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return {Colour::Source::Rgb, r, g, b};
}
inline constexpr Colour kWindowBack{Colour::Source::WindowBack};
inline constexpr Colour kShadow{Colour::Source::Shadow};

struct Font {
    std::string_view name;
    double points;
    bool bold;

    friend constexpr bool operator==(const Font&, const Font&) = default;
};
inline constexpr std::string_view kDialogFontName = "MS Sans Serif";
constexpr Font DialogFont(double points = 8.25, bool bold = false) {
    return {kDialogFontName, points, bold};
}

// Left, Top relative to the container (a bar: to its track's inside).
struct Place {
    int left = 0, top = 0, width = 0, height = 0;

    friend constexpr bool operator==(const Place&, const Place&) = default;
};

// Texts the build chooses, put behind a control's fixed caption.
enum class Fill : std::uint8_t {
    None,
    SiteHost,     // the maker's web address as shown: host only
    SiteAddress,  // scheme and host
    SupportMail,
    SupportPhone,
    Street,
    Town,
    Country,
    SupportHours,
};

struct Control {
    Kind kind = Kind::Label;
    std::string_view name{};
    int index = -1;  // element of the control array `name`, or -1
    // The frame or track it sits in; empty: the window's client area.
    std::string_view container{};
    int containerIndex = -1;
    Place place{};
    std::string_view caption{};  // initial text
    Fill fill = Fill::None;
    Font font = DialogFont();
    Align align = Align::Left;
    bool autoSize = false;  // as wide as its text, one line
    bool wordWrap = false;
    Colour back{};
    bool visible = true;
    std::string_view toolTip{};
    int milliseconds = 0;
};

// A key that runs a command from anywhere in the window.
struct Shortcut {
    bool ctrl = false;
    char key = 0;       // 'A'..'Z', or 0
    int function = 0;   // 1 for F1, or 0

    friend constexpr bool operator==(const Shortcut&, const Shortcut&) = default;
};
constexpr Shortcut Ctrl(char key) { return {true, key, 0}; }
constexpr Shortcut FunctionKey(int n) { return {false, 0, n}; }

// What a menu command does; the front end gives each its handler.
enum class Command : std::uint8_t {
    CopyResults,
    Exit,
    DriveSpeedComparison,
    MultiDriveCopyCheck,
    SingleDriveDetailedCheck,
    Uncached,
    MirrowinOnline,
    HelpDetail,
    About,
};

struct MenuCommand {
    std::string_view name{};
    std::string_view caption{};  // "&" before the access key
    Shortcut shortcut{};
    Command command = Command::Exit;
    std::int32_t location = 0;  // its handler's error location number
    bool checkable = false;
    bool separatorAfter = false;
};

struct Menu {
    std::string_view name{};
    std::string_view caption{};
    std::span<const MenuCommand> commands{};
};

enum class Border : std::uint8_t { FixedSingle, FixedDialog };
enum class StartPosition : std::uint8_t { CentreScreen, CentreOwner, WindowsDefault };
enum class Picture : std::uint8_t { None, SplashArtwork };

struct Form {
    std::string_view name{};
    std::string_view caption{};
    Border border{};
    bool controlBox{};
    bool minButton{};
    bool maxButton{};
    bool showInTaskbar{};
    bool icon{};
    int clientWidth{};
    int clientHeight{};
    StartPosition position{};
    Colour back{};
    Font font{};
    Picture picture{};
    std::vector<Control> controls{};  // in the order a front end creates them
    std::span<const Menu> menus{};

    // The control of that name and index; throws std::out_of_range if none.
    const Control& Get(std::string_view name, int index = -1) const;
    // The elements of a control array, by index.
    std::vector<const Control*> Array(std::string_view name) const;
    // The controls whose container is that frame or track, in creation order.
    std::vector<const Control*> In(std::string_view container, int index = -1) const;
    // A window without caption and control box shows no title bar.
    bool TitleBar() const { return !caption.empty() || controlBox; }
};

// "name", or "name_index" for an element of a control array: the one name a
// front end gives the built control.
std::string QualifiedName(const Control& control);
// The character after the single "&", or 0.
char AccessKey(std::string_view caption);
// The caption without its "&" marker ("&&" stays one "&").
std::string PlainCaption(std::string_view caption);
// "Ctrl+E", "F1": the portable text of a shortcut.
std::string ShortcutText(const Shortcut& shortcut);

}  // namespace trevalon::forms

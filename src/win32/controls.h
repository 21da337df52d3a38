// Controls made from a description in twips: the one way every window of the
// Win32 front end gets its controls, so that each keeps its name (a window
// property the test helper reads) and the id that follows from its place in
// its window's list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trevalon::win32 {

enum class ControlKind {
    kFrame,          // a panel: border with its caption set into the top edge
    kLabel,          // fixed size (wrapped or one line)
    kSizedLabel,     // as wide as its text
    kDriveList,      // drop-down list
    kTestButton,     // flat-coloured push button
    kTrack,          // flat rectangle with a one-pixel border
    kBar,            // flat borderless rectangle inside a track
    kRuleLine,       // one-pixel horizontal line
    kPictureStrip,   // drawn header strip
    kPictureButton,  // drawn button
    kTextBox,        // multi-line, read-only, vertical scroll bar
};

enum class Alignment { kLeft, kCenter };

struct FontChoice {
    std::string face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
};

// 0xRRGGBB.
using Rgb = std::uint32_t;

struct ControlDescription {
    ControlKind kind = ControlKind::kLabel;
    std::string name;
    int index = -1;  // element of a control array, -1 when it is none
    int left = 0, top = 0, width = 0, height = 0;  // twips
    std::string caption;
    FontChoice font;
    Alignment alignment = Alignment::kLeft;
    bool wrapped = false;
    std::optional<Rgb> background;
    std::optional<Rgb> foreground;
    // The frame or track it sits in, by name (and index); empty: the client area.
    std::string parent;
    int parentIndex = -1;
    std::string tooltip;
};

// The name the helper and the tests look a control up by: "lblStatusBar(3)".
std::string ControlKey(const std::string& name, int index);

// Ids start here; a control's id is kFirstControlId + its place in the list.
inline constexpr int kFirstControlId = 1000;

// The property that carries a control's key (a global atom).
inline constexpr const wchar_t* kNameProperty = L"TrevalonName";

// Registers the window classes the controls use; once per process.
void RegisterControlClasses(HINSTANCE instance);

struct BuiltControls {
    std::vector<HWND> windows;  // in description order

    HWND Find(const std::string& name, int index = -1) const;
    int IdOf(const std::string& name, int index = -1) const;
    const std::vector<ControlDescription>* descriptions = nullptr;
};

// Creates every control of `controls` in `window`, in order; parents come
// before their children.
BuiltControls CreateControls(HWND window, const std::vector<ControlDescription>& controls,
                             int dpi);

// The font of a description at `dpi`, made once and kept for the program's life.
HFONT FontFor(const FontChoice& font, int dpi);

// What a window procedure answers to WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT for
// a control made here; nullptr for others. Labels on the window itself stand
// on `windowBackground` (the system's face colour when unset).
HBRUSH ControlColours(HWND control, HDC dc, std::optional<Rgb> windowBackground);
// Draws an owner-drawn test or picture button made here.
bool DrawControl(const DRAWITEMSTRUCT& item);

// A window's background brush for an 0xRRGGBB colour, kept for the program's life.
HBRUSH SolidBrush(Rgb colour);
COLORREF ToColorref(Rgb colour);

// Sets a bar's width in pixels, keeping its left, top and height.
void SetWidthPixels(HWND control, int width);

std::wstring WindowText(HWND window);

}  // namespace trevalon::win32

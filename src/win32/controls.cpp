#include "win32/controls.h"

#include <commctrl.h>

#include <map>
#include <tuple>
#include <unordered_map>

#include "win32/twips.h"
#include "win32/wide_text.h"

namespace trevalon::win32 {

namespace {

constexpr const wchar_t* kFrameClass = L"TrevalonFrame";
constexpr const wchar_t* kRectClass = L"TrevalonRect";

// What a made control is drawn with, beyond what its window class knows.
struct Look {
    ControlKind kind;
    std::optional<Rgb> background;
    std::optional<Rgb> foreground;
    HFONT font;
};

std::unordered_map<HWND, Look>& Looks() {
    static std::unordered_map<HWND, Look> looks;
    return looks;
}

const Look* LookOf(HWND control) {
    const auto found = Looks().find(control);
    return found == Looks().end() ? nullptr : &found->second;
}

COLORREF Background(const Look& look) {
    if (look.background) return ToColorref(*look.background);
    switch (look.kind) {
        case ControlKind::kTrack: return GetSysColor(COLOR_WINDOW);
        case ControlKind::kRuleLine: return GetSysColor(COLOR_BTNSHADOW);
        case ControlKind::kPictureStrip: return RGB(0, 51, 153);
        default: return GetSysColor(COLOR_BTNFACE);
    }
}

void PaintFrame(HWND frame, HDC dc) {
    RECT all;
    GetClientRect(frame, &all);
    const Look* look = LookOf(frame);
    const HGDIOBJ oldFont = SelectObject(dc, look ? look->font : GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring caption = WindowText(frame);
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    RECT edge = all;
    edge.top = text.cy / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    RECT place{6, 0, 6 + text.cx + 4, text.cy};
    FillRect(dc, &place, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &place,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void PaintRect(HWND control, HDC dc) {
    RECT all;
    GetClientRect(control, &all);
    const Look* look = LookOf(control);
    const COLORREF fill = look ? Background(*look) : GetSysColor(COLOR_BTNFACE);
    const HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    if (look && look->kind == ControlKind::kPictureStrip) {
        // The header picture: its words in white bold on the left of the band.
        const std::wstring caption = WindowText(control);
        const HGDIOBJ oldFont = SelectObject(dc, look->font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT text = all;
        text.left += 8;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
}

// Child windows of a frame send their notifications to it; the window owns
// the handlers, so they go on up.
LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return SendMessageW(GetParent(window), message, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            PaintFrame(window, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK RectProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            PaintRect(window, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            // Clicks go to what lies beneath, as on a picture box without handlers.
            return HTTRANSPARENT;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle = 0;
};

WindowKind KindFor(const ControlDescription& control) {
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD align = control.alignment == Alignment::kCenter ? SS_CENTER
                        : control.wrapped                       ? SS_LEFT
                                                                : SS_LEFTNOWORDWRAP;
    switch (control.kind) {
        case ControlKind::kFrame: return {kFrameClass, child | WS_CLIPSIBLINGS};
        case ControlKind::kLabel:
        case ControlKind::kSizedLabel: return {L"STATIC", child | align | SS_NOPREFIX};
        case ControlKind::kDriveList:
            return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST};
        case ControlKind::kTestButton:
        case ControlKind::kPictureButton:
            return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW};
        case ControlKind::kTrack: return {kRectClass, child | WS_BORDER | WS_CLIPCHILDREN};
        case ControlKind::kBar:
        case ControlKind::kRuleLine:
        case ControlKind::kPictureStrip: return {kRectClass, child};
        case ControlKind::kTextBox:
            return {L"EDIT",
                    child | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                    WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", child};
}

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

}  // namespace

std::string ControlKey(const std::string& name, int index) {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

void RegisterControlClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof(frame);
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    frame.lpszClassName = kFrameClass;
    RegisterClassExW(&frame);
    WNDCLASSEXW rect = frame;
    rect.lpfnWndProc = RectProc;
    rect.hbrBackground = nullptr;
    rect.lpszClassName = kRectClass;
    RegisterClassExW(&rect);
}

HWND BuiltControls::Find(const std::string& name, int index) const {
    const int id = IdOf(name, index);
    return id < 0 ? nullptr : windows[static_cast<std::size_t>(id - kFirstControlId)];
}

int BuiltControls::IdOf(const std::string& name, int index) const {
    if (descriptions == nullptr) return -1;
    for (std::size_t i = 0; i < descriptions->size(); ++i) {
        const ControlDescription& control = (*descriptions)[i];
        if (control.name == name && control.index == index) {
            return kFirstControlId + static_cast<int>(i);
        }
    }
    return -1;
}

HFONT FontFor(const FontChoice& font, int dpi) {
    static std::map<std::tuple<std::string, int, bool, int>, HFONT> fonts;
    const int hundredths = static_cast<int>(font.points * 100 + 0.5);
    const auto key = std::make_tuple(font.face, hundredths, font.bold, dpi);
    if (const auto found = fonts.find(key); found != fonts.end()) return found->second;
    const HFONT made = CreateFontW(-PointsToPixels(font.points, dpi), 0, 0, 0,
                                   font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                   Wide(font.face).c_str());
    fonts[key] = made;
    return made;
}

BuiltControls CreateControls(HWND window, const std::vector<ControlDescription>& controls,
                             int dpi) {
    BuiltControls built;
    built.descriptions = &controls;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlDescription& control = controls[i];
        HWND parent = window;
        if (!control.parent.empty()) {
            if (HWND found = built.Find(control.parent, control.parentIndex)) parent = found;
        }
        const WindowKind kind = KindFor(control);
        const HFONT font = FontFor(control.font, dpi);
        const std::wstring caption = Wide(control.caption);
        int width = px(control.width);
        int height = px(control.height);
        if (control.kind == ControlKind::kSizedLabel) {
            width = TextWidth(window, font, caption);
            if (height == 0) height = px(195);
        }
        if (control.kind == ControlKind::kRuleLine && height == 0) height = 1;
        // A drop-down list's own height is that of its open list.
        const int createHeight = control.kind == ControlKind::kDriveList ? px(3000) : height;
        const int id = kFirstControlId + static_cast<int>(i);
        HWND made = CreateWindowExW(kind.exStyle, kind.className, caption.c_str(), kind.style,
                                    px(control.left), px(control.top), width, createHeight, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                    nullptr);
        Looks()[made] = Look{control.kind, control.background, control.foreground, font};
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (control.kind == ControlKind::kDriveList) {
            // The closed list stands `height` high, borders included; the
            // system may add to the item height, so measure again.
            for (int attempt = 0; attempt < 3; ++attempt) {
                RECT closed;
                GetWindowRect(made, &closed);
                const int difference = height - (closed.bottom - closed.top);
                if (difference == 0) break;
                const int itemHeight = static_cast<int>(
                    SendMessageW(made, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
                SendMessageW(made, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight + difference);
            }
        }
        const ATOM name = GlobalAddAtomW(Wide(ControlKey(control.name, control.index)).c_str());
        SetPropW(made, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(name)));
        built.windows.push_back(made);
    }
    return built;
}

COLORREF ToColorref(Rgb colour) {
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

HBRUSH SolidBrush(Rgb colour) {
    static std::map<Rgb, HBRUSH> brushes;
    if (const auto found = brushes.find(colour); found != brushes.end()) return found->second;
    return brushes[colour] = CreateSolidBrush(ToColorref(colour));
}

HBRUSH ControlColours(HWND control, HDC dc, std::optional<Rgb> windowBackground) {
    const Look* look = LookOf(control);
    if (look == nullptr) return nullptr;
    SetTextColor(dc, look->foreground ? ToColorref(*look->foreground) : GetSysColor(COLOR_BTNTEXT));
    if (look->kind == ControlKind::kTextBox) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    // Labels take the colour of what they stand on.
    std::optional<Rgb> back = look->background;
    if (!back) {
        const Look* parentLook = LookOf(GetParent(control));
        back = parentLook != nullptr ? parentLook->background : windowBackground;
    }
    if (!back) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    SetBkColor(dc, ToColorref(*back));
    return SolidBrush(*back);
}

bool DrawControl(const DRAWITEMSTRUCT& item) {
    const Look* look = LookOf(item.hwndItem);
    if (look == nullptr) return false;
    const HDC dc = item.hDC;
    RECT all = item.rcItem;
    const bool down = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const std::wstring caption = WindowText(item.hwndItem);
    const HGDIOBJ oldFont = SelectObject(dc, look->font);
    SetBkMode(dc, TRANSPARENT);
    if (look->kind == ControlKind::kPictureButton) {
        // The button picture: its word in white on a blue face with a dark rim.
        FillRect(dc, &all, SolidBrush(down ? 0x1F4E8C : 0x3A6EA5));
        FrameRect(dc, &all, SolidBrush(0x16375F));
        SetTextColor(dc, RGB(255, 255, 255));
    } else {
        FillRect(dc, &all, SolidBrush(look->background.value_or(0xA2B4C7)));
        FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RECT inner = all;
        InflateRect(&inner, -1, -1);
        DrawEdge(dc, &inner, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        SetTextColor(dc, disabled ? RGB(128, 128, 128) : RGB(0, 0, 0));
    }
    if (down) OffsetRect(&all, 1, 1);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &all,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((item.itemState & ODS_FOCUS) != 0 && look->kind == ControlKind::kTestButton) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, oldFont);
    return true;
}

void SetWidthPixels(HWND control, int width) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    MoveWindow(control, place.left, place.top, width, place.bottom - place.top, TRUE);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace trevalon::win32

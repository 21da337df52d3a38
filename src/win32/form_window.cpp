#include "win32/form_window.h"

#include <cctype>

#include "win32/message_loop.h"
#include "win32/twips.h"
#include "win32/wide_text.h"

namespace trevalon::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"TrevalonForm";

void RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = procedure;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hIcon = LoadIconW(instance, L"TREVALON");
    form.hIconSm = form.hIcon;
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        const HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

HWND HiddenOwner() {
    static const HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                              nullptr, GetModuleHandleW(nullptr), nullptr);
    return owner;
}

bool ParseShortcut(const std::string& text, ACCEL& accelerator) {
    accelerator = ACCEL{FVIRTKEY, 0, 0};
    std::string key = Upper(text);
    if (key.rfind("CTRL+", 0) == 0) {
        accelerator.fVirt |= FCONTROL;
        key = key.substr(5);
    }
    if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0]))) {
        accelerator.key = static_cast<WORD>(key[0]);
        return true;
    }
    if (key.size() >= 2 && key[0] == 'F') {
        const int number = std::atoi(key.c_str() + 1);
        if (number >= 1 && number <= 24) {
            accelerator.key = static_cast<WORD>(VK_F1 + number - 1);
            return true;
        }
    }
    return false;
}

FormWindow::~FormWindow() { Destroy(); }

void FormWindow::Destroy() {
    if (window_ == nullptr) return;
    const HWND window = window_;
    if (accelerators_ != nullptr) {
        UseAccelerators(nullptr, nullptr);
        DestroyAcceleratorTable(accelerators_);
        accelerators_ = nullptr;
    }
    DestroyWindow(window);
}

int FormWindow::MenuId(const std::string& name) const {
    for (std::size_t i = 0; i < menuNames_.size(); ++i) {
        if (menuNames_[i] == name) return kFirstMenuId + static_cast<int>(i);
    }
    return -1;
}

void FormWindow::Create(const FormDescription& form, DWORD style, DWORD exStyle,
                        Placement placement, HWND owner) {
    form_ = form;
    dpi_ = SystemDpi();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterControlClasses(instance);
    RegisterFormClass(instance, &FormWindow::Procedure);

    std::vector<ACCEL> shortcuts;
    if (!form_.menus.empty()) {
        menuBar_ = CreateMenu();
        for (const MenuDescription& menu : form_.menus) {
            const HMENU popup = CreatePopupMenu();
            for (const MenuCommand& command : menu.commands) {
                const int id = kFirstMenuId + static_cast<int>(menuNames_.size());
                menuNames_.push_back(command.name);
                std::string text = command.caption;
                if (!command.shortcut.empty()) text += "\t" + command.shortcut;
                AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(id), Wide(text).c_str());
                if (command.separatorAfter) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                ACCEL accelerator;
                if (ParseShortcut(command.shortcut, accelerator)) {
                    accelerator.cmd = static_cast<WORD>(id);
                    shortcuts.push_back(accelerator);
                }
            }
            AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                        Wide(menu.caption).c_str());
        }
    }

    RECT frame{0, 0, TwipsToPixels(form_.clientWidth, dpi_),
               TwipsToPixels(form_.clientHeight, dpi_)};
    AdjustWindowRectEx(&frame, style, menuBar_ != nullptr, exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int left = CW_USEDEFAULT;
    int top = CW_USEDEFAULT;
    if (placement == Placement::kCentredOnScreen) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        left = work.left + ((work.right - work.left) - width) / 2;
        top = work.top + ((work.bottom - work.top) - height) / 2;
    }
    window_ = CreateWindowExW(exStyle, kFormClass, Wide(form_.caption).c_str(), style, left, top,
                              width, height, owner, menuBar_, instance, this);
    // A long menu bar may wrap onto two lines: the client keeps its size.
    RECT client;
    GetClientRect(window_, &client);
    const int wantedHeight = TwipsToPixels(form_.clientHeight, dpi_);
    if (client.bottom != wantedHeight) {
        height += wantedHeight - client.bottom;
        SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
    const ATOM name = GlobalAddAtomW(Wide(form_.name).c_str());
    SetPropW(window_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(name)));
    controls_ = CreateControls(window_, form_.controls, dpi_);
    if (!shortcuts.empty()) {
        accelerators_ = CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()));
        UseAccelerators(window_, accelerators_);
    }
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRunOnWindowThread:
            return RunRelayed(lParam);
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (lParam == 0 && id >= kFirstMenuId &&
                id < kFirstMenuId + static_cast<int>(menuNames_.size())) {
                OnMenu(menuNames_[static_cast<std::size_t>(id - kFirstMenuId)]);
            } else {
                OnCommand(id, HIWORD(wParam));
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            if (const HBRUSH brush = ControlColours(reinterpret_cast<HWND>(lParam),
                                                    reinterpret_cast<HDC>(wParam), form_.background)) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_DRAWITEM:
            if (DrawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_ERASEBKGND: {
            RECT all;
            GetClientRect(window_, &all);
            const auto dc = reinterpret_cast<HDC>(wParam);
            FillRect(dc, &all,
                     form_.background ? SolidBrush(*form_.background) : GetSysColorBrush(COLOR_BTNFACE));
            OnPaintBackground(dc);
            return 1;
        }
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) OnActivate();
            break;
        case WM_SETFOCUS:
            OnSetFocus();
            break;
        case WM_NCDESTROY: {
            const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            OnDestroyed();
            return result;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace trevalon::win32

// A console program run under the same Wine as trevalon.exe: finds the
// program's windows and controls by the names they carry, checks them
// against the form tables, and drives them as a user would.
//   control_probe wait FORM SECONDS      waits until window FORM is visible
//   control_probe check FORM [PANEL]     places and texts against the tables
//   control_probe select FORM LIST ENTRY selects the entry starting with ENTRY
//   control_probe click FORM BUTTON      clicks a button
//   control_probe menu FORM COMMAND      chooses a menu command
//   control_probe text FORM CONTROL      prints a control's text
//   control_probe close FORM             closes a window as its title bar would
//   control_probe clipboard              prints the clipboard's Unicode text
//   control_probe version                prints the version the site answers, and
//                                        the digits a report carries ("1.5.5 155")
//   control_probe message SECONDS [TITLE] prints a message box's text (title
//                                        Trevalon unless given), answers OK
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/host/host.h"
#include "common/version.h"
#include "forms/windows.h"
#include "net/site_address.h"
#include "win32/controls.h"
#include "win32/form_window.h"
#include "win32/twips.h"
#include "win32/wide_text.h"

using namespace trevalon;

namespace {

std::string NameOf(HWND window) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(window, win32::kNameProperty)));
    wchar_t name[256] = {};
    if (atom == 0 || GlobalGetAtomNameW(atom, name, 256) == 0) return {};
    return win32::Utf8(name);
}

HWND FindForm(const std::string& form) {
    struct Search { std::string name; HWND found; } search{form, nullptr};
    EnumWindows([](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsWindowVisible(window) && NameOf(window) == s->name) { s->found = window; return FALSE; }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindControl(HWND form, const std::string& key) {
    struct Search { std::string key; HWND found; } search{key, nullptr};
    EnumChildWindows(form, [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (NameOf(window) == s->key) { s->found = window; return FALSE; }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return win32::Utf8(text);
}

const forms::Form* TableOf(const std::string& name) {
    for (const forms::Form* form : forms::AllForms()) {
        if (form->name == name) return form;
    }
    return nullptr;
}

// Every control of the table (of one panel, if named) where the table puts
// it, with the table's text; returns the number of differences.
int Check(HWND window, const forms::Form& form, const std::string& panel) {
    const int dpi = win32::SystemDpi();
    const std::string base = net::SiteBaseUrl();
    const std::string host = net::SiteHost();
    const forms::Site site{base, host};
    int differences = 0;
    int checked = 0;
    for (const forms::Control& control : form.controls) {
        if (control.kind == forms::Kind::Timer || control.kind == forms::Kind::Transfer) continue;
        if (!panel.empty() && control.name != panel && control.container != panel) continue;
        const std::string key = win32::ControlKey(std::string(control.name), control.index);
        const HWND made = FindControl(window, key);
        if (made == nullptr) {
            std::printf("missing %s\n", key.c_str());
            ++differences;
            continue;
        }
        RECT place;
        GetWindowRect(made, &place);
        MapWindowPoints(HWND_DESKTOP, GetParent(made), reinterpret_cast<POINT*>(&place), 2);
        const auto px = [dpi](int twips) { return win32::TwipsToPixels(twips, dpi); };
        const bool sized = control.autoSize;
        const bool wrong = place.left != px(control.place.left) || place.top != px(control.place.top) ||
                           (!sized && place.right - place.left != px(control.place.width)) ||
                           place.bottom - place.top != px(control.place.height != 0 ? control.place.height : 195);
        const bool hasText = control.kind == forms::Kind::Label || control.kind == forms::Kind::Frame ||
                             control.kind == forms::Kind::TestButton || control.kind == forms::Kind::PictureButton;
        const std::string shown = TextOf(made);
        const std::string wanted = forms::ShownText(control, site);
        if (wrong || (hasText && shown != wanted)) {
            std::printf("differs %s: at %ld,%ld %ldx%ld \"%s\", table %d,%d %dx%d \"%s\"\n", key.c_str(),
                        place.left, place.top, place.right - place.left, place.bottom - place.top,
                        shown.c_str(), px(control.place.left), px(control.place.top),
                        px(control.place.width), px(control.place.height), wanted.c_str());
            ++differences;
        }
        ++checked;
    }
    std::printf("checked %d controls of %s, %d differ\n", checked, std::string(form.name).c_str(), differences);
    return differences == 0 && checked > 0 ? 0 : 1;
}

template <class Found>
bool WaitFor(double seconds, Found&& found) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!found()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

HWND FindMessageBox(const std::wstring& title) {
    struct Search { std::wstring title; HWND found; } search{title, nullptr};
    EnumWindows([](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (IsWindowVisible(window) && std::wstring(name) == L"#32770" && win32::WindowText(window) == s->title) {
            s->found = window;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return 2;
    const std::string& verb = args[0];
    if (verb == "version") {
        std::printf("%s %s\n", kVersionText, std::string(kVersionDigits).c_str());
        return 0;
    }
    if (verb == "message" && (args.size() == 2 || args.size() == 3)) {
        const std::wstring title = win32::Wide(args.size() == 3 ? args[2] : "Trevalon");
        HWND box = nullptr;
        if (!WaitFor(std::stod(args[1]), [&] { return (box = FindMessageBox(title)) != nullptr; })) return 1;
        std::string text;
        EnumChildWindows(box, [](HWND child, LPARAM data) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (std::wstring(name) == L"Static") *reinterpret_cast<std::string*>(data) += TextOf(child);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&text));
        std::printf("%s\n", text.c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (verb == "clipboard") {
        if (!OpenClipboard(nullptr)) return 1;
        std::string text;
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = win32::Utf8(static_cast<const wchar_t*>(GlobalLock(data)));
            GlobalUnlock(data);
        }
        CloseClipboard();
        std::printf("%s\n", text.c_str());
        return text.empty() ? 1 : 0;
    }
    if (args.size() < 2) return 2;
    HWND form = nullptr;
    if (verb == "wait") {
        const double seconds = args.size() > 2 ? std::stod(args[2]) : 10;
        return WaitFor(seconds, [&] { return (form = FindForm(args[1])) != nullptr; }) ? 0 : 1;
    }
    form = FindForm(args[1]);
    if (form == nullptr) {
        std::printf("no window %s\n", args[1].c_str());
        return 1;
    }
    if (verb == "close") {
        PostMessageW(form, WM_CLOSE, 0, 0);
        return 0;
    }
    if (verb == "check") {
        const forms::Form* table = TableOf(args[1]);
        return table != nullptr ? Check(form, *table, args.size() > 2 ? args[2] : "") : 2;
    }
    if (args.size() < 3) return 2;
    if (verb == "menu") {
        // Command ids follow the menu tables' order.
        int id = win32::kFirstMenuId;
        for (const forms::Menu& menu : TableOf(args[1])->menus) {
            for (const forms::MenuCommand& command : menu.commands) {
                if (command.name == args[2]) {
                    PostMessageW(form, WM_COMMAND, MAKEWPARAM(id, 0), 0);
                    return 0;
                }
                ++id;
            }
        }
        return 1;
    }
    const HWND control = FindControl(form, args[2]);
    if (control == nullptr) {
        std::printf("no control %s\n", args[2].c_str());
        return 1;
    }
    if (verb == "text") {
        std::printf("%s\n", TextOf(control).c_str());
        return 0;
    }
    if (verb == "click") {
        PostMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (verb == "select" && args.size() == 4) {
        // The program lists the drives the same Wine gives this process, in
        // the same order; list texts do not cross processes.
        const std::vector<std::string> entries = bench::HostDriveEntries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].rfind(args[3], 0) == 0) {
                SendMessageW(control, CB_SETCURSEL, i, 0);
                return 0;
            }
        }
        std::printf("no entry %s among", args[3].c_str());
        for (const std::string& entry : bench::HostDriveEntries()) std::printf(" \"%s\"", entry.c_str());
        std::printf("\n");
        return 1;
    }
    return 2;
}

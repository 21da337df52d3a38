// A top-level window made from its description: client size in twips, its
// controls, its menu bar and shortcut keys. Each window of the program is a
// class derived from FormWindow that adds its handlers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/controls.h"

namespace trevalon::win32 {

struct MenuCommand {
    std::string name;
    std::string caption;   // with "&" before the access key
    std::string shortcut;  // "Ctrl+E", "F1"; empty for none
    bool separatorAfter = false;
    bool checkable = false;
};

struct MenuDescription {
    std::string name;
    std::string caption;
    std::vector<MenuCommand> commands;
};

struct FormDescription {
    std::string name;
    std::string caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0;
    FontChoice font;
    std::optional<Rgb> background;
    std::vector<ControlDescription> controls;
    std::vector<MenuDescription> menus;
};

enum class Placement { kCentredOnScreen, kSystemDefault };

// Menu command ids start here, in menu-bar order.
inline constexpr int kFirstMenuId = 2000;

// A hidden window that owns windows kept out of the task bar.
HWND HiddenOwner();

// "Ctrl+E" -> an accelerator entry; false for a text it does not read.
bool ParseShortcut(const std::string& text, ACCEL& accelerator);

class FormWindow {
public:
    FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    HWND Handle() const { return window_; }
    HWND Control(const std::string& name, int index = -1) const {
        return controls_.Find(name, index);
    }
    int ControlId(const std::string& name, int index = -1) const {
        return controls_.IdOf(name, index);
    }
    // The menu command's id, -1 for a name the menus lack.
    int MenuId(const std::string& name) const;
    HMENU MenuBar() const { return menuBar_; }
    int Dpi() const { return dpi_; }
    void Destroy();

protected:
    void Create(const FormDescription& form, DWORD style, DWORD exStyle, Placement placement,
                HWND owner = nullptr);

    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual void OnMenu(const std::string& /*name*/) {}
    // WM_CLOSE; the default destroys the window.
    virtual void OnClose() { Destroy(); }
    virtual void OnTimer(UINT_PTR /*timer*/) {}
    virtual void OnActivate() {}
    virtual void OnSetFocus() {}
    virtual void OnPaintBackground(HDC /*dc*/) {}
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    FormDescription form_;
    HWND window_ = nullptr;
    HMENU menuBar_ = nullptr;
    HACCEL accelerators_ = nullptr;
    BuiltControls controls_;
    std::vector<std::string> menuNames_;
    int dpi_ = 96;
};

}  // namespace trevalon::win32

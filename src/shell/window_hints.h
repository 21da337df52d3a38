// Window-manager hints that Qt has no flag for.
#pragma once

class QWidget;

namespace trevalon::shell {

// Asks the window manager to give `window` no task-bar entry. Call before the
// window is first shown; on window systems other than X11 it does nothing.
void KeepOffTaskBar(QWidget& window);

// Leaves `window` without a window icon. Window managers that put an icon of
// their own on a window that offers none (openbox) spare a window that is
// transient for its group, so it is made one. Call after each show: Qt sets
// WM_TRANSIENT_FOR afresh whenever it maps the window.
void KeepWithoutIcon(QWidget& window);

}  // namespace trevalon::shell

// Window-manager hints that Qt has no flag for.
#pragma once

class QWidget;

namespace trevalon::shell {

// Asks the window manager to give `window` no task-bar entry and shows no
// icon in its title bar. Call before the window is first shown; on window
// systems other than X11 it does nothing.
void KeepOffTaskBarWithoutIcon(QWidget& window);

}  // namespace trevalon::shell

// Window-manager hints that Qt has no flag for.
#pragma once

class QWidget;

namespace trevalon::shell {

// Asks the window manager to give `window` no task-bar entry. Call before the
// window is first shown; on window systems other than X11 it does nothing.
void KeepOffTaskBar(QWidget& window);

}  // namespace trevalon::shell

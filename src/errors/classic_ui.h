// The look the program's windows share: twips and the dialog font.
#pragma once

#include <QFont>
#include <QRect>

namespace trevalon::errors {

// 15 twips make one device-independent pixel (1440 to the inch at 96 dpi).
constexpr int TwipsToPixels(int twips) { return twips / 15; }
QRect TwipsRect(int left, int top, int width, int height);

// "MS Sans Serif" 8.25 pt: Liberation Sans at the same 11 pixels, falling
// back to the system's sans serif where it is not installed.
QFont ClassicUiFont(bool bold);

}  // namespace trevalon::errors

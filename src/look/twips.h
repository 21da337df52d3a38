// Window layouts are kept in twips, 15 to a device-independent pixel (1440 to
// the inch at 96 dpi); Qt's own scaling then serves screens of other densities.
#pragma once

#include <QRect>

namespace trevalon::look {

constexpr int Px(int twips) { return twips / 15; }

constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

}  // namespace trevalon::look

// Layouts are kept in twips, 1440 to the inch: at the system's dots per inch
// that is 15 twips a pixel at 96 dpi, 10 at 144.
#pragma once

namespace trevalon::win32 {

// Rounded to the nearest pixel, as the classic runtime placed controls.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// Font heights: points to pixels, rounded.
constexpr int PointsToPixels(double points, int dpi) {
    return static_cast<int>(points * dpi / 72.0 + 0.5);
}

// The dots per inch of the screen, read once.
int SystemDpi();

}  // namespace trevalon::win32

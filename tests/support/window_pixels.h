// What a grabbed window image shows: its border ring, its colours, contrast.
#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <cmath>

namespace trevalon::testsupport {

// "x,y" of every pixel on the outermost ring of `image` that is not `border`.
inline QStringList BorderFaults(const QImage& image, const QColor& border) {
    QStringList faults;
    const int w = image.width();
    const int h = image.height();
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const bool onRing = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            if (onRing && image.pixelColor(x, y).rgb() != border.rgb())
                faults << QStringLiteral("%1,%2").arg(x).arg(y);
        }
    }
    return faults;
}

// The colour most pixels of `area` have.
inline QColor MostCommonColour(const QImage& image, const QRect& area) {
    QMap<QRgb, int> counts;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y) ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    }
    return QColor::fromRgb(best);
}

// Relative luminance and contrast ratio as the web's accessibility rules define them.
inline double Luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
inline double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The pixel of `area` that stands out most against `ground`.
inline QColor StrongestAgainst(const QImage& image, const QRect& area, const QColor& ground) {
    QColor best = ground;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (Contrast(image.pixelColor(x, y), ground) > Contrast(best, ground))
                best = image.pixelColor(x, y);
    return best;
}

}  // namespace trevalon::testsupport

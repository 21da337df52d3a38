#include "errors/classic_ui.h"

#include <QStringList>

namespace trevalon::errors {

QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

QFont ClassicUiFont(bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);  // 8.25 pt at 96 dpi
    font.setBold(bold);
    return font;
}

}  // namespace trevalon::errors

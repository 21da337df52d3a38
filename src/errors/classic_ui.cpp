#include "errors/classic_ui.h"

#include <QFontDatabase>
#include <QStringList>

namespace trevalon::errors {

QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

namespace {

QString ChosenFamily() {
    static const QString family = [] {
        for (const QString& candidate :
             {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")}) {
            if (QFontDatabase::hasFamily(candidate)) return candidate;
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

}  // namespace

QFont ClassicUiFont(qreal points, bool bold) {
    QFont font(ChosenFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));
    font.setBold(bold);
    return font;
}

}  // namespace trevalon::errors

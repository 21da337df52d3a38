#include "shell/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace trevalon::shell {

namespace {

QString ChosenFamily() {
    static const QString family = [] {
        for (const QString& candidate : {QStringLiteral("MS Sans Serif"),
                                         QStringLiteral("Liberation Sans")}) {
            if (QFontDatabase::hasFamily(candidate)) return candidate;
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

}  // namespace

QFont SansSerifFont(qreal points, bool bold) {
    QFont font(ChosenFamily());
    font.setStyleHint(QFont::SansSerif);
    // Sized in pixels at 96 dpi, like the layout, so text and places scale together.
    font.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));
    font.setBold(bold);
    return font;
}

}  // namespace trevalon::shell

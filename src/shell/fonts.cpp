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
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace trevalon::shell

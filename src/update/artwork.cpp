#include "update/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace trevalon::update {

namespace {

QFont BoldFont(qreal points) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));  // 96 dpi, like the layout
    font.setBold(true);
    return font;
}

}  // namespace

QPixmap DrawHeaderStrip(const QString& words) {
    QPixmap strip(700, 28);
    QPainter painter(&strip);
    QLinearGradient band(0, 0, 0, 28);
    band.setColorAt(0.0, QColor(58, 110, 165));
    band.setColorAt(1.0, QColor(24, 62, 112));
    painter.fillRect(strip.rect(), band);
    painter.setPen(QColor(120, 160, 205));
    painter.drawLine(0, 0, 699, 0);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(BoldFont(10));
    painter.setPen(Qt::white);
    painter.drawText(QRect(10, 0, 680, 28), Qt::AlignLeft | Qt::AlignVCenter, words);
    return strip;
}

QPixmap DrawButtonImage(const QString& caption) {
    QPixmap face(111, 23);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, 23);
    shade.setColorAt(0.0, QColor(190, 204, 219));
    shade.setColorAt(1.0, QColor(140, 160, 182));
    painter.setPen(QColor(70, 94, 120));
    painter.setBrush(shade);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 110, 22), 4, 4);
    painter.setFont(BoldFont(8.25));
    painter.setPen(QColor(20, 36, 56));
    painter.drawText(face.rect(), Qt::AlignCenter, caption);
    return face;
}

PictureButton::PictureButton(const QPixmap& picture, QWidget* parent)
    : QAbstractButton(parent), picture_(picture) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureButton::sizeHint() const { return picture_.size(); }

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A pressed picture sinks by one pixel, the only feedback it gives.
    const QPoint offset = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    painter.drawPixmap(offset, picture_);
}

}  // namespace trevalon::update

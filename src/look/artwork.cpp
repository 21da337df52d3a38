#include "look/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace trevalon::look {

namespace {

// The classic sixteen-colour palette, the colours the small icons use.
const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);

QFont ArtFont(int pixels, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Drawn on a 32 x 32 grid and scaled.
void PaintIcon(QPainter& painter, int size) {
    painter.save();
    painter.scale(size / 32.0, size / 32.0);
    const bool smooth = size > 32;
    painter.setRenderHint(QPainter::Antialiasing, smooth);

    // The disc behind: a silver platter with its hub.
    painter.setPen(QPen(kBlack, 1));
    painter.setBrush(kSilver);
    painter.drawEllipse(QRectF(11.5, 1.5, 19, 19));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWhite);
    painter.drawPie(QRectF(13.5, 3.5, 15, 15), 60 * 16, 60 * 16);
    painter.setBrush(kTeal);
    painter.drawEllipse(QRectF(18, 8, 6, 6));
    painter.setBrush(kBlack);
    painter.drawEllipse(QRectF(20, 10, 2, 2));

    // The file in front, with its corner folded.
    QPainterPath page;
    page.moveTo(2.5, 9.5);
    page.lineTo(14.5, 9.5);
    page.lineTo(19.5, 14.5);
    page.lineTo(19.5, 30.5);
    page.lineTo(2.5, 30.5);
    page.closeSubpath();
    painter.setPen(QPen(kBlack, 1));
    painter.setBrush(kWhite);
    painter.drawPath(page);
    QPainterPath fold;
    fold.moveTo(14.5, 9.5);
    fold.lineTo(14.5, 14.5);
    fold.lineTo(19.5, 14.5);
    painter.setBrush(kSilver);
    painter.drawPath(fold);
    painter.setPen(QPen(kNavy, 1));
    for (int y = 17; y <= 27; y += 2) painter.drawLine(QPointF(5, y + 0.5), QPointF(17, y + 0.5));

    // A speed streak across the page's foot.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlue);
    painter.drawRect(QRectF(1, 24, 8, 2));
    painter.setBrush(kYellow);
    painter.drawRect(QRectF(1, 27, 5, 1));
    painter.restore();
}

// At 16 pixels every line of the big drawing would blur: the same picture,
// drawn pixel by pixel.
void PaintSmallIcon(QPainter& painter) {
    painter.setPen(kBlack);
    painter.setBrush(kSilver);
    painter.drawEllipse(QRect(5, 0, 10, 10));
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRect(9, 4, 3, 3), kTeal);
    painter.fillRect(QRect(10, 5, 1, 1), kBlack);
    painter.fillRect(QRect(8, 1, 4, 2), kWhite);
    painter.setPen(kBlack);
    painter.setBrush(kWhite);
    painter.drawPolygon(QPolygon({QPoint(1, 5), QPoint(7, 5), QPoint(10, 8), QPoint(10, 15),
                                  QPoint(1, 15)}));
    painter.setPen(kGrey);
    painter.drawLine(7, 6, 7, 8);
    painter.drawLine(7, 8, 9, 8);
    painter.setPen(kNavy);
    for (int y = 10; y <= 13; y += 3) painter.drawLine(3, y, 8, y);
    painter.fillRect(QRect(0, 12, 4, 1), kBlue);
    painter.fillRect(QRect(11, 6, 1, 10), kGrey);
}

}  // namespace

QImage DrawIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (size == 16) {
        PaintSmallIcon(painter);
    } else {
        PaintIcon(painter, size);
    }
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(DrawIconImage(size)));
    return icon;
}

QImage DrawSplashArtwork() {
    QImage image(450, 250, QImage::Format_RGB32);
    image.fill(QColor(232, 232, 232));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The maker's logo: a blue roundel with a white M, and the name beside it.
    QRadialGradient roundel(QPointF(38, 34), 26, QPointF(30, 26));
    roundel.setColorAt(0.0, QColor(110, 160, 215));
    roundel.setColorAt(1.0, QColor(20, 60, 130));
    painter.setPen(QPen(QColor(15, 40, 90), 1.5));
    painter.setBrush(roundel);
    painter.drawEllipse(QPointF(40, 36), 24, 24);
    painter.setPen(Qt::white);
    painter.setFont(ArtFont(28, true));
    painter.drawText(QRectF(16, 12, 48, 48), Qt::AlignCenter, QStringLiteral("M"));
    painter.setPen(QColor(20, 50, 110));
    painter.setFont(ArtFont(30, true));
    painter.drawText(QRectF(76, 12, 360, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Mirrowin"));
    painter.setPen(QColor(90, 100, 115));
    painter.setFont(ArtFont(11, false));
    painter.drawText(QRectF(78, 48, 360, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Software for your computer"));

    // The curved blue band sweeping across the picture.
    QPainterPath band;
    band.moveTo(0, 92);
    band.cubicTo(120, 62, 300, 118, 450, 76);
    band.lineTo(450, 112);
    band.cubicTo(300, 150, 130, 96, 0, 128);
    band.closeSubpath();
    QLinearGradient blue(0, 70, 0, 140);
    blue.setColorAt(0.0, QColor(70, 130, 195));
    blue.setColorAt(1.0, QColor(16, 58, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawPath(band);
    QPainterPath shine;
    shine.moveTo(0, 97);
    shine.cubicTo(120, 68, 300, 124, 450, 82);
    painter.setPen(QPen(QColor(170, 205, 240), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shine);

    // The product: its icon beside its name.
    painter.drawImage(QPointF(46, 152), DrawIconImage(48));
    painter.setPen(QColor(30, 30, 40));
    painter.setFont(ArtFont(34, true));
    painter.drawText(QRectF(108, 146, 320, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Trevalon"));
    painter.setPen(QColor(70, 80, 95));
    painter.setFont(ArtFont(13, false));
    painter.drawText(QRectF(110, 184, 320, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Drive Speed Test"));
    return image;
}

}  // namespace trevalon::look

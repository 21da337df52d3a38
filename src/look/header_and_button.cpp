#include "look/header_and_button.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "look/classic_font.h"

namespace trevalon::look {

void DrawHeaderImage(QPainter& painter, const QRect& area, const QString& words) {
    painter.save();
    QLinearGradient band(area.topLeft(), area.bottomLeft());
    band.setColorAt(0.0, QColor(58, 110, 200));
    band.setColorAt(0.5, QColor(24, 70, 160));
    band.setColorAt(1.0, QColor(10, 44, 120));
    painter.fillRect(area, band);
    painter.setPen(QColor(8, 30, 90));
    painter.drawLine(area.bottomLeft(), area.bottomRight());

    QFont font = ClassicUiFont(true);
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(area.adjusted(8, 0, 0, -1), Qt::AlignLeft | Qt::AlignVCenter, words);
    painter.restore();
}

void DrawButtonImage(QPainter& painter, const QRect& area, const QString& caption, bool pressed) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (pressed) {
        fill.setColorAt(0.0, QColor(150, 170, 205));
        fill.setColorAt(1.0, QColor(200, 212, 232));
    } else {
        fill.setColorAt(0.0, QColor(250, 251, 255));
        fill.setColorAt(0.5, QColor(222, 230, 244));
        fill.setColorAt(1.0, QColor(182, 198, 226));
    }
    QPainterPath outline;
    outline.addRoundedRect(face, 4, 4);
    painter.fillPath(outline, fill);
    painter.setPen(QPen(QColor(40, 70, 130), 1));
    painter.drawPath(outline);

    painter.setFont(ClassicUiFont(true));
    painter.setPen(QColor(16, 32, 80));
    const int shift = pressed ? 1 : 0;
    painter.drawText(area.translated(shift, shift), Qt::AlignCenter, caption);
    painter.restore();
}

HeaderStrip::HeaderStrip(const QString& words, QWidget* parent) : QWidget(parent), words_(words) {
    setToolTip(QStringLiteral("Click here and drag to move this window"));
    setCursor(Qt::SizeAllCursor);
}

void HeaderStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The image is a pixel taller than the strip and wider than most windows:
    // both are cut off, as a picture box cuts off its picture.
    // The window's one-pixel border stays visible all round, over the strip too.
    const QWidget* frame = window();
    if (frame != this) {
        const QRect inside(mapFrom(frame, QPoint(1, 1)), frame->size() - QSize(2, 2));
        painter.setClipRect(inside);
    }
    DrawHeaderImage(painter, QRect(QPoint(0, 0), kHeaderImageSize), words_);
}

void HeaderStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragging_ = true;
    grabOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
    event->accept();
}

void HeaderStrip::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    window()->move(event->globalPosition().toPoint() - grabOffset_);
    event->accept();
}

void HeaderStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

PictureButton::PictureButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawButtonImage(painter, QRect(QPoint(0, 0), kButtonImageSize), text(), isDown());
    if (hasFocus()) {
        painter.setPen(QPen(QColor(16, 32, 80), 1, Qt::DotLine));
        painter.drawRect(QRect(QPoint(0, 0), kButtonImageSize).adjusted(3, 3, -4, -4));
    }
}

}  // namespace trevalon::look

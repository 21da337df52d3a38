#include "shell/test_button.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace trevalon::shell {

TestButton::TestButton(const QString& caption, const QColor& face, QWidget* parent)
    : QPushButton(caption, parent) {
    QPalette colours = palette();
    colours.setColor(QPalette::Button, face);
    setPalette(colours);
}

void TestButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(all, face);

    // A raised edge, sunken while pressed: white and grey inside a black frame.
    const bool down = isDown();
    const QRect inner = all.adjusted(1, 1, -1, -1);
    painter.setPen(Qt::black);
    painter.drawRect(all.adjusted(0, 0, -1, -1));
    painter.setPen(down ? QColor(128, 128, 128) : Qt::white);
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(down ? Qt::white : QColor(128, 128, 128));
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());

    const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
    painter.setFont(font());
    painter.setPen(isEnabled() ? QColor(Qt::black) : kDisabledCaption);
    painter.drawText(all.translated(shift), Qt::AlignCenter | Qt::TextShowMnemonic, text());

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = all.adjusted(4, 4, -4, -4);
        focus.backgroundColor = face;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace trevalon::shell

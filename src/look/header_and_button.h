// The pictures of the program's borderless windows, drawn rather than shipped:
// the blue header band (700 x 28) and the 111 x 23 picture buttons.
#pragma once

#include <QAbstractButton>
#include <QPoint>
#include <QString>
#include <QWidget>

class QPainter;

namespace trevalon::look {

inline constexpr QSize kHeaderImageSize{700, 28};
inline constexpr QSize kButtonImageSize{111, 23};

// White bold words on the left of a blue band, filling `area`.
void DrawHeaderImage(QPainter& painter, const QRect& area, const QString& words);
// A raised (or pressed) button face with the caption centred on it.
void DrawButtonImage(QPainter& painter, const QRect& area, const QString& caption, bool pressed);

// A header strip showing the header image; a drag on it moves its window,
// which has no title bar to be dragged by.
class HeaderStrip : public QWidget {
    Q_OBJECT
public:
    HeaderStrip(const QString& words, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString words_;
    bool dragging_ = false;
    QPoint grabOffset_;  // cursor position relative to the window's corner
};

// A button that shows a button image instead of a native face.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(const QString& caption, QWidget* parent);
    QSize sizeHint() const override { return kButtonImageSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace trevalon::look

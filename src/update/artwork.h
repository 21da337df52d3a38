// The notice window's pictures, drawn here rather than shipped as images.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QString>

namespace trevalon::update {

// A 700 x 28 blue band with `words` in white bold letters on its left.
QPixmap DrawHeaderStrip(const QString& words);
// A 111 x 23 button face reading `caption`.
QPixmap DrawButtonImage(const QString& caption);

// A button that is only its picture, like a clickable image.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureButton(const QPixmap& picture, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace trevalon::update

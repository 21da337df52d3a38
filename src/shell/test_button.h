// The light-blue test button: a flat face in one colour with a raised edge,
// whatever the style would draw, and a caption that stays readable while the
// button is disabled during a test.
#pragma once

#include <QColor>
#include <QPushButton>

namespace trevalon::shell {

// Dark enough against the face to read (contrast above 4.5), lighter than
// the black of an enabled caption so the state still shows.
inline const QColor kDisabledCaption(64, 64, 64);

class TestButton : public QPushButton {
    Q_OBJECT
public:
    // The face is one flat `face` colour.
    TestButton(const QString& caption, const QColor& face, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace trevalon::shell

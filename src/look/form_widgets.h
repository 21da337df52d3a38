// Qt widgets made from the form tables: places, texts, fonts and colours as
// the tables give them, and the parts every window of the Qt shell shares.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>
#include <string_view>

#include "forms/form.h"
#include "forms/windows.h"

namespace trevalon::look {

QRect PixelRect(const forms::Place& place);
QSize ClientSize(const forms::Form& form);
QString Text(std::string_view utf8);
QString ObjectName(const forms::Control& control);
// The dialog font (or its stand-in) at the table's size and weight.
QFont FontOf(const forms::Font& font);
Qt::Alignment HorizontalAlignment(forms::Align align);
// The build's site, for the texts the tables leave to it.
forms::Site BuildSite();

// A label at its place with its shown text, never read as markup. A wrapped
// label keeps its text at the top; others stand at `vertical`. `offset` moves
// it in pixels (inside a window's own border).
QLabel* BuildLabel(QWidget* parent, const forms::Control& control,
                   Qt::Alignment vertical = Qt::AlignVCenter, QPoint offset = {});

// The window's fixed client size and its own back colour, if it has one.
void ApplyClientArea(QWidget& window, const forms::Form& form);

}  // namespace trevalon::look

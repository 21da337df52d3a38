// The dialog font the program's windows share.
#pragma once

#include <QFont>

namespace trevalon::look {

// "MS Sans Serif" where it exists, else its metric twin Liberation Sans, else
// the system's sans serif; sized in pixels at 96 dpi, like the layout, so that
// text and places scale together. Another family is shrunk until the fixed
// texts fit their places.
QFont ClassicUiFont(qreal points, bool bold = false);
// 100 for a metric twin; less when another family had to be shrunk.
int ClassicUiScalePercent();
// The dialog font, 8.25 pt.
inline QFont ClassicUiFont(bool bold) { return ClassicUiFont(8.25, bold); }

}  // namespace trevalon::look

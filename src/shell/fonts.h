// "MS Sans Serif" where it exists, else its metric twin Liberation Sans,
// else whatever sans-serif face the system offers.
#pragma once

#include <QFont>

namespace trevalon::shell {

QFont SansSerifFont(qreal points, bool bold = false);

}  // namespace trevalon::shell

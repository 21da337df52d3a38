#include "cli/locale_numbers.h"

#include <clocale>
#include <string>

namespace trevalon::console {

bench::NumberSeparators LocaleSeparators() {
    const std::lconv* conventions = std::localeconv();
    bench::NumberSeparators separators;
    if (conventions->decimal_point && *conventions->decimal_point) {
        separators.decimal = conventions->decimal_point;
    }
    if (conventions->thousands_sep && *conventions->thousands_sep) {
        separators.thousands = conventions->thousands_sep;
    }
    return separators;
}

}  // namespace trevalon::console

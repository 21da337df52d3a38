// The terminal and the C library's locale.
#include <unistd.h>

#include <clocale>

#include "bench/host/host.h"
#include "bench/view_operations.h"

namespace trevalon::bench {

bool IsTerminal(std::FILE* out) { return isatty(fileno(out)) != 0; }

// Terminals take the locale's own encoding, UTF-8 on any current system.
void UseUtf8Console() {}

NumberSeparators UserNumberSeparators() {
    const std::lconv* conventions = std::localeconv();
    NumberSeparators separators;
    if (conventions->decimal_point && *conventions->decimal_point) {
        separators.decimal = conventions->decimal_point;
    }
    if (conventions->thousands_sep && *conventions->thousands_sep) {
        separators.thousands = conventions->thousands_sep;
    }
    return separators;
}

}  // namespace trevalon::bench

// Number separators from the user's locale, as the window takes them from its own.
#pragma once

#include "bench/view_operations.h"

namespace trevalon::console {

// Call after setlocale(LC_ALL, ""); the C locale gives "." and no grouping,
// which falls back to ",".
bench::NumberSeparators LocaleSeparators();

}  // namespace trevalon::console

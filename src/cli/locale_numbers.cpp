#include "cli/locale_numbers.h"

#include "bench/host/host.h"

namespace trevalon::console {

bench::NumberSeparators LocaleSeparators() { return bench::UserNumberSeparators(); }

}  // namespace trevalon::console

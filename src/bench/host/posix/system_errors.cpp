// The system category on POSIX holds errno values: the one errno table.
#include <system_error>

#include "bench/host/host.h"
#include "bench/run_error.h"

namespace trevalon::bench {

std::int32_t RunTimeNumberForSystemError(int code) { return RunTimeNumberForHostError(code); }

std::string SystemErrorText(int code) { return std::generic_category().message(code); }

}  // namespace trevalon::bench

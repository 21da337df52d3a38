// Host file errors as run-time errors.
#pragma once

#include <cstdint>
#include <system_error>

#include "common/run_error.h"

namespace trevalon::bench {

using ::trevalon::CurrentRunTimeError;
using ::trevalon::RunTimeError;
namespace error_number = ::trevalon::error_number;

// The error for a host file error code (errno value), with the host's text.
RunTimeError HostFileError(int code);
// The run-time number for a host file error code.
std::int32_t RunTimeNumberForHostError(int code);
// The same for any host error: errno values in the generic category, the
// platform's own codes in the system category (what std::filesystem reports).
RunTimeError HostFileError(const std::error_code& code);
std::int32_t RunTimeNumberForHostError(const std::error_code& code);

}  // namespace trevalon::bench

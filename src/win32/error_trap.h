// Every handler traps every error raised inside it and hands it to frmErrors
// with its own location number; nothing crosses a handler.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "forms/run_loop.h"

namespace trevalon::win32 {

// Shows the one frmErrors with these values, creating it on first use.
void HandOffError(std::int32_t number, std::int32_t location, const std::string& description);

template <class Handler>
void TrapErrors(std::int32_t location, Handler&& handler) noexcept {
    forms::TrapErrors(location, std::forward<Handler>(handler), &HandOffError);
}

using forms::IgnoringErrors;

}  // namespace trevalon::win32

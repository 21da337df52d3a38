// Every handler traps every error raised inside it and hands it to frmErrors
// with its own location number; nothing crosses a handler.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "errors/hand_off.h"
#include "forms/run_loop.h"

namespace trevalon::shell {

// The hand-off itself must not throw out of a handler either.
inline void HandOffQuietly(std::int32_t number, std::int32_t location,
                           const std::string& description) noexcept {
    try {
        errors::HandOffError(number, location, description);
    } catch (...) {
    }
}

template <class Handler>
void TrapErrors(std::int32_t location, Handler&& handler) noexcept {
    forms::TrapErrors(location, std::forward<Handler>(handler), HandOffQuietly);
}

}  // namespace trevalon::shell

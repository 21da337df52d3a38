// Every handler traps every error raised inside it and hands it to frmErrors
// with its own location number; nothing crosses a handler.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include "bench/run_error.h"
#include "errors/hand_off.h"

namespace trevalon::shell {

inline constexpr std::int32_t kOutOfMemory = bench::error_number::kOutOfMemory;
inline constexpr std::int32_t kInternalError = bench::error_number::kInternal;

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
    try {
        handler();
    } catch (const bench::RunTimeError& error) {
        HandOffQuietly(error.number(), location, error.description());
    } catch (const std::bad_alloc&) {
        HandOffQuietly(kOutOfMemory, location, "Out of memory");
    } catch (const std::exception& error) {
        HandOffQuietly(kInternalError, location, error.what());
    } catch (...) {
        HandOffQuietly(kInternalError, location, "Internal error");
    }
}

}  // namespace trevalon::shell

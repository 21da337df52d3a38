// Every handler traps every error raised inside it and hands it to frmErrors
// with its own location number; nothing crosses a handler.
#pragma once

#include <cstdint>
#include <string>

#include "common/run_error.h"

namespace trevalon::win32 {

// Shows the one frmErrors with these values, creating it on first use.
void HandOffError(std::int32_t number, std::int32_t location, const std::string& description);

template <class Handler>
void TrapErrors(std::int32_t location, Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        try {
            const RunTimeError error = CurrentRunTimeError();
            HandOffError(error.number(), location, error.description());
        } catch (...) {
        }
    }
}

// From here on a failing step is skipped and the next one runs.
template <class Step>
void IgnoringErrors(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace trevalon::win32

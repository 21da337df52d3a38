// Whether the window system can be reached at all, decided before the toolkit
// starts: without a display it would end with a message that blames the
// installation.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace trevalon::shell {

// Reads one environment variable; null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

// The one line to print when no display can be reached, or nothing when one
// may be: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM (or a
// "-platform" argument) names a platform that needs no display.
std::optional<std::string> NoDisplayMessage(const EnvironmentReader& environment,
                                            int argc = 0, const char* const* argv = nullptr);

}  // namespace trevalon::shell

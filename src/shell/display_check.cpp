#include "shell/display_check.h"

#include <array>
#include <sstream>
#include <string_view>

namespace trevalon::shell {

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// Qt's platforms that draw into memory, a frame buffer or a remote viewer.
bool NeedsNoDisplay(std::string_view platform) {
    static constexpr std::array<std::string_view, 8> kDisplayFree{
        "offscreen", "minimal", "minimalegl", "vnc", "linuxfb", "eglfs", "vkkhrdisplay", "directfb"};
    for (std::string_view name : kDisplayFree) {
        if (platform == name) return true;
    }
    return false;
}

// "xcb:opt;wayland" -> the names before any options, in order.
bool AnyNeedsNoDisplay(const std::string& platforms) {
    std::stringstream list(platforms);
    std::string entry;
    while (std::getline(list, entry, ';')) {
        if (NeedsNoDisplay(entry.substr(0, entry.find(':')))) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> NoDisplayMessage(const EnvironmentReader& environment, int argc,
                                            const char* const* argv) {
    if (IsSet(environment("DISPLAY")) || IsSet(environment("WAYLAND_DISPLAY"))) return std::nullopt;
    std::string platform = IsSet(environment("QT_QPA_PLATFORM")) ? environment("QT_QPA_PLATFORM") : "";
    for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "-platform") platform = argv[i + 1];
    }
    if (AnyNeedsNoDisplay(platform)) return std::nullopt;
    return std::string(
        "Trevalon needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are "
        "not set): start it from a desktop session, or run it under xvfb-run.");
}

}  // namespace trevalon::shell

#include "net/site_address.h"

#include <string_view>

namespace trevalon::net {

namespace {
std::string_view Configured() {
    std::string_view url = TREVALON_SITE_URL;
    while (!url.empty() && url.back() == '/') url.remove_suffix(1);
    return url;
}
}  // namespace

std::string SiteBaseUrl() { return std::string(Configured()); }

std::string SiteHost() {
    std::string_view url = Configured();
    if (const auto scheme = url.find("://"); scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    if (const auto end = url.find_first_of("/?#"); end != std::string_view::npos)
        url = url.substr(0, end);
    return std::string(url);
}

}  // namespace trevalon::net

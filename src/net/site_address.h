// The maker's web site, chosen at build time (TREVALON_SITE_URL).
#pragma once

#include <string>

namespace trevalon::net {

// Scheme and host, without a trailing slash, e.g. "http://www.mirrowin.example".
std::string SiteBaseUrl();
// The host alone (with its port, if the address names one), e.g. "www.mirrowin.example".
std::string SiteHost();

}  // namespace trevalon::net

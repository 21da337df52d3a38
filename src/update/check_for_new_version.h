// The new-version check made once at start-up.
#pragma once

#include <string>

#include "common/site_paths.h"
#include "net/inet.h"
#include "update/version_answer.h"

namespace trevalon::update {

inline constexpr const char* kVersionPagePath = site_paths::kVersionPage;
inline constexpr const char* kNewsPagePath = site_paths::kNewsPage;

// Asks the site at `siteBaseUrl` (scheme and host, e.g. "http://www.mirrowin.example")
// for the latest version through `inet`. When it names another version, tells the
// user in a modal message box, fetches the news and shows it in frmNewRelease,
// which is visible on return. Never fails: a failed step leaves its result empty.
void CheckForNewVersion(net::Inet& inet, const std::string& siteBaseUrl);
// The same against the build's own site.
void CheckForNewVersion(net::Inet& inet);

}  // namespace trevalon::update

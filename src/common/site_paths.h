// The pages of the maker's site, as the program asks for them and the site
// server answers them.
#pragma once

namespace trevalon::site_paths {

inline constexpr const char* kVersionPage = "/products/Trevalon/version.asp";
inline constexpr const char* kNewsPage = "/products/Trevalon/whatsnew.html";
inline constexpr const char* kReportPage = "/products/errorreport.asp";

}  // namespace trevalon::site_paths

// Opens an address in the program the desktop associates with HTML files.
#pragma once

#include <string>

namespace trevalon::web {

void ShowWebPage(const std::string& url);

}  // namespace trevalon::web

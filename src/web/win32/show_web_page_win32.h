// The web page opener on Windows, where the front end passes its main window.
#pragma once

#include <windows.h>

#include <string>

#include "web/web_page_opener.h"

namespace trevalon::web {

// owner: the main window, owner of the message boxes and of the browser's start.
// Only folders.programFolder is used: the placeholder lies in the program's folder.
void ShowWebPage(const std::string& url, HWND owner, const PlaceholderFolders& folders,
                 const ErrorHandOff& handOff);

}  // namespace trevalon::web

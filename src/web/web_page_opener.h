// ShowWebPage with its surroundings spelled out, so that callers other than
// the menu (the tests) can choose where the placeholder goes and who hears
// about unexpected errors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace trevalon::web {

// The file whose associated program is taken to be the browser.
inline constexpr char kPlaceholderName[] = "temphtm.HTM";
// Its one line: <HTML> <\HTML> in double quotation marks, CR LF; 18 bytes.
inline constexpr char kPlaceholderLine[] = "\"<HTML> <\\HTML>\"\r\n";

inline constexpr char kBrowserNotFoundTitle[] = "Browser Not Found";
inline constexpr char kBrowserNotFoundText[] = "Could not find associated Browser";
inline constexpr char kUrlFailedTitle[] = "URL Failed";
inline constexpr char kUrlFailedText[] = "Web Page not Opened";

struct PlaceholderFolders {
    // Tried first: the folder that holds the program.
    std::filesystem::path programFolder;
    // Used when the program folder cannot be written, as installed programs' seldom can.
    std::filesystem::path tempFolder;
};

using ErrorHandOff =
    std::function<void(std::int32_t number, std::int32_t location, const std::string& description)>;

// Where ShowWebPage puts its placeholder: the program's folder and the user's temporary folder.
PlaceholderFolders DefaultPlaceholderFolders();

void ShowWebPage(const std::string& url, const PlaceholderFolders& folders,
                 const ErrorHandOff& handOff);

}  // namespace trevalon::web

#include "update/version_answer.h"

#include <algorithm>

#include "common/version.h"

namespace trevalon::update {

std::string LocalVersionText() {
    return kVersionText;
}

bool IsVersionAnswer(std::string_view answer) {
    // Continuation bytes (10xxxxxx) do not start a character.
    const auto characters = std::count_if(answer.begin(), answer.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    });
    return characters == 5 && answer.find('.') != std::string_view::npos;
}

std::string NewVersionMessageText(const std::string& siteBaseUrl) {
    return "I would just like to let you know that there is a new version of this software "
           "available on our web site.  " +
           siteBaseUrl;
}

bool AnnouncesNewVersion(std::string_view answer) {
    return IsVersionAnswer(answer) && answer != LocalVersionText();
}

}  // namespace trevalon::update

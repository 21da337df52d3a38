// What the version page's answer means. Kept free of any toolkit so the rule
// can be driven with arbitrary bytes.
#pragma once

#include <string>
#include <string_view>

namespace trevalon::update {

// The program's own version as the site writes it: "1.5.5".
std::string LocalVersionText();

// A version answer is exactly 5 characters with at least one "." in them,
// taken as it arrives (no trimming). Characters are counted as UTF-8 code
// points, so a multi-byte letter counts once.
bool IsVersionAnswer(std::string_view answer);

// True when the answer announces a version other than ours (older ones too).
bool AnnouncesNewVersion(std::string_view answer);

// The message box that tells the user, before the news is shown.
inline constexpr std::string_view kNewVersionTitle = "New Version Available";
// Its text for a site.
std::string NewVersionMessageText(const std::string& siteBaseUrl);

}  // namespace trevalon::update

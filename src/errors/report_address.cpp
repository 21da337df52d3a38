#include "errors/report_address.h"

#include <algorithm>
#include <cctype>

#include "common/version.h"
#include "forms/windows.h"
#include "net/site_address.h"

namespace trevalon::errors {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}
}  // namespace

ReportSite DefaultReportSite() {
    return ReportSite{net::SiteBaseUrl(),
                      std::chrono::milliseconds(forms::ErrorsForm().Get("Inet1").milliseconds)};
}

std::string ReportQuery(std::int32_t number, std::int32_t location, const std::string& description) {
    std::string q = "?application=";
    q += "Trevalon";
    q += kVersionDigits;
    q += "&errorlocation=" + std::to_string(location);
    q += "&errornumber=" + std::to_string(number);
    q += "&errordescription=" + description;
    return q;
}

std::string FirstReportAddress(const std::string& siteBase, const std::string& query) {
    return siteBase + std::string(kReportPath) + query;
}

std::optional<std::string> RetryBase(const std::string& answer) {
    constexpr std::string_view kRetry = "RETRY|";
    if (answer.size() <= kRetry.size() || answer.compare(0, kRetry.size(), kRetry) != 0)
        return std::nullopt;
    std::string base = answer.substr(kRetry.size());
    // The answer names where the user's data goes next: only ever the web.
    if (!StartsWithNoCase(base, "http://") && !StartsWithNoCase(base, "https://"))
        return std::nullopt;
    return base;
}

void SendReport(net::Inet& inet, const std::string& siteBase, std::int32_t number,
                std::int32_t location, const std::string& description) noexcept {
    std::string query;
    std::string answer;
    try {
        query = ReportQuery(number, location, description);
        inet.URL = FirstReportAddress(siteBase, query);
        answer = inet.OpenURL();
    } catch (...) {
    }
    try {
        if (const std::optional<std::string> base = RetryBase(answer); base && !query.empty()) {
            inet.URL = *base + query;
            (void)inet.OpenURL();
        }
    } catch (...) {
    }
}

}  // namespace trevalon::errors

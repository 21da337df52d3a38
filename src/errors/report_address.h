// The error report's addresses: what the maker's site has always received.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/site_paths.h"
#include "net/inet.h"

namespace trevalon::errors {

// Where Send delivers reports and how long each request may take.
struct ReportSite {
    std::string baseUrl;  // scheme and host, no trailing slash
    std::chrono::milliseconds requestTimeout{10'000};
};

// The maker's site (SiteBaseUrl) with the error window's ten-second control.
ReportSite DefaultReportSite();

inline constexpr std::string_view kReportPath = site_paths::kReportPage;

// "?application=Trevalon155&errorlocation=..&errornumber=..&errordescription=..",
// the description character for character.
std::string ReportQuery(std::int32_t number, std::int32_t location, const std::string& description);

// The site's base address, the report path and the query.
std::string FirstReportAddress(const std::string& siteBase, const std::string& query);

// The base address of the one follow-up request, when the answer asks for one:
// it starts with "RETRY|" in exactly that case, carries something after it,
// and that something is an http:// or https:// address.
std::optional<std::string> RetryBase(const std::string& answer);

// Send: the report to `siteBase` through `inet`, and the one follow-up its
// answer may ask for. Every step may fail; none is ever reported.
void SendReport(net::Inet& inet, const std::string& siteBase, std::int32_t number,
                std::int32_t location, const std::string& description) noexcept;

}  // namespace trevalon::errors

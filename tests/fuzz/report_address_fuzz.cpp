// The error report's address, from any error number, location and
// description, as it goes on the wire.
#include <string>
#include <string_view>
#include <vector>

#include "errors/report_address.h"
#include "fuzz_check.h"
#include "net/address_encoding.h"
#include "url_parts.h"

namespace {

constexpr std::string_view kSite = "http://127.0.0.1:8080";

struct Pair {
    std::string key, value;
};

// Pairs as the site splits the query, values still encoded.
std::vector<Pair> SplitQuery(std::string_view query) {
    std::vector<Pair> pairs;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view item = query.substr(0, amp);
        const std::size_t eq = item.find('=');
        pairs.push_back({std::string(item.substr(0, eq)),
                         eq == std::string_view::npos ? "" : std::string(item.substr(eq + 1))});
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return pairs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::int32_t number = fuzz::TakeInt32(input);
    const std::int32_t location = fuzz::TakeInt32(input);
    const std::string description(input);

    const std::string query = trevalon::errors::ReportQuery(number, location, description);
    const std::string address = trevalon::errors::FirstReportAddress(std::string(kSite), query);
    const std::string wire = trevalon::net::EncodeAddress(address);

    // Whatever the description holds, the request goes to the site's report page.
    const auto parts = fuzz::ParseUrl(wire);
    FUZZ_CHECK(parts.has_value());
    FUZZ_CHECK(parts->scheme == "http");
    FUZZ_CHECK(parts->host == "127.0.0.1");
    FUZZ_CHECK(parts->port == "8080");
    FUZZ_CHECK(parts->path == trevalon::errors::kReportPath);

    // The keys come in their order with the values the window showed.
    const std::string head = std::string(kSite) + std::string(trevalon::errors::kReportPath) + "?";
    FUZZ_CHECK(wire.starts_with(head));
    const std::string wireQuery = wire.substr(head.size());
    FUZZ_CHECK(parts->query == wireQuery);
    const auto pairs = SplitQuery(wireQuery);
    FUZZ_CHECK(pairs.size() >= 4);
    FUZZ_CHECK(pairs[0].key == "application" && pairs[0].value == "Trevalon155");
    FUZZ_CHECK(pairs[1].key == "errorlocation" && pairs[1].value == std::to_string(location));
    FUZZ_CHECK(pairs[2].key == "errornumber" && pairs[2].value == std::to_string(number));
    FUZZ_CHECK(pairs[3].key == "errordescription");

    // The description arrives character for character, "&" and "=" included.
    const std::string marker = "&errordescription=";
    const std::size_t at = wireQuery.find(marker);
    FUZZ_CHECK(at != std::string::npos);
    FUZZ_CHECK(fuzz::PercentDecode(wireQuery.substr(at + marker.size())) ==
               fuzz::PercentDecode(description));
    // A description that has no "%" of its own arrives exactly as it was.
    if (description.find('%') == std::string::npos) {
        FUZZ_CHECK(fuzz::PercentDecode(wireQuery.substr(at + marker.size())) == description);
    }
    return 0;
}

// The "RETRY|" answer of the report page: when a second request is made,
// and where it can go.
#include <cctype>
#include <string>
#include <string_view>

#include "errors/report_address.h"
#include "fuzz_check.h"
#include "net/address_encoding.h"
#include "url_parts.h"

namespace {

bool StartsWithWebScheme(std::string_view text) {
    std::string lower;
    for (const char c : text.substr(0, 8)) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

void CheckAnswer(const std::string& answer, const std::string& query) {
    const auto base = trevalon::errors::RetryBase(answer);
    const bool asks = answer.size() > 6 && answer.compare(0, 6, "RETRY|") == 0;
    // A retry only on the exact prefix with something after it, and only to the web.
    FUZZ_CHECK(base.has_value() == (asks && StartsWithWebScheme(std::string_view(answer).substr(6))));
    if (!base) return;
    FUZZ_CHECK(*base == answer.substr(6));

    // The second request keeps the whole query behind whatever base it got.
    const std::string wire = trevalon::net::EncodeAddress(*base + query);
    FUZZ_CHECK(wire.ends_with(trevalon::net::EncodeAddress(query)));
    if (const auto parts = fuzz::ParseUrl(wire)) {
        FUZZ_CHECK(parts->scheme == "http" || parts->scheme == "https");
        FUZZ_CHECK(!parts->host.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string query =
        trevalon::errors::ReportQuery(71, 6, "Disk not ready Position: 2 & more #1");
    CheckAnswer(raw, query);
    // What the transfer control hands on: the body as text.
    CheckAnswer(trevalon::net::BodyAsUtf8(raw), query);
    return 0;
}

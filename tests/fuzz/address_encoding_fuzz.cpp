// The transfer control's address encoding and body decoding on any bytes.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "net/address_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string encoded = trevalon::net::EncodeAddress(input);
    // Nothing goes on the wire that an address cannot carry.
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto c = static_cast<unsigned char>(encoded[i]);
        FUZZ_CHECK(fuzz::IsAddressSafe(c));
        if (c == '%') {
            FUZZ_CHECK(i + 2 < encoded.size() && fuzz::IsHex(encoded[i + 1]) &&
                       fuzz::IsHex(encoded[i + 2]));
        }
    }
    // The server reads back exactly what it would have read from the raw text.
    FUZZ_CHECK(fuzz::PercentDecode(encoded) == fuzz::PercentDecode(input));
    // Encoding what is already encoded changes nothing.
    FUZZ_CHECK(trevalon::net::EncodeAddress(encoded) == encoded);
    // The address's structure stays: separators are never encoded.
    for (const char separator : std::string_view("&=?/:")) {
        FUZZ_CHECK(std::count(encoded.begin(), encoded.end(), separator) ==
                   std::count(input.begin(), input.end(), separator));
    }
    // Text that is already safe passes unchanged.
    if (std::all_of(input.begin(), input.end(),
                    [](char c) { return fuzz::IsAddressSafe(static_cast<unsigned char>(c)) && c != '%'; })) {
        FUZZ_CHECK(encoded == input);
    }

    const std::string body = trevalon::net::BodyAsUtf8(input);
    // Whatever arrives is shown as valid text.
    const long points = fuzz::Utf8CodePoints(body);
    FUZZ_CHECK(points >= 0);
    if (fuzz::Utf8CodePoints(input) >= 0) {
        FUZZ_CHECK(body == input);
    } else {
        // Read as Latin-1: one character for each byte that arrived.
        FUZZ_CHECK(points == static_cast<long>(input.size()));
    }
    return 0;
}

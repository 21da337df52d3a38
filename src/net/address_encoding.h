// What the transfer control does to an address before it goes on the wire.
#pragma once

#include <string>
#include <string_view>

namespace trevalon::net {

// Percent-encodes only what an address cannot carry: blanks, "#", a "%" not
// followed by two hex digits, control characters, non-ASCII bytes and
// " < > \ ^ ` { | }. Everything else, "&", "=", "?" and "/" included, stays.
std::string EncodeAddress(std::string_view address);

// The body as UTF-8: unchanged when it already is valid UTF-8, otherwise each
// byte read as Latin-1.
std::string BodyAsUtf8(std::string_view body);

}  // namespace trevalon::net

#include "net/address_encoding.h"

#include <cstdint>

namespace trevalon::net {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool MustEncode(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) return true;  // controls, blank, DEL, non-ASCII
    switch (c) {
    case '#': case '"': case '<': case '>': case '\\':
    case '^': case '`': case '{': case '|': case '}':
        return true;
    default:
        return false;
    }
}

// Length of the valid UTF-8 sequence at the start of s, or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80) return 1;
    std::size_t len;
    std::uint32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1Fu; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) { len = 3; cp = b0 & 0x0Fu; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { len = 4; cp = b0 & 0x07u; }
    else return 0;
    if (s.size() < len) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0u) != 0x80u) return 0;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

bool IsValidUtf8(std::string_view s) {
    while (!s.empty()) {
        const std::size_t n = Utf8SequenceLength(s);
        if (n == 0) return false;
        s.remove_prefix(n);
    }
    return true;
}

}  // namespace

std::string EncodeAddress(std::string_view address) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(address.size());
    for (std::size_t i = 0; i < address.size(); ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        const bool strayPercent = c == '%' && !(i + 2 < address.size() &&
                                                IsHexDigit(address[i + 1]) &&
                                                IsHexDigit(address[i + 2]));
        if (MustEncode(c) || strayPercent) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string BodyAsUtf8(std::string_view body) {
    if (IsValidUtf8(body)) return std::string(body);
    std::string out;
    out.reserve(body.size() + body.size() / 4);
    for (const char ch : body) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace trevalon::net

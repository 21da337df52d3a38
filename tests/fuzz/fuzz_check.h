// What every fuzz target shares: a check that stops the run with the input's
// story, and small helpers that read the fuzzer's bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                       \
    do {                                                                            \
        if (!(condition)) {                                                         \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                               \
            std::abort();                                                           \
        }                                                                           \
    } while (false)

namespace fuzz {

// Takes a 32-bit number off the front of the input (fewer bytes give zeros).
inline std::int32_t TakeInt32(std::string_view& input) {
    std::uint32_t value = 0;
    const std::size_t n = input.size() < 4 ? input.size() : 4;
    std::memcpy(&value, input.data(), n);
    input.remove_prefix(n);
    return static_cast<std::int32_t>(value);
}

inline bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// What a server makes of a query value: each "%XX" becomes its byte, any
// other "%" stays as it is.
inline std::string PercentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && IsHex(text[i + 1]) && IsHex(text[i + 2])) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Whether a byte may travel in an address as it is.
inline bool IsAddressSafe(unsigned char c) {
    return c > 0x20 && c < 0x7F && std::strchr("#\"<>\\^`{|}", c) == nullptr;
}

// Code points of valid UTF-8, or -1 when the text is not valid UTF-8. Written
// from the standard's table of well-formed byte sequences, not from the
// program's own reader.
inline long Utf8CodePoints(std::string_view text) {
    long count = 0;
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const auto in = [](unsigned char b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
    while (i < text.size()) {
        const unsigned char b = at(i);
        std::size_t n = 0;
        if (b <= 0x7F) {
            n = 1;
        } else if (in(b, 0xC2, 0xDF)) {
            n = 2;
        } else if (in(b, 0xE0, 0xEF)) {
            n = 3;
        } else if (in(b, 0xF0, 0xF4)) {
            n = 4;
        } else {
            return -1;
        }
        if (i + n > text.size()) return -1;
        if (n >= 2) {
            unsigned lo = 0x80, hi = 0xBF;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
            if (!in(at(i + 1), lo, hi)) return -1;
            for (std::size_t k = 2; k < n; ++k) {
                if (!in(at(i + k), 0x80, 0xBF)) return -1;
            }
        }
        i += n;
        ++count;
    }
    return count;
}

}  // namespace fuzz

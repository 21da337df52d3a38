#include "net/address_encoding.h"

#include <gtest/gtest.h>

#include "net/site_address.h"

namespace trevalon::net {
namespace {

TEST(EncodeAddress, KeepsWhatAnAddressCanCarry) {
    const std::string plain =
        "http://127.0.0.1:8080/products/errorreport.asp?a=1&b=x=y&c=/?:@!$'()*+,;~-._[]";
    EXPECT_EQ(EncodeAddress(plain), plain);
    EXPECT_EQ(EncodeAddress("http://h/p?d=100%25%41%e9"), "http://h/p?d=100%25%41%e9");
}

TEST(EncodeAddress, EncodesWhatItCannot) {
    EXPECT_EQ(EncodeAddress("http://h/p?d=a b#c"), "http://h/p?d=a%20b%23c");
    EXPECT_EQ(EncodeAddress("?d=100%"), "?d=100%25");
    EXPECT_EQ(EncodeAddress("?d=%zz%4"), "?d=%25zz%254");
    EXPECT_EQ(EncodeAddress("?d=\t\r\n\x7f"), "?d=%09%0D%0A%7F");
    EXPECT_EQ(EncodeAddress(std::string("?d=a\0b", 6)), "?d=a%00b");
    EXPECT_EQ(EncodeAddress("?d=\"<>\\^`{|}"), "?d=%22%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(EncodeAddress("?d=caf\xC3\xA9 \xE9"), "?d=caf%C3%A9%20%E9");
}

TEST(BodyAsUtf8, LeavesUtf8AloneAndReadsAnythingElseAsLatin1) {
    EXPECT_EQ(BodyAsUtf8(""), "");
    EXPECT_EQ(BodyAsUtf8("1.5.5"), "1.5.5");
    EXPECT_EQ(BodyAsUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(BodyAsUtf8("caf\xE9"), "caf\xC3\xA9");
    // One bad byte anywhere makes the whole body Latin-1.
    EXPECT_EQ(BodyAsUtf8("\xC3\xA9\xFF"), "\xC3\x83\xC2\xA9\xC3\xBF");
    // Overlong forms, surrogates and truncated sequences are not UTF-8.
    EXPECT_EQ(BodyAsUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(BodyAsUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");
    EXPECT_EQ(BodyAsUtf8("\xE2\x82"), "\xC3\xA2\xC2\x82");
}

TEST(SiteAddress, HostIsTheBaseWithoutScheme) {
    const std::string base = SiteBaseUrl();
    const std::string host = SiteHost();
    ASSERT_FALSE(host.empty());
    EXPECT_NE(base.back(), '/');
    EXPECT_TRUE(base == "http://" + host || base == "https://" + host) << base << " / " << host;
}

}  // namespace
}  // namespace trevalon::net

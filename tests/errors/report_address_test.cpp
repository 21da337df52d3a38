#include "errors/report_address.h"

#include <gtest/gtest.h>

#include <limits>

#include "net/site_address.h"

namespace trevalon::errors {
namespace {

TEST(ReportQuery, KeysInOrderWithVersionDigitsAndNothingEscaped) {
    EXPECT_EQ(ReportQuery(53, 6, "File not found Position: 4"),
              "?application=Trevalon155&errorlocation=6&errornumber=53"
              "&errordescription=File not found Position: 4");
    EXPECT_EQ(ReportQuery(-2147221504, 52, "a&b=c #d%e"),
              "?application=Trevalon155&errorlocation=52&errornumber=-2147221504"
              "&errordescription=a&b=c #d%e");
    EXPECT_EQ(ReportQuery(0, 0, ""), "?application=Trevalon155&errorlocation=0&errornumber=0&errordescription=");
    EXPECT_EQ(ReportQuery(std::numeric_limits<std::int32_t>::min(), 19, "x"),
              "?application=Trevalon155&errorlocation=19&errornumber=-2147483648&errordescription=x");
}

TEST(FirstReportAddress, IsTheSiteThePathAndTheQuery) {
    EXPECT_EQ(FirstReportAddress("http://127.0.0.1:5", "?q"), "http://127.0.0.1:5/products/errorreport.asp?q");
    EXPECT_EQ(DefaultReportSite().baseUrl, net::SiteBaseUrl());
    EXPECT_EQ(DefaultReportSite().requestTimeout, std::chrono::seconds(10));
}

TEST(RetryBase, OnlyAnExactRetryWithAWebAddressCounts) {
    EXPECT_EQ(RetryBase("RETRY|http://127.0.0.1:9/products/errorreport.asp"),
              "http://127.0.0.1:9/products/errorreport.asp");
    EXPECT_EQ(RetryBase("RETRY|HTTPS://reports.example/r"), "HTTPS://reports.example/r");
    EXPECT_EQ(RetryBase("RETRY|"), std::nullopt);
    EXPECT_EQ(RetryBase("RETRY"), std::nullopt);
    EXPECT_EQ(RetryBase(""), std::nullopt);
    EXPECT_EQ(RetryBase("retry|http://127.0.0.1:9/r"), std::nullopt);
    EXPECT_EQ(RetryBase("Retry|http://127.0.0.1:9/r"), std::nullopt);
    EXPECT_EQ(RetryBase(" RETRY|http://127.0.0.1:9/r"), std::nullopt);
    EXPECT_EQ(RetryBase("Thank you"), std::nullopt);
    // Anything but the web is not followed.
    EXPECT_EQ(RetryBase("RETRY|file:///etc/passwd"), std::nullopt);
    EXPECT_EQ(RetryBase("RETRY|ftp://127.0.0.1/r"), std::nullopt);
    EXPECT_EQ(RetryBase("RETRY|127.0.0.1/r"), std::nullopt);
    EXPECT_EQ(RetryBase("RETRY|http:"), std::nullopt);
}

}  // namespace
}  // namespace trevalon::errors

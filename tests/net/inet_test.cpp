#include "net/inet.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/site_paths.h"
#include "environment.h"
#include "network_isolation.h"
#include "odd_server.h"
#include "site_server.h"

namespace trevalon::net {
namespace {

using namespace std::chrono_literals;
using testsupport::OddServer;
using testsupport::SiteOptions;
using testsupport::SiteServer;

using trevalon::site_paths::kVersionPage;
using trevalon::site_paths::kReportPage;

std::string Fetch(const std::string& url, std::chrono::milliseconds timeout = 5s) {
    Inet inet(timeout);
    inet.URL = url;
    return inet.OpenURL();
}

TEST(OpenURL, ReturnsTheWholeBodyAsText) {
    SiteServer site({.version = "1.5.6", .news = "<p>Faster\r\ncopies</p>\n"});
    EXPECT_EQ(Fetch(site.BaseUrl() + kVersionPage), "1.5.6");
    EXPECT_EQ(Fetch(site.BaseUrl() + "/products/Trevalon/whatsnew.html"), "<p>Faster\r\ncopies</p>\n");
    site.SetVersion("caf\xE9");  // a Latin-1 page
    EXPECT_EQ(Fetch(site.BaseUrl() + kVersionPage), "caf\xC3\xA9");
    site.SetVersion("");
    EXPECT_EQ(Fetch(site.BaseUrl() + kVersionPage), "");
}

TEST(OpenURL, KeepsTheUrlForTheNextFetch) {
    SiteServer site({.version = "1.5.5"});
    Inet inet(5s);
    inet.URL = site.BaseUrl() + kVersionPage;
    EXPECT_EQ(inet.OpenURL(), "1.5.5");
    EXPECT_EQ(inet.OpenURL(), "1.5.5");
    EXPECT_EQ(inet.URL, site.BaseUrl() + kVersionPage);
    EXPECT_EQ(site.Hits(kVersionPage), 2);
}

TEST(OpenURL, ErrorStatusIsAFailedFetch) {
    SiteServer site({.serveVersion = false});
    EXPECT_THROW(Fetch(site.BaseUrl() + kVersionPage), TransferError);
    EXPECT_THROW(Fetch(site.BaseUrl() + "/no/such/page"), TransferError);

    OddServer odd;
    odd.Answer("/500", 500, "RETRY|http://127.0.0.1:1/x");
    odd.Answer("/304", 304);
    odd.Answer("/204", 204);
    EXPECT_THROW(Fetch(odd.Url("/500")), TransferError);
    EXPECT_THROW(Fetch(odd.Url("/304")), TransferError);
    EXPECT_EQ(Fetch(odd.Url("/204")), "");
}

TEST(OpenURL, FollowsAFewRedirectsButNotALoop) {
    OddServer odd;
    odd.Redirect("/old", "/older");
    odd.Redirect("/older", "/new", 301);
    odd.Answer("/new", 200, "1.5.7");
    odd.Redirect("/loop", "/loop");
    odd.Redirect("/to-file", "file:///etc/hostname");
    EXPECT_EQ(Fetch(odd.Url("/old")), "1.5.7");
    EXPECT_THROW(Fetch(odd.Url("/loop")), TransferError);
    EXPECT_THROW(Fetch(odd.Url("/to-file")), TransferError);
}

TEST(OpenURL, RefusesAnswersOverOneMebibyte) {
    OddServer odd;
    const std::string mebibyte(1024 * 1024, 'X');
    odd.Answer("/fits", 200, mebibyte);
    odd.Answer("/too-long", 200, mebibyte + "X");
    // Without a length up front the limit must hold while the body streams in.
    odd.Endless("/endless");
    EXPECT_EQ(Fetch(odd.Url("/fits")).size(), mebibyte.size());
    EXPECT_THROW(Fetch(odd.Url("/too-long")), TransferError);
#ifndef _WIN32  // WinINet under Wine takes minutes over a chunked mebibyte
    EXPECT_THROW(Fetch(odd.Url("/endless")), TransferError);
#endif
}

TEST(OpenURL, SendsTheAddressAsGivenSaveWhatItCannotCarry) {
    SiteServer site;
    Fetch(site.BaseUrl() + kReportPage + "?a=1 2#3&b=%41%zz|\xC3\xA9\t&c=x=y/?");
    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].query, "a=1%202%233&b=%41%25zz%7C%C3%A9%09&c=x=y/?");
    ASSERT_EQ(reports[0].values.size(), 3u);
    EXPECT_EQ(reports[0].values[0], (std::pair<std::string, std::string>("a", "1 2#3")));
    EXPECT_EQ(reports[0].values[1], (std::pair<std::string, std::string>("b", "A%zz|\xC3\xA9\t")));
    EXPECT_EQ(reports[0].values[2], (std::pair<std::string, std::string>("c", "x=y/?")));
}

TEST(OpenURL, GivesUpAtItsTimeOutWhenNobodyAnswers) {
    testsupport::SilentServer silent;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(Fetch(silent.BaseUrl() + kVersionPage, 300ms), TransferError);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 5s);
}

TEST(OpenURL, ClosedPortFailsWithoutWaitingForTheTimeOut) {
    const int port = testsupport::ClosedLoopbackPort();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(Fetch("http://127.0.0.1:" + std::to_string(port) + kVersionPage, 20s), TransferError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST(OpenURL, UnknownHostFailsWithoutWaitingForTheTimeOut) {
    // In a network of its own the look-up reaches no resolver outside.
    const int rc = testsupport::RunWithoutNetwork([] {
        const auto start = std::chrono::steady_clock::now();
        try {
            Fetch("http://www.mirrowin.invalid/products/Trevalon/version.asp", 20s);
            return 1;
        } catch (const TransferError&) {
            return std::chrono::steady_clock::now() - start < 10s ? 0 : 3;
        }
    });
    if (rc == testsupport::kNoIsolation) GTEST_SKIP() << "no private network namespace here";
    EXPECT_EQ(rc, 0);
}

TEST(OpenURL, LoopbackNeverGoesThroughAProxy) {
    OddServer odd;
    odd.Answer("/direct", 200, "direct");
    const int closed = testsupport::ClosedLoopbackPort();
    const std::string proxy = "http://127.0.0.1:" + std::to_string(closed);
    testsupport::SetEnvironment("http_proxy", proxy.c_str());
    testsupport::SetEnvironment("no_proxy", "example.org");
    std::string answer;
    EXPECT_NO_THROW(answer = Fetch(odd.Url("/direct")));
    testsupport::UnsetEnvironment("http_proxy");
    testsupport::UnsetEnvironment("no_proxy");
    EXPECT_EQ(answer, "direct");
}

TEST(OpenURL, OnlyWebAddressesAreFetched) {
    EXPECT_THROW(Fetch("file:///etc/hostname"), TransferError);
    EXPECT_THROW(Fetch("ftp://127.0.0.1/x"), TransferError);
    EXPECT_THROW(Fetch(""), TransferError);
}

}  // namespace
}  // namespace trevalon::net

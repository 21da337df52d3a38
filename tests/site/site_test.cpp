#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>

#include "report_store.h"
#include "site.h"
#include "site_server.h"

namespace trevalon::site {
namespace {

using Pair = std::pair<std::string, std::string>;
using testsupport::SiteOptions;
using testsupport::SiteServer;

// Whether an answer has all of its head and its Content-Length of body.
bool Complete(const std::string& answer) {
    const auto end = answer.find("\r\n\r\n");
    if (end == std::string::npos) return false;
    std::string head = answer.substr(0, end);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto field = head.find("\r\ncontent-length:");
    if (field == std::string::npos) return false;
    const std::size_t length = std::stoul(head.substr(field + 17));
    return answer.size() >= end + 4 + length;
}

// One raw exchange, the way no well-behaved client would talk.
std::string Exchange(int port, const std::string& request) {
    const int fd = testsupport::detail::ConnectLoopback(port);
    if (fd < 0) return "<no connection>";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    // An error answer may keep the connection open.
    const std::string answer = testsupport::detail::ReceiveAnswer(fd, Complete);
    close(fd);
    return answer;
}

std::string Get(int port, const std::string& target) {
    return Exchange(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

std::string StatusLine(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }
std::string Body(const std::string& answer) {
    const auto end = answer.find("\r\n\r\n");
    return end == std::string::npos ? "<no body>" : answer.substr(end + 4);
}

TEST(SplitQuery, PairsInOrderDecodedAtTheFirstEquals) {
    EXPECT_EQ(SplitQuery(""), std::vector<Pair>{});
    EXPECT_EQ(SplitQuery("a=1&b=x=y&c"), (std::vector<Pair>{{"a", "1"}, {"b", "x=y"}, {"c", ""}}));
    EXPECT_EQ(SplitQuery("a=1&&=2&a=3"), (std::vector<Pair>{{"a", "1"}, {"", "2"}, {"a", "3"}}));
    EXPECT_EQ(SplitQuery("d=a%20b%23c+d%zz%"), (std::vector<Pair>{{"d", "a b#c+d%zz%"}}));
    EXPECT_EQ(SplitQuery("k%3D=%26"), (std::vector<Pair>{{"k=", "&"}}));
}

TEST(Site, ServesTheVersionAndNewsFilesAsTheyAreNow) {
    SiteServer site({.version = "1.5.6", .news = "<h1>1.5.6</h1>\r\nFaster."});
    std::string answer = Get(site.Port(), kVersionPath);
    EXPECT_EQ(StatusLine(answer), "HTTP/1.1 200 OK");
    EXPECT_EQ(Body(answer), "1.5.6");
    EXPECT_EQ(Body(Get(site.Port(), kNewsPath)), "<h1>1.5.6</h1>\r\nFaster.");
    site.SetVersion("1.5.7");
    EXPECT_EQ(Body(Get(site.Port(), kVersionPath)), "1.5.7");
    EXPECT_EQ(site.Hits(kVersionPath), 2);
    EXPECT_EQ(site.Hits(kNewsPath), 1);
    EXPECT_EQ(StatusLine(Get(site.Port(), "/products/Trevalon/other.asp")), "HTTP/1.1 404 Not Found");
    // Each line ends with the status the client got.
    std::ifstream log(site.AccessLog());
    std::string statuses;
    for (std::string line; std::getline(log, line);) statuses += line.substr(line.rfind(' ') + 1) + " ";
    EXPECT_EQ(statuses, "200 200 200 ");
}

TEST(Site, AnAbsoluteTargetNamesTheSamePage) {
    SiteServer site({.version = "1.5.6"});
    const std::string page = std::string(kVersionPath);
    for (const char* host : {"http://www.mirrowin.example", "HTTP://127.0.0.1:1"})
        EXPECT_EQ(Body(Get(site.Port(), host + page)), "1.5.6") << host;
    EXPECT_EQ(StatusLine(Get(site.Port(), "http://x" + page + "x")), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(StatusLine(Get(site.Port(), "ftp://x" + page)), "HTTP/1.1 404 Not Found");
    Get(site.Port(), "http://www.mirrowin.example" + std::string(kReportPath) + "?errornumber=7");
    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].query, "errornumber=7");
    EXPECT_EQ(site.Hits(kVersionPath), 2);
}

TEST(Site, MissingFilesAreNotFound) {
    SiteServer site({.serveVersion = false, .serveNews = false});
    EXPECT_EQ(StatusLine(Get(site.Port(), kVersionPath)), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(StatusLine(Get(site.Port(), kNewsPath)), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(site.Hits(kVersionPath), 1);
}

TEST(Site, StoresEachReportAndAcknowledgesIt) {
    SiteServer site;
    const std::string query = "application=Trevalon155&errorlocation=6&errornumber=-5&errordescription=a%20b&c%23";
    const std::string answer = Get(site.Port(), std::string(kReportPath) + "?" + query);
    EXPECT_EQ(StatusLine(answer), "HTTP/1.1 200 OK");
    EXPECT_EQ(Body(answer).rfind("RETRY|", 0), std::string::npos);
    Get(site.Port(), kReportPath);  // no query at all is still a report
    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].query, query);
    EXPECT_EQ(reports[0].application, "Trevalon155");
    EXPECT_EQ(reports[0].errorlocation, "6");
    EXPECT_EQ(reports[0].errornumber, "-5");
    EXPECT_EQ(reports[0].errordescription, "a b");
    EXPECT_EQ(reports[0].values.back(), (Pair{"c#", ""}));
    EXPECT_EQ(reports[1].query, "");
    EXPECT_EQ(reports[1].errornumber, std::nullopt);
}

TEST(Site, AHeadRequestStoresNothing) {
    SiteServer site;
    auto head = [&](const std::string& target) {
        return Exchange(site.Port(), "HEAD " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    };
    const std::string answer = head(std::string(kReportPath) + "?id=head");
    EXPECT_EQ(StatusLine(answer), "HTTP/1.1 405 Method Not Allowed");
    EXPECT_NE(answer.find("\r\nAllow: GET\r\n"), std::string::npos) << answer;
    const std::string page = head(kVersionPath);
    EXPECT_EQ(StatusLine(page), "HTTP/1.1 200 OK");
    EXPECT_EQ(Body(page), "");
    Get(site.Port(), std::string(kReportPath) + "?id=get");
    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].query, "id=get");
    EXPECT_EQ(site.Hits(kReportPath), 2);  // both logged, each with its own method
}

TEST(Site, AnswersWithTheRetryOrTheGivenText) {
    SiteServer retry({.retry = "http://127.0.0.1:1/products/errorreport.asp"});
    EXPECT_EQ(Body(Get(retry.Port(), std::string(kReportPath) + "?x=1")),
              "RETRY|http://127.0.0.1:1/products/errorreport.asp");
    SiteServer bare({.retry = ""});
    EXPECT_EQ(Body(Get(bare.Port(), kReportPath)), "RETRY|");
    SiteServer given({.answer = "retry|http://127.0.0.1:1/x"});
    EXPECT_EQ(Body(Get(given.Port(), kReportPath)), "retry|http://127.0.0.1:1/x");
    EXPECT_EQ(retry.Reports().size(), 1u);
}

TEST(Site, RefusesOversizedAndMalformedRequestsAndGoesOn) {
    SiteServer site;
    const std::string tooLong(kMaxStoredQuery + 1, 'a');
    EXPECT_EQ(StatusLine(Get(site.Port(), std::string(kReportPath) + "?" + tooLong)).substr(0, 12), "HTTP/1.1 414");
    EXPECT_EQ(StatusLine(Get(site.Port(), std::string(kReportPath) + "?" + std::string(20000, 'b'))).substr(0, 12),
              "HTTP/1.1 414");
    const std::string fits(kMaxStoredQuery, 'c');
    EXPECT_EQ(StatusLine(Get(site.Port(), std::string(kReportPath) + "?" + fits)), "HTTP/1.1 200 OK");

    EXPECT_EQ(StatusLine(Exchange(site.Port(), "GARBAGE\r\n\r\n")).substr(0, 12), "HTTP/1.1 400");
    EXPECT_EQ(StatusLine(Exchange(site.Port(), "GET\r\n\r\n")).substr(0, 12), "HTTP/1.1 400");
    const char rawWithNul[] = "GET /products/errorreport.asp?x=\0\xff HTTP/1.1\r\n\r\n";
    const std::string withNul(rawWithNul, sizeof rawWithNul - 1);
    EXPECT_EQ(StatusLine(Exchange(site.Port(), withNul)).substr(0, 12), "HTTP/1.1 400");
    const std::string hugeHeader = "GET " + std::string(kReportPath) + " HTTP/1.1\r\nHost: x\r\nX: " +
                                   std::string(100000, 'H') + "\r\n\r\n";
    EXPECT_EQ(StatusLine(Exchange(site.Port(), hugeHeader)).substr(0, 12), "HTTP/1.1 400");

    const auto reports = site.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].query, fits);
    EXPECT_EQ(Body(Get(site.Port(), kVersionPath)), "1.5.5");  // still serving
}

TEST(Site, StartsOnlyWhenToldWhatToServe) {
    const std::string exe = TREVALON_SITE_EXE_FOR_ARGS;
    auto run = [&](const std::string& args) {
        const int status = std::system((exe + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("--port 0 --version-file v --news-file n"), 2);
    EXPECT_EQ(run("--port 70000 --version-file v --news-file n --db d"), 2);
    EXPECT_EQ(run("--port x --version-file v --news-file n --db d"), 2);
    EXPECT_EQ(run("--port 0 --version-file v --news-file n --db /nonexistent/dir/db --bogus"), 2);
    EXPECT_EQ(run("--port 0 --version-file v --news-file n --db /nonexistent/dir/reports.db"), 1);

    SiteServer busy;  // its port is taken
    EXPECT_EQ(run("--port " + std::to_string(busy.Port()) + " --version-file v --news-file n --db " +
                  (busy.DbPath().parent_path() / "other.db").string()),
              1);
}

}  // namespace
}  // namespace trevalon::site

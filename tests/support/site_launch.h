// What both platforms' site fixtures (site_server.h) share: the options, a
// stored report, trevalon-site's command line, its first line and its
// access log. Paths here are Linux paths, as trevalon-site sees them.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trevalon::testsupport {

struct SiteOptions {
    std::string version = "1.5.5";  // body of the version page
    std::string news = "What is new";
    std::optional<std::string> retry{};   // reports answered "RETRY|" + this
    std::optional<std::string> answer{};  // reports answered with exactly this
    bool serveVersion = true;           // false: the version page is missing (404)
    bool serveNews = true;              // false: the news page is missing (404)
    std::string dbDir{};                // where the database goes; empty: the site's folder
};

struct StoredReport {
    std::string query;  // the raw query as received, after "?"
    std::optional<std::string> application, errorlocation, errornumber, errordescription;
    std::vector<std::pair<std::string, std::string>> values;  // every pair, in order
};

// The files of a site whose folder is `dir`.
struct SiteFiles {
    std::string dir, dbDir;
    std::string Version() const { return dir + "/version.txt"; }
    std::string News() const { return dir + "/whatsnew.html"; }
    std::string AccessLog() const { return dir + "/access.log"; }
    std::string Db() const { return (dbDir.empty() ? dir : dbDir) + "/reports.db"; }
};

// trevalon-site serving `files` on `port` (0: any free one).
inline std::vector<std::string> SiteCommandLine(const std::string& exe, const SiteFiles& files, int port,
                                                const SiteOptions& options) {
    std::vector<std::string> args = {exe,          "--port",          std::to_string(port),
                                     "--version-file", files.Version(), "--news-file",
                                     files.News(), "--db",            files.Db(),
                                     "--access-log", files.AccessLog()};
    if (options.retry) args.insert(args.end(), {"--retry", *options.retry});
    if (options.answer) args.insert(args.end(), {"--answer", *options.answer});
    return args;
}

// The port the site's first line ("listening on 127.0.0.1:PORT") names; 0 if none.
inline int PortOfFirstLine(const std::string& line) {
    const auto colon = line.rfind(':');
    if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos) return 0;
    try {
        return std::stoi(line.substr(colon + 1));
    } catch (...) {
        return 0;
    }
}

// How many requests for `path` the access log holds (any status).
inline int HitsIn(std::istream& log, const std::string& path) {
    std::string stamp, method, logged, status;
    int count = 0;
    while (log >> stamp >> method >> logged >> status)
        if (logged == path) ++count;
    return count;
}

}  // namespace trevalon::testsupport

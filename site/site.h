// The maker's web site: the version page, the news page and the error reports.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <mutex>
#include <memory>
#include <optional>
#include <string>

#include "common/site_paths.h"
#include "gated_server.h"
#include "report_store.h"

namespace trevalon::site {

inline constexpr const char* kVersionPath = trevalon::site_paths::kVersionPage;
inline constexpr const char* kNewsPath = trevalon::site_paths::kNewsPage;
inline constexpr const char* kReportPath = trevalon::site_paths::kReportPage;
// Reports longer than this are refused, not stored.
inline constexpr std::size_t kMaxStoredQuery = 4096;

struct SiteConfig {
    std::string versionFile;
    std::string newsFile;
    std::string dbPath;
    std::optional<std::string> retryBase;  // answer reports with "RETRY|" and this
    std::optional<std::string> answer;     // answer reports with exactly this
    std::string accessLog;                 // a line per request when set
    std::string address = "127.0.0.1";     // where to listen
};

// Request threads: enough that 50 clients can wait on one commit together
// (slow clients take none: they wait in the server's watcher).
inline constexpr std::size_t kRequestThreads = 64;

class Site {
public:
    explicit Site(SiteConfig config);  // opens the database; throws
    ~Site();
    // Binds the configured address and port (0 = any free port); the port bound, or -1.
    int Bind(int port);
    void Run();   // serves until Stop
    void Stop();  // from any thread

private:
    void Routes();
    void AnswerReport(const httplib::Request& req, httplib::Response& res);
    void LogHit(const std::string& method, const char* path, int status);

    SiteConfig config_;
    ReportWriter reports_;
    int accessLog_ = -1;
    GatedServer server_;
};

}  // namespace trevalon::site

#include "site.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <sstream>

namespace trevalon::site {

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ServeFile(const std::string& path, const char* type, httplib::Response& res) {
    if (const auto text = ReadFile(path)) {
        res.set_content(*text, type);
    } else {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
    }
}

// A target in absolute form (RFC 9112, 3.2.2), as clients send it through a
// proxy, names the same page; a server must accept it.
std::string Route(const char* path) {
    std::string pattern = "(?:[Hh][Tt][Tt][Pp][Ss]?://[^/?#]+)?";
    for (const char* c = path; *c != '\0'; ++c) {
        if (std::strchr(".?*+^$|()[]{}\\", *c) != nullptr) pattern += '\\';
        pattern += *c;
    }
    return pattern;
}

}  // namespace

Site::Site(SiteConfig config)
    : config_(std::move(config)), reports_(config_.dbPath), server_(GateLimits{.threads = kRequestThreads}) {
    if (!config_.accessLog.empty()) {
        accessLog_ = ::open(config_.accessLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (accessLog_ < 0) throw std::runtime_error("cannot open " + config_.accessLog);
    }
    // The library's default would let a second server share the port and
    // take half of the reports; a restart still needs the address at once.
    server_.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // A kept-alive connection (nginx's to us) must not hold each answer back
    // for the client's delayed acknowledgement.
    server_.set_tcp_nodelay(true);
    // No request the program makes has a body.
    server_.set_payload_max_length(64 * 1024);
    Routes();
}

void Site::Routes() {
    // The pages are read at each request, so the maker can publish without a
    // restart. The library routes HEAD to these handlers too.
    server_.Get(Route(kVersionPath), [this](const httplib::Request& req, httplib::Response& res) {
        ServeFile(config_.versionFile, "text/plain", res);
        LogHit(req.method, kVersionPath, res.status);
    });
    server_.Get(Route(kNewsPath), [this](const httplib::Request& req, httplib::Response& res) {
        ServeFile(config_.newsFile, "text/html", res);
        LogHit(req.method, kNewsPath, res.status);
    });
    server_.Get(Route(kReportPath), [this](const httplib::Request& req, httplib::Response& res) {
        AnswerReport(req, res);
        LogHit(req.method, kReportPath, res.status);
    });
    server_.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("Internal error", "text/plain");
    });
}

void Site::AnswerReport(const httplib::Request& req, httplib::Response& res) {
    // Sending a report is an action: a HEAD (a link checker, a crawler) must not be one.
    if (req.method != "GET") {
        res.status = 405;
        res.set_header("Allow", "GET");
        res.set_content("Reports are sent with GET", "text/plain");
        return;
    }
    // The raw target, not the decoded parameters: the report is kept as it came.
    const std::size_t mark = req.target.find('?');
    const std::string query = mark == std::string::npos ? std::string() : req.target.substr(mark + 1);
    if (query.size() > kMaxStoredQuery) {
        res.status = 414;
        res.set_content("Report too long", "text/plain");
        return;
    }
    // Answered only once committed, so an acknowledged report survives a crash.
    if (!reports_.Submit(query)) {
        res.status = 503;
        res.set_header("Retry-After", "60");
        res.set_content("Report not stored", "text/plain");
        return;
    }
    if (config_.answer)
        res.set_content(*config_.answer, "text/plain");
    else if (config_.retryBase)
        res.set_content("RETRY|" + *config_.retryBase, "text/plain");
    else
        res.set_content("Thank you", "text/plain");
}

Site::~Site() {
    if (accessLog_ >= 0) ::close(accessLog_);
}

// A file, not the database: a page request must cost no sync. One write per
// line with O_APPEND keeps lines whole across threads.
void Site::LogHit(const std::string& method, const char* path, int status) {
    if (accessLog_ < 0) return;
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    // The library makes an unset status 200 only once the handler returns.
    if (status == -1) status = 200;
    const std::string line = std::string(stamp) + " " + method + " " + path + " " + std::to_string(status) + "\n";
    // A lost log line must not cost the visitor an answer.
    [[maybe_unused]] const ssize_t written = ::write(accessLog_, line.data(), line.size());
}

int Site::Bind(int port) {
    if (port == 0) return server_.BindToAny(config_.address);
    return server_.BindTo(config_.address, port) ? port : -1;
}

void Site::Run() { server_.Serve(); }

void Site::Stop() { server_.stop(); }

}  // namespace trevalon::site

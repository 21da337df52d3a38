#include "report_store.h"

#include <httplib.h>

#include <memory>
#include <stdexcept>

namespace trevalon::site {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS reports (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  received TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now')),
  query TEXT NOT NULL,
  application TEXT,
  errorlocation TEXT,
  errornumber TEXT,
  errordescription TEXT
);
CREATE TABLE IF NOT EXISTS report_values (
  report_id INTEGER NOT NULL REFERENCES reports(id),
  position INTEGER NOT NULL,
  key TEXT NOT NULL,
  value TEXT NOT NULL,
  PRIMARY KEY (report_id, position)
);
CREATE TABLE IF NOT EXISTS hits (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  received TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now')),
  path TEXT NOT NULL,
  status INTEGER NOT NULL
);
)sql";

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

}  // namespace

std::vector<std::pair<std::string, std::string>> SplitQuery(const std::string& rawQuery) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = 0;
    while (start <= rawQuery.size()) {
        std::size_t end = rawQuery.find('&', start);
        if (end == std::string::npos) end = rawQuery.size();
        const std::string piece = rawQuery.substr(start, end - start);
        if (!piece.empty()) {
            const std::size_t eq = piece.find('=');
            std::string key = piece.substr(0, eq);
            std::string value = eq == std::string::npos ? std::string() : piece.substr(eq + 1);
            pairs.emplace_back(httplib::detail::decode_url(key, false),
                               httplib::detail::decode_url(value, false));
        }
        start = end + 1;
    }
    return pairs;
}

ReportStore::ReportStore(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot open " + path + ": " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
    try {
        Exec(kSchema);
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

ReportStore::~ReportStore() { sqlite3_close(db_); }

void ReportStore::Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string why = message ? message : "unknown";
        sqlite3_free(message);
        throw std::runtime_error(why);
    }
}

void ReportStore::Store(const std::string& rawQuery) {
    const auto pairs = SplitQuery(rawQuery);
    // The first value of each known key fills its column; every pair is kept.
    auto first = [&](const char* key) -> const std::string* {
        for (const auto& [k, v] : pairs)
            if (k == key) return &v;
        return nullptr;
    };
    auto prepare = [&](const char* sql) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        return Statement(raw);
    };
    auto bindText = [](sqlite3_stmt* s, int index, const std::string* text) {
        if (text)
            sqlite3_bind_text(s, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(s, index);
    };

    std::lock_guard lock(mutex_);
    Exec("BEGIN IMMEDIATE");
    try {
        Statement report = prepare(
            "INSERT INTO reports (query, application, errorlocation, errornumber, errordescription) "
            "VALUES (?, ?, ?, ?, ?)");
        bindText(report.get(), 1, &rawQuery);
        bindText(report.get(), 2, first("application"));
        bindText(report.get(), 3, first("errorlocation"));
        bindText(report.get(), 4, first("errornumber"));
        bindText(report.get(), 5, first("errordescription"));
        if (sqlite3_step(report.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db_);

        Statement value =
            prepare("INSERT INTO report_values (report_id, position, key, value) VALUES (?, ?, ?, ?)");
        int position = 0;
        for (const auto& [k, v] : pairs) {
            sqlite3_reset(value.get());
            sqlite3_bind_int64(value.get(), 1, id);
            sqlite3_bind_int(value.get(), 2, position++);
            bindText(value.get(), 3, &k);
            bindText(value.get(), 4, &v);
            if (sqlite3_step(value.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
        }
        Exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void ReportStore::LogHit(const std::string& path, int status) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "INSERT INTO hits (path, status) VALUES (?, ?)", -1, &raw, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
    Statement hit(raw);
    sqlite3_bind_text(raw, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(raw, 2, status);
    if (sqlite3_step(raw) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
}

}  // namespace trevalon::site

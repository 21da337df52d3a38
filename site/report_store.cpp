#include "report_store.h"

#include <httplib.h>

#include <exception>
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

ReportStore::ReportStore(std::string path) : path_(std::move(path)) { Open(); }

ReportStore::~ReportStore() { sqlite3_close(db_); }

void ReportStore::Open() {
    if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error("cannot open " + path_ + ": " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
    // Read-only now: serve the pages and answer reports 503 until it is writable.
    if (sqlite3_db_readonly(db_, "main") == 1) return;
    try {
        // WAL lets readers (the maker's queries) run beside the writer; FULL
        // syncs the log at each commit, so an answered report survives a power
        // cut as well as a crash. Group commit pays that sync once per batch.
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec(kSchema);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

void ReportStore::Reopen() {
    sqlite3_close(db_);
    db_ = nullptr;
    Open();
}

void ReportStore::Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string why = message ? message : "unknown";
        sqlite3_free(message);
        throw std::runtime_error(why);
    }
}

void ReportStore::StoreAll(const std::vector<const std::string*>& rawQueries) {
    if (db_ == nullptr) throw std::runtime_error("database not open");
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

    Exec("BEGIN IMMEDIATE");
    try {
        Statement report = prepare(
            "INSERT INTO reports (query, application, errorlocation, errornumber, errordescription) "
            "VALUES (?, ?, ?, ?, ?)");
        Statement value =
            prepare("INSERT INTO report_values (report_id, position, key, value) VALUES (?, ?, ?, ?)");
        for (const std::string* rawQuery : rawQueries) {
            const auto pairs = SplitQuery(*rawQuery);
            // The first value of each known key fills its column; every pair is kept.
            auto first = [&](const char* key) -> const std::string* {
                for (const auto& [k, v] : pairs)
                    if (k == key) return &v;
                return nullptr;
            };
            sqlite3_reset(report.get());
            bindText(report.get(), 1, rawQuery);
            bindText(report.get(), 2, first("application"));
            bindText(report.get(), 3, first("errorlocation"));
            bindText(report.get(), 4, first("errornumber"));
            bindText(report.get(), 5, first("errordescription"));
            if (sqlite3_step(report.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
            const sqlite3_int64 id = sqlite3_last_insert_rowid(db_);
            int position = 0;
            for (const auto& [k, v] : pairs) {
                sqlite3_reset(value.get());
                sqlite3_bind_int64(value.get(), 1, id);
                sqlite3_bind_int(value.get(), 2, position++);
                bindText(value.get(), 3, &k);
                bindText(value.get(), 4, &v);
                if (sqlite3_step(value.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
            }
        }
        Exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

ReportWriter::ReportWriter(std::string path) : store_(std::move(path)), writer_([this] { Run(); }) {}

ReportWriter::~ReportWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    writer_.join();
}

bool ReportWriter::Submit(std::string rawQuery) {
    Pending pending{std::move(rawQuery)};
    std::unique_lock lock(mutex_);
    if (stopping_) return false;
    waiting_.push_back(&pending);
    work_.notify_one();
    done_.wait(lock, [&] { return pending.state != Pending::kWaiting; });
    return pending.state == Pending::kStored;
}

long ReportWriter::Commits() const {
    std::lock_guard lock(mutex_);
    return commits_;
}

void ReportWriter::Run() {
    bool broken = false;
    std::vector<Pending*> batch;
    std::vector<const std::string*> queries;
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) break;  // stopping, nothing left to write
        batch.swap(waiting_);
        lock.unlock();

        queries.clear();
        for (Pending* p : batch) queries.push_back(&p->query);
        bool stored = false;
        try {
            // After a failure the connection may hold a read-only or stale
            // file: a fresh one sees the disk as it is now.
            if (broken) store_.Reopen();
            store_.StoreAll(queries);
            stored = true;
        } catch (const std::exception&) {
        }
        broken = !stored;

        lock.lock();
        if (stored) ++commits_;
        for (Pending* p : batch) p->state = stored ? Pending::kStored : Pending::kFailed;
        batch.clear();
        done_.notify_all();
    }
}

}  // namespace trevalon::site

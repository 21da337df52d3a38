// Error reports as the site received them, kept in SQLite.
#pragma once

#include <sqlite3.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace trevalon::site {

// The query's pairs in the order they came, split at "&" and the first "=",
// each side percent-decoded ("+" stays "+": the program never form-encodes).
std::vector<std::pair<std::string, std::string>> SplitQuery(const std::string& rawQuery);

// One connection to the database; not thread-safe (the writer owns it).
class ReportStore {
public:
    // Throws std::runtime_error when the file cannot be opened at all. A
    // database that opens read-only is kept: writes fail until Reopen works.
    explicit ReportStore(std::string path);
    ~ReportStore();
    ReportStore(const ReportStore&) = delete;
    ReportStore& operator=(const ReportStore&) = delete;

    // Stores every raw query, each with its pairs, in one transaction; throws
    // and leaves nothing of the batch when it cannot commit.
    void StoreAll(const std::vector<const std::string*>& rawQueries);
    void Store(const std::string& rawQuery) { StoreAll({&rawQuery}); }
    // A fresh connection, for a file system that has become writable again.
    void Reopen();

private:
    void Open();
    void Exec(const char* sql);

    std::string path_;
    sqlite3* db_ = nullptr;
};

// Group commit: callers on many threads hand in reports; one writer commits
// all those waiting in one transaction (one sync) and then wakes them.
class ReportWriter {
public:
    explicit ReportWriter(std::string path);  // opens the store; throws
    ~ReportWriter();                          // fails whatever still waits
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    // True once the report is committed; false when its batch failed.
    bool Submit(std::string rawQuery);
    // How many transactions committed so far (to see that batching happens).
    long Commits() const;

private:
    struct Pending {
        std::string query;
        enum { kWaiting, kStored, kFailed } state = kWaiting;
    };
    void Run();

    ReportStore store_;
    mutable std::mutex mutex_;
    std::condition_variable work_, done_;
    std::vector<Pending*> waiting_;
    bool stopping_ = false;
    long commits_ = 0;
    std::thread writer_;
};

}  // namespace trevalon::site

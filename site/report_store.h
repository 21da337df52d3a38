// Error reports as the site received them, and its access log, kept in SQLite.
#pragma once

#include <sqlite3.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace trevalon::site {

// The query's pairs in the order they came, split at "&" and the first "=",
// each side percent-decoded ("+" stays "+": the program never form-encodes).
std::vector<std::pair<std::string, std::string>> SplitQuery(const std::string& rawQuery);

class ReportStore {
public:
    explicit ReportStore(const std::string& path);  // throws std::runtime_error
    ~ReportStore();
    ReportStore(const ReportStore&) = delete;
    ReportStore& operator=(const ReportStore&) = delete;

    // Stores the raw query and each key's value in one transaction.
    void Store(const std::string& rawQuery);
    // One line of the access log: the path asked for and the status answered.
    void LogHit(const std::string& path, int status);

private:
    void Exec(const char* sql);

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
};

}  // namespace trevalon::site

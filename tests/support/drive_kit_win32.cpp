// The kit's directories on Windows: temporary folders in the user's
// temporary folder. Windows has no mount namespaces: the tests that need
// them skip.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "tests/support/drive_kit.h"

namespace trevalon::bench::testing {

namespace fs = std::filesystem;

TempDir::TempDir(Where /*where*/) {
    static std::atomic<unsigned> made{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int tries = 0; tries < 100; ++tries) {
        const fs::path path = fs::temp_directory_path() /
                              ("trevalon-bench-" + std::to_string(stamp) + "-" + std::to_string(made++));
        if (fs::create_directory(path)) {
            path_ = path.generic_string();
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

bool EnterPrivateMounts(std::string& why) {
    why = "Windows has no mount namespaces";
    return false;
}

Isolation CurrentIsolation() { return Isolation::kNone; }

namespace {
void NoMounts(const std::string& dir) { ADD_FAILURE() << "no mounts on Windows: " << dir; }
}  // namespace

void MountTmpfs(const std::string& dir, std::uint64_t, const std::string&) { NoMounts(dir); }
void ResizeTmpfs(const std::string& dir, std::uint64_t) { NoMounts(dir); }
void ShrinkTmpfsToUsed(const std::string& dir, std::uint64_t) { NoMounts(dir); }
void RemountReadOnly(const std::string& dir) { NoMounts(dir); }
void RemountWritable(const std::string& dir) { NoMounts(dir); }
void BindReadOnly(const std::string&, const std::string& dir) { NoMounts(dir); }
void Unmount(const std::string& dir) { NoMounts(dir); }
FaultyDrives MountTinyAndReadOnly(const TempDir& dir) {
    NoMounts(dir.path());
    return {};
}

}  // namespace trevalon::bench::testing

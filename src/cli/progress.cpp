#include "cli/progress.h"

#include <algorithm>
#include <array>

#include "bench/host/host.h"
#include "bench/result_slots.h"

namespace trevalon::console {
namespace {

// The order in which the single drive check measures its slots.
constexpr std::array<int, 9> kCheckOrder = {0, 1, 2, 3, 4, 5, 7, 6, 8};

std::string StepName(bench::TestKind test, int slot) {
    std::string label(bench::Slot(test, slot).label);
    if (!label.empty() && label.back() == ':') label.pop_back();
    return label;
}

}  // namespace

std::string CurrentStep(bench::TestKind test, const std::set<int>& shownSlots, int drive) {
    switch (test) {
        case bench::TestKind::kSingleDriveCheck:
            for (int slot : kCheckOrder) {
                if (!shownSlots.contains(slot)) return StepName(test, slot);
            }
            return "Finishing";
        case bench::TestKind::kDriveComparison: {
            if (drive < 0) return "Starting";
            const int write = 2 * drive;
            return StepName(test, shownSlots.contains(write) ? write + 1 : write);
        }
        case bench::TestKind::kCopyTest:
            if (drive <= 0) return "Creating File To Copy";
            return StepName(test, drive - 1);
    }
    return "";
}

ProgressLine::ProgressLine(std::FILE* out, bench::TestKind test, bool force)
    : out_(out), test_(test), enabled_(force || bench::IsTerminal(out)) {
    if (!enabled_) return;
    painter_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        while (!finished_) {
            Draw();
            wake_.wait_for(lock, std::chrono::milliseconds(200));
        }
    });
}

ProgressLine::~ProgressLine() { Finish(); }

void ProgressLine::DriveBegan(int list, const std::string& root) {
    const std::lock_guard lock(mutex_);
    drive_ = list;
    root_ = root;
}

void ProgressLine::SlotShown(int slot) {
    const std::lock_guard lock(mutex_);
    shown_.insert(slot);
}

void ProgressLine::Finish() {
    {
        const std::lock_guard lock(mutex_);
        if (finished_) return;
        finished_ = true;
    }
    wake_.notify_all();
    if (painter_.joinable()) painter_.join();
    if (enabled_) {
        std::fputs("\r\033[K", out_);
        std::fflush(out_);
    }
}

void ProgressLine::Draw() {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(out_, "\r\033[K%s", CurrentStep(test_, shown_, drive_).c_str());
    if (!root_.empty()) std::fprintf(out_, " - %s", root_.c_str());
    std::fprintf(out_, " - %.0f s", seconds);
    std::fflush(out_);
}

}  // namespace trevalon::console

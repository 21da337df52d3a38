#include "forms/relayed_view.h"

#include <thread>

namespace trevalon::forms {

std::exception_ptr CaughtError(const std::function<void()>& work) noexcept {
    try {
        work();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

std::exception_ptr RunOnOwnThread(const std::function<void()>& run,
                                  const std::function<void()>& ended,
                                  const std::function<void()>& serve) {
    std::exception_ptr error;
    std::thread worker([&] {
        error = CaughtError(run);
        ended();
    });
    serve();
    worker.join();
    return error;
}

void RelayedView::Relay(const std::function<void()>& operation) {
    std::exception_ptr error;
    OnWindowThread([&] { error = CaughtError(operation); });
    if (error) std::rethrow_exception(error);
}

void RelayedView::SetStatusText(const std::string& text) {
    Relay([&] { view_.SetStatusText(text); });
}

void RelayedView::SetResultText(int index, const std::string& text) {
    Relay([&] { view_.SetResultText(index, text); });
}

void RelayedView::SetBarWidth(int index, float twips) {
    Relay([&] { view_.SetBarWidth(index, twips); });
}

std::string RelayedView::GetDriveEntry(int list) {
    std::string entry;
    Relay([&] { entry = view_.GetDriveEntry(list); });
    return entry;
}

std::optional<std::uint64_t> RelayedView::GetDriveVolume(int list) {
    std::optional<std::uint64_t> volume;
    Relay([&] { volume = view_.GetDriveVolume(list); });
    return volume;
}

bool RelayedView::YieldToWindow() {
    bool goOn = false;
    Relay([&] { goOn = view_.YieldToWindow(); });
    return goOn;
}

void RelayedView::ShowDriveMessage(const std::string& text) {
    Relay([&] { view_.ShowDriveMessage(text); });
}

void RelayedView::HandOffError(std::int32_t number, std::int32_t location,
                               const std::string& description) {
    Relay([&] { view_.HandOffError(number, location, description); });
}

void RelayedView::SetTestButtonEnabled(bool enabled) {
    Relay([&] { view_.SetTestButtonEnabled(enabled); });
}

bench::NumberSeparators RelayedView::GetNumberSeparators() {
    bench::NumberSeparators separators;
    Relay([&] { separators = view_.GetNumberSeparators(); });
    return separators;
}

void RelayedView::RecordResult(const bench::ResultRecord& record) {
    Relay([&] { view_.RecordResult(record); });
}

void RelayedView::RecordDrive(int list, const std::string& root) {
    Relay([&] { view_.RecordDrive(list, root); });
}

}  // namespace trevalon::forms

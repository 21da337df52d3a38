// A drive test runs on a thread of its own so that the window stays able to
// take Exit, closing and stop signals in the middle of a step; every view
// operation is carried out on the window thread, in the run's order.
#pragma once

#include <QObject>
#include <exception>
#include <functional>

#include "bench/view_operations.h"

namespace trevalon::shell {

// Forwards each view operation to `view` on the thread of `context` and
// waits for it; an error it raises is raised again in the run.
class WindowThreadView final : public bench::ViewOperations {
public:
    WindowThreadView(bench::ViewOperations& view, QObject& context)
        : view_(view), context_(context) {}

    void SetStatusText(const std::string& text) override;
    void SetResultText(int index, const std::string& text) override;
    void SetBarWidth(int index, float twips) override;
    std::string GetDriveEntry(int list) override;
    std::optional<std::uint64_t> GetDriveVolume(int list) override;
    [[nodiscard]] bool YieldToWindow() override;
    void ShowDriveMessage(const std::string& text) override;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) override;
    void SetTestButtonEnabled(bool enabled) override;
    bench::NumberSeparators GetNumberSeparators() override;
    void RecordResult(const bench::ResultRecord& record) override;
    void RecordDrive(int list, const std::string& root) override;

private:
    void OnWindowThread(const std::function<void()>& operation);

    bench::ViewOperations& view_;
    QObject& context_;
};

// Runs `run` on a new thread while the calling (window) thread goes on
// handling events; returns once it has ended, with the error that ended it.
std::exception_ptr RunOffWindowThread(QObject& context, const std::function<void()>& run);

}  // namespace trevalon::shell

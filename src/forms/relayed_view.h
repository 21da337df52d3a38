// A drive test runs on a thread of its own so that the window stays able to
// take Exit, closing and stop signals in the middle of a step; each of its
// view operations is carried out on the window thread, in the run's order.
// Only how an operation reaches that thread is a front end's own.
#pragma once

#include <exception>
#include <functional>

#include "bench/view_operations.h"

namespace trevalon::forms {

// The error `work` raised, or none.
std::exception_ptr CaughtError(const std::function<void()>& work) noexcept;

// Runs `run` on a new thread, which calls `ended` once the run is over, while
// `serve` handles this (window) thread's events until then; returns with the
// error that ended the run.
std::exception_ptr RunOnOwnThread(const std::function<void()>& run,
                                  const std::function<void()>& ended,
                                  const std::function<void()>& serve);

// Forwards each view operation to `view` on the window thread and waits; an
// error it raises is raised again in the run.
class RelayedView : public bench::ViewOperations {
public:
    explicit RelayedView(bench::ViewOperations& view) : view_(view) {}

    void SetStatusText(const std::string& text) final;
    void SetResultText(int index, const std::string& text) final;
    void SetBarWidth(int index, float twips) final;
    std::string GetDriveEntry(int list) final;
    std::optional<std::uint64_t> GetDriveVolume(int list) final;
    [[nodiscard]] bool YieldToWindow() final;
    void ShowDriveMessage(const std::string& text) final;
    void HandOffError(std::int32_t number, std::int32_t location,
                      const std::string& description) final;
    void SetTestButtonEnabled(bool enabled) final;
    bench::NumberSeparators GetNumberSeparators() final;
    void RecordResult(const bench::ResultRecord& record) final;
    void RecordDrive(int list, const std::string& root) final;

private:
    // Runs `operation`, which raises nothing, on the window thread and
    // returns once it has run.
    virtual void OnWindowThread(const std::function<void()>& operation) = 0;
    void Relay(const std::function<void()>& operation);

    bench::ViewOperations& view_;
};

}  // namespace trevalon::forms

#include "shell/run_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <atomic>
#include <thread>

namespace trevalon::shell {

void WindowThreadView::OnWindowThread(const std::function<void()>& operation) {
    if (QThread::currentThread() == context_.thread()) {
        operation();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        &context_,
        [&] {
            try {
                operation();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error) std::rethrow_exception(error);
}

void WindowThreadView::SetStatusText(const std::string& text) {
    OnWindowThread([&] { view_.SetStatusText(text); });
}

void WindowThreadView::SetResultText(int index, const std::string& text) {
    OnWindowThread([&] { view_.SetResultText(index, text); });
}

void WindowThreadView::SetBarWidth(int index, float twips) {
    OnWindowThread([&] { view_.SetBarWidth(index, twips); });
}

std::string WindowThreadView::GetDriveEntry(int list) {
    std::string entry;
    OnWindowThread([&] { entry = view_.GetDriveEntry(list); });
    return entry;
}

std::optional<std::uint64_t> WindowThreadView::GetDriveVolume(int list) {
    std::optional<std::uint64_t> volume;
    OnWindowThread([&] { volume = view_.GetDriveVolume(list); });
    return volume;
}

bool WindowThreadView::YieldToWindow() {
    bool goOn = false;
    OnWindowThread([&] { goOn = view_.YieldToWindow(); });
    return goOn;
}

void WindowThreadView::ShowDriveMessage(const std::string& text) {
    OnWindowThread([&] { view_.ShowDriveMessage(text); });
}

void WindowThreadView::HandOffError(std::int32_t number, std::int32_t location,
                                    const std::string& description) {
    OnWindowThread([&] { view_.HandOffError(number, location, description); });
}

void WindowThreadView::SetTestButtonEnabled(bool enabled) {
    OnWindowThread([&] { view_.SetTestButtonEnabled(enabled); });
}

bench::NumberSeparators WindowThreadView::GetNumberSeparators() {
    bench::NumberSeparators separators;
    OnWindowThread([&] { separators = view_.GetNumberSeparators(); });
    return separators;
}

void WindowThreadView::RecordResult(const bench::ResultRecord& record) {
    OnWindowThread([&] { view_.RecordResult(record); });
}

void WindowThreadView::RecordDrive(int list, const std::string& root) {
    OnWindowThread([&] { view_.RecordDrive(list, root); });
}

std::exception_ptr RunOffWindowThread(QObject& context, const std::function<void()>& run) {
    std::atomic<bool> ended{false};
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            run();
        } catch (...) {
            error = std::current_exception();
        }
        ended = true;
        // Wakes the window thread's wait below.
        QMetaObject::invokeMethod(&context, [] {}, Qt::QueuedConnection);
    });
    // Not a QEventLoop: once the program is quitting, a new event loop
    // returns at once, and the run's last view calls must still be served.
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    return error;
}

}  // namespace trevalon::shell

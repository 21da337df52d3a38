#include "shell/run_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <atomic>

namespace trevalon::shell {

void WindowThreadView::OnWindowThread(const std::function<void()>& operation) {
    if (QThread::currentThread() == context_.thread()) {
        operation();
        return;
    }
    QMetaObject::invokeMethod(&context_, [&operation] { operation(); }, Qt::BlockingQueuedConnection);
}

std::exception_ptr RunOffWindowThread(QObject& context, const std::function<void()>& run) {
    std::atomic<bool> ended{false};
    return forms::RunOnOwnThread(
        run,
        [&] {
            ended = true;
            // Wakes the window thread's wait below.
            QMetaObject::invokeMethod(&context, [] {}, Qt::QueuedConnection);
        },
        [&] {
            // Not a QEventLoop: once the program is quitting, a new event loop
            // returns at once, and the run's last view calls must still be served.
            while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        });
}

}  // namespace trevalon::shell

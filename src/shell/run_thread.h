// A drive test runs on a thread of its own so that the window stays able to
// take Exit, closing and stop signals in the middle of a step; every view
// operation is carried out on the window thread, in the run's order.
#pragma once

#include <QObject>
#include <exception>
#include <functional>

#include "bench/view_operations.h"
#include "forms/relayed_view.h"

namespace trevalon::shell {

// Carries each view operation to the thread of `context` and waits.
class WindowThreadView final : public forms::RelayedView {
public:
    WindowThreadView(bench::ViewOperations& view, QObject& context)
        : RelayedView(view), context_(context) {}

private:
    void OnWindowThread(const std::function<void()>& operation) override;

    QObject& context_;
};

// Runs `run` on a new thread while the calling (window) thread goes on
// handling events; returns once it has ended, with the error that ended it.
std::exception_ptr RunOffWindowThread(QObject& context, const std::function<void()>& run);

}  // namespace trevalon::shell

#include "win32/message_loop.h"

#include <thread>

namespace trevalon::win32 {

namespace {

HWND acceleratedWindow = nullptr;
HACCEL accelerators = nullptr;

void Dispatch(MSG& message) {
    if (accelerators != nullptr && acceleratedWindow != nullptr &&
        (message.hwnd == acceleratedWindow || IsChild(acceleratedWindow, message.hwnd)) &&
        TranslateAcceleratorW(acceleratedWindow, accelerators, &message) != 0) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// Runs what is queued; false once WM_QUIT came, which is put back for the
// loop that owns it.
bool DispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Dispatch(message);
    }
    return true;
}

}  // namespace

LRESULT RunRelayed(LPARAM operation) {
    (*reinterpret_cast<const std::function<void()>*>(operation))();
    return 1;
}

void UseAccelerators(HWND window, HACCEL table) {
    acceleratedWindow = window;
    accelerators = table;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return static_cast<int>(message.wParam);
}

void RunPendingMessages() { DispatchPending(); }

std::exception_ptr RunOffWindowThread(const std::function<void()>& run) {
    const HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            run();
        } catch (...) {
            error = std::current_exception();
        }
        SetEvent(ended);
    });
    // The run's view operations arrive as sent messages, which only a thread
    // that waits for messages receives; a quit waits for the run's end.
    bool quitting = false;
    while (MsgWaitForMultipleObjects(1, &ended, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (quitting) {
            MSG message;
            // Only what the run sends; the rest waits for the outer loop.
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        quitting = !DispatchPending();
    }
    worker.join();
    CloseHandle(ended);
    return error;
}

void WindowThreadView::OnWindowThread(const std::function<void()>& operation) {
    std::exception_ptr error;
    const std::function<void()> guarded = [&] {
        try {
            operation();
        } catch (...) {
            error = std::current_exception();
        }
    };
    SendMessageW(relay_, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&guarded));
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

}  // namespace trevalon::win32

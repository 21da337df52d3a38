#include "win32/message_loop.h"

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
    const std::exception_ptr error = forms::RunOnOwnThread(run, [&] { SetEvent(ended); }, [&] {
        // The run's view operations arrive as sent messages, which only a
        // thread that waits for messages receives; a quit waits for the run's end.
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
    });
    CloseHandle(ended);
    return error;
}

void WindowThreadView::OnWindowThread(const std::function<void()>& operation) {
    SendMessageW(relay_, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&operation));
}

}  // namespace trevalon::win32

#include "win32/startup.h"

#include "common/error_locations.h"
#include "net/site_address.h"
#include "win32/frmNewRelease.h"
#include "win32/error_trap.h"
#include "win32/form_tables.h"
#include "win32/frmDriveSpeed.h"
#include "win32/message_loop.h"

namespace trevalon::win32 {

namespace {

frmSplash* loadedSplash = nullptr;
constexpr UINT_PTR kInitializeAppTimer = 1;

void FillEllipse(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, left, top, right, bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void DrawWords(HDC dc, const wchar_t* text, RECT place, int pixels, bool bold, COLORREF colour) {
    const HFONT font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    const HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &place, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

}  // namespace

frmSplash::frmSplash()
    : Inet1(std::chrono::seconds(60)), SiteBaseUrl(net::SiteBaseUrl()) {
    // No title bar, and as no task it stays out of the task bar.
    Create(SplashForm(), WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, Placement::kCentredOnScreen);
    SetTimer(Handle(), kInitializeAppTimer, 1000, nullptr);
}

// The splash artwork, in the pixels of its 450 x 250 picture.
void frmSplash::OnPaintBackground(HDC dc) {
    FillEllipse(dc, 24, 22, 84, 82, RGB(20, 60, 130));
    FillEllipse(dc, 32, 30, 76, 74, RGB(110, 160, 215));
    DrawWords(dc, L"Mirrowin", RECT{96, 28, 440, 80}, 40, true, RGB(20, 50, 110));
    // The curved blue band.
    FillEllipse(dc, -120, 92, 570, 260, RGB(16, 58, 120));
    FillEllipse(dc, -120, 104, 570, 290, RGB(232, 232, 232));
    // The file-and-disc icon beside the product's name.
    FillEllipse(dc, 60, 150, 92, 182, RGB(192, 192, 192));
    RECT page{46, 162, 74, 198};
    FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &page, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawWords(dc, L"Trevalon", RECT{104, 152, 440, 200}, 34, true, RGB(30, 30, 40));
}

void frmSplash::OnTimer(UINT_PTR timer) {
    if (timer == kInitializeAppTimer) tmrInitializeApp_Timer();
}

void frmSplash::tmrInitializeApp_Timer() {
    bool started = false;
    TrapErrors(location::kInitializeAppTimer, [&] {
        // However long the check takes, the event never comes a second time.
        KillTimer(Handle(), kInitializeAppTimer);
        if (TREVALON_VERSION_CHECK != 0) {
            SetWindowTextW(Control("lblStatus"), L"Checking for newer version");
            RunPendingMessages();
        }
        started = true;
    });
    if (!started) return;

    if (TREVALON_VERSION_CHECK != 0) IgnoringErrors([&] { CheckForNewVersion(Inet1, SiteBaseUrl); });
    IgnoringErrors([] { ShowWindow(DriveSpeedWindow().Handle(), SW_SHOW); });
    IgnoringErrors([] {
        if (frmNewRelease* notice = NewReleaseWindow();
            notice != nullptr && IsWindowVisible(notice->Handle())) {
            SetWindowPos(notice->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetForegroundWindow(notice->Handle());
        }
    });
    IgnoringErrors([&] { KillTimer(Handle(), kInitializeAppTimer); });
    // Last: unloading ends this object.
    IgnoringErrors([&] { Destroy(); });
}

void frmSplash::OnDestroyed() {
    if (loadedSplash == this) loadedSplash = nullptr;
    delete this;
}

frmSplash* SplashWindow() { return loadedSplash; }

namespace basGeneral {

void Main() {
    TrapErrors(location::kMain, [] {
        if (loadedSplash == nullptr) loadedSplash = new frmSplash();
        ShowWindow(loadedSplash->Handle(), SW_SHOW);
        UpdateWindow(loadedSplash->Handle());
    });
}

}  // namespace basGeneral

}  // namespace trevalon::win32

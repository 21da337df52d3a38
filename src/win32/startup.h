// Start-up: basGeneral's Main shows the splash window, whose timer checks for
// a newer version, brings up the main window and unloads the splash.
#pragma once

#include <string>

#include "net/inet.h"
#include "win32/form_window.h"

namespace trevalon::win32 {

class frmSplash final : public FormWindow {
public:
    frmSplash();

    net::Inet Inet1;
    // The site the version check asks.
    std::string SiteBaseUrl;

    void tmrInitializeApp_Timer();

protected:
    void OnTimer(UINT_PTR timer) override;
    void OnPaintBackground(HDC dc) override;
    void OnClose() override {}
    void OnDestroyed() override;
};

// The splash window if it is loaded, else nullptr.
frmSplash* SplashWindow();

namespace basGeneral {

// The program's entry: shows the splash window and returns.
void Main();

}  // namespace basGeneral

}  // namespace trevalon::win32

// Start-up: basGeneral's Main shows the splash window, whose timer checks for
// a newer version, brings up the main window and unloads the splash.
#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <string>

#include "net/inet.h"

namespace trevalon::shell {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash();

    QLabel* lblStatus;
    QTimer* tmrInitializeApp;
    net::Inet Inet1;
    // The site the version check asks; set before the timer fires.
    std::string SiteBaseUrl;
    // Off when built with TREVALON_VERSION_CHECK=OFF: start-up then makes no
    // request and goes straight to the main window.
    bool VersionCheck;

public slots:
    void tmrInitializeApp_Timer();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage artwork_;
};

// The splash window if it is loaded, else nullptr.
frmSplash* SplashWindow();

namespace basGeneral {

// What the program tells Qt about itself before its first window. No
// application-wide icon: a window without one of its own would take it, and
// the about box must show none.
void SetUpApplication();
// The program's entry: shows the splash window and returns.
void Main();
// Destroys every window start-up made, at the program's end.
void UnloadAll();

}  // namespace basGeneral

}  // namespace trevalon::shell

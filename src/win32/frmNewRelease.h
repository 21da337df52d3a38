// The new-version check made once at start-up, and the notice window.
#pragma once

#include <string>

#include "net/inet.h"
#include "win32/form_window.h"

namespace trevalon::win32 {

class frmNewRelease final : public FormWindow {
public:
    frmNewRelease();
    void cmd1_Click();

protected:
    void OnCommand(int id, int code) override;
    void OnClose() override {}
    void OnDestroyed() override;
};

// The notice if it is loaded, else nullptr.
frmNewRelease* NewReleaseWindow();

// Asks the site for the latest version through `inet`; when it names another
// version, tells the user, fetches the news and shows it in frmNewRelease.
// Never fails: a failed step leaves its result empty.
void CheckForNewVersion(net::Inet& inet, const std::string& siteBaseUrl);

}  // namespace trevalon::win32

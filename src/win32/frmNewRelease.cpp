#include "win32/frmNewRelease.h"

#include "common/error_locations.h"
#include "common/site_paths.h"
#include "win32/error_trap.h"
#include "win32/form_tables.h"
#include "win32/wide_text.h"
#include "update/version_answer.h"

namespace trevalon::win32 {

namespace {

frmNewRelease* loadedNotice = nullptr;

// An edit control breaks lines at CR LF only.
std::wstring WithWindowsLineEnds(const std::string& text) {
    std::wstring out;
    wchar_t previous = 0;
    for (const wchar_t c : Wide(text)) {
        if (c == L'\n' && previous != L'\r') out += L'\r';
        out += c;
        previous = c;
    }
    return out;
}

}  // namespace

frmNewRelease::frmNewRelease() {
    Create(NewReleaseForm(), WS_POPUP | WS_BORDER, 0, Placement::kCentredOnScreen);
}

void frmNewRelease::OnCommand(int id, int code) {
    if (code == BN_CLICKED && id == ControlId("cmd1")) cmd1_Click();
}

void frmNewRelease::cmd1_Click() {
    TrapErrors(location::kNewReleaseCmd1Click, [this] { Destroy(); });
}

void frmNewRelease::OnDestroyed() {
    if (loadedNotice == this) loadedNotice = nullptr;
    delete this;
}

frmNewRelease* NewReleaseWindow() { return loadedNotice; }

void CheckForNewVersion(net::Inet& inet, const std::string& siteBaseUrl) {
    const std::string answer = net::FetchOrEmpty(inet, siteBaseUrl + site_paths::kVersionPage);
    if (!update::AnnouncesNewVersion(answer)) return;
    IgnoringErrors([&] {
        MessageBoxW(nullptr, Wide(update::NewVersionMessageText(siteBaseUrl)).c_str(),
                    Wide(update::kNewVersionTitle).c_str(), MB_OK | MB_ICONINFORMATION);
    });
    const std::string news = net::FetchOrEmpty(inet, siteBaseUrl + site_paths::kNewsPage);
    IgnoringErrors([&] {
        if (loadedNotice == nullptr) loadedNotice = new frmNewRelease();
        // Plain text only: whatever markup the page holds is shown, never rendered.
        SetWindowTextW(loadedNotice->Control("txtNewVersion"), WithWindowsLineEnds(news).c_str());
        ShowWindow(loadedNotice->Handle(), SW_SHOW);
    });
}

}  // namespace trevalon::win32

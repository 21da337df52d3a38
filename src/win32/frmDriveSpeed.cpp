#include "win32/frmDriveSpeed.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "common/error_locations.h"
#include "forms/windows.h"
#include "net/site_address.h"
#include "web/win32/show_web_page_win32.h"
#include "win32/drive_list.h"
#include "win32/error_trap.h"
#include "win32/form_tables.h"
#include "win32/frmAbout.h"
#include "win32/message_loop.h"
#include "win32/wide_text.h"

namespace trevalon::win32 {

namespace {

frmDriveSpeed* loadedWindow = nullptr;

// The test buttons ask for the window thread while a run goes on.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::string LocalTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

// The clipboard's text has Windows line ends.
void PutOnClipboard(HWND owner, const std::string& text) {
    std::wstring wide;
    for (const wchar_t c : Wide(text)) {
        if (c == L'\n') wide += L'\r';
        wide += c;
    }
    if (!OpenClipboard(owner)) throw RunTimeError(error_number::kInternal, "Clipboard is busy");
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    }
    CloseClipboard();
}

}  // namespace

template <std::size_t N>
void frmDriveSpeed::TakeArray(std::array<HWND, N>& controls, std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) controls[i] = Control(std::string(name), static_cast<int>(i));
}

template <std::size_t N>
std::unique_ptr<PanelView> frmDriveSpeed::TakePanel(const forms::PanelNames& names, HWND& status,
                                                    HWND& button, std::array<HWND, N>& results,
                                                    std::array<HWND, N>& tracks,
                                                    std::array<HWND, N>& bars,
                                                    std::vector<HWND> lists) {
    status = Control(std::string(names.status));
    button = Control(std::string(names.button));
    TakeArray(results, names.result);
    TakeArray(tracks, names.track);
    TakeArray(bars, names.bar);
    PanelControls controls{status, {results.begin(), results.end()}, {bars.begin(), bars.end()},
                           std::move(lists), button};
    return std::make_unique<PanelView>(std::move(controls), *this, Handle(), Dpi(), &HandOffError);
}

frmDriveSpeed::frmDriveSpeed(const FormDescription& form) {
    Create(form, kStyle, 0, Placement::kCentredOnScreen);
    fraStandardSingleDrive = Control("fraStandardSingleDrive");
    fraDriveSpeedComparison = Control("fraDriveSpeedComparison");
    fraMultiCopy = Control("fraMultiCopy");
    Drive1 = Control("Drive1");
    TakeArray(drvCompare, "drvCompare");
    TakeArray(drvCopy, "drvCopy");

    const DriveEntries drives = ListDrives();
    FillDriveList(Drive1, drives, false);
    for (HWND list : drvCompare) FillDriveList(list, drives, false);
    for (HWND list : drvCopy) FillDriveList(list, drives, false);

    const auto& panels = forms::Panels();
    singleView_ = TakePanel(panels[0], lblStatus, cmdCheckSpeed, lblStatusBar, pctStatusBar,
                            pctStatusBarDetail, {Drive1});
    comparisonView_ = TakePanel(panels[1], lblCompareStatus, cmdCompareDrives, lblCompareSeconds,
                                pctCompareStatusBar, pctCompareStatusBarDetail,
                                {drvCompare.begin(), drvCompare.end()});
    copyView_ = TakePanel(panels[2], lblCopyStatus, cmdCopyComparison, lblCopySeconds,
                          pctCopyStatusBar, pctCopyStatusBarDetail, {drvCopy.begin(), drvCopy.end()});
    Form_Load();
}

void frmDriveSpeed::OnCommand(int id, int code) {
    if (code == BN_CLICKED) {
        if (id == ControlId("cmdCheckSpeed")) cmdCheckSpeed_Click();
        if (id == ControlId("cmdCompareDrives")) cmdCompareDrives_Click();
        if (id == ControlId("cmdCopyComparison")) cmdCopyComparison_Click();
        return;
    }
    if (code == CBN_DROPDOWN) {
        // Drives come and go: the list is read afresh before it opens.
        const HWND list = GetDlgItem(fraStandardSingleDrive, id) ? GetDlgItem(fraStandardSingleDrive, id)
                          : GetDlgItem(fraDriveSpeedComparison, id)
                              ? GetDlgItem(fraDriveSpeedComparison, id)
                              : GetDlgItem(fraMultiCopy, id);
        if (list != nullptr) IgnoringErrors([&] { FillDriveList(list, ListDrives(), true); });
    }
}

void frmDriveSpeed::OnMenu(const std::string& name) {
    using Handler = void (frmDriveSpeed::*)();
    static const std::map<std::string, Handler> kHandlers = {
        {"mnuCopyResults", &frmDriveSpeed::mnuCopyResults_Click},
        {"mnuExit", &frmDriveSpeed::mnuExit_Click},
        {"mnuDriveSpeedComparison", &frmDriveSpeed::mnuDriveSpeedComparison_Click},
        {"mnuMultiDriveCopyCheck", &frmDriveSpeed::mnuMultiDriveCopyCheck_Click},
        {"mnuSingleDriveDetailedCheck", &frmDriveSpeed::mnuSingleDriveDetailedCheck_Click},
        {"mnuUncached", &frmDriveSpeed::mnuUncached_Click},
        {"mnuMirrowinOnline", &frmDriveSpeed::mnuMirrowinOnline_Click},
        {"mnuHelpDetail", &frmDriveSpeed::mnuHelpDetail_Click},
        {"mnuAbout", &frmDriveSpeed::mnuAbout_Click},
    };
    if (const auto found = kHandlers.find(name); found != kHandlers.end()) (this->*found->second)();
}

void frmDriveSpeed::ShowPanel(HWND shown, HWND firstHidden, HWND secondHidden) {
    ShowWindow(shown, SW_SHOW);
    SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(firstHidden, SW_HIDE);
    ShowWindow(secondHidden, SW_HIDE);
}

void frmDriveSpeed::Form_Load() {
    TrapErrors(location::kDriveSpeedFormLoad, [this] { mnuSingleDriveDetailedCheck_Click(); });
}

void frmDriveSpeed::mnuDriveSpeedComparison_Click() {
    TrapErrors(location::kDriveSpeedComparisonClick, [this] {
        ShowPanel(fraDriveSpeedComparison, fraMultiCopy, fraStandardSingleDrive);
    });
}

void frmDriveSpeed::mnuMultiDriveCopyCheck_Click() {
    TrapErrors(location::kMultiDriveCopyCheckClick, [this] {
        ShowPanel(fraMultiCopy, fraDriveSpeedComparison, fraStandardSingleDrive);
    });
}

void frmDriveSpeed::mnuSingleDriveDetailedCheck_Click() {
    TrapErrors(location::kSingleDriveDetailedCheckClick, [this] {
        ShowPanel(fraStandardSingleDrive, fraDriveSpeedComparison, fraMultiCopy);
    });
}

void frmDriveSpeed::mnuUncached_Click() {
    const int id = MenuId("mnuUncached");
    const bool on = mode_ != bench::MeasureMode::kUncached;
    mode_ = on ? bench::MeasureMode::kUncached : bench::MeasureMode::kCached;
    CheckMenuItem(MenuBar(), static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void frmDriveSpeed::mnuMirrowinOnline_Click() {
    TrapErrors(location::kMirrowinOnlineClick,
               [this] {
                   web::ShowWebPage("http://" + net::SiteHost(), Handle(),
                                    web::DefaultPlaceholderFolders(), &HandOffError);
               });
}

void frmDriveSpeed::mnuHelpDetail_Click() {
    TrapErrors(location::kHelpDetailClick, [] { frmAbout::ShowOrRaise(); });
}

void frmDriveSpeed::mnuAbout_Click() {
    TrapErrors(location::kAboutClick, [] { frmAbout::ShowOrRaise(); });
}

void frmDriveSpeed::cmdCheckSpeed_Click() {
    RunTest(*singleView_, location::kCheckSpeedClick, &bench::RunSingleDriveCheck);
}

void frmDriveSpeed::cmdCompareDrives_Click() {
    RunTest(*comparisonView_, location::kCompareDrivesClick, &bench::RunDriveComparison);
}

void frmDriveSpeed::cmdCopyComparison_Click() {
    RunTest(*copyView_, location::kCopyComparisonClick, &bench::RunCopyTest);
}

void frmDriveSpeed::Trap(std::int32_t location, const std::function<void()>& handler) noexcept {
    TrapErrors(location, handler);
}

std::exception_ptr frmDriveSpeed::RunRelayedTest(
    bench::ViewOperations& view, const std::function<void(bench::ViewOperations&)>& test) {
    WindowThreadView relay(view, Handle());
    return RunOffWindowThread([&] { test(relay); });
}

void frmDriveSpeed::Quit() { PostQuitMessage(0); }

void frmDriveSpeed::UpdateTestButtons() {
    singleView_->ApplyButtonState();
    comparisonView_->ApplyButtonState();
    copyView_->ApplyButtonState();
}

void frmDriveSpeed::mnuCopyResults_Click() {
    TrapErrors(location::kCopyResultsClick, [this] {
        PanelView& front = IsWindowVisible(fraDriveSpeedComparison) ? *comparisonView_
                           : IsWindowVisible(fraMultiCopy)          ? *copyView_
                                                                    : *singleView_;
        PutOnClipboard(Handle(), CopiedResults(front, LocalTimeText()));
    });
}

void frmDriveSpeed::mnuExit_Click() {
    TrapErrors(location::kExitClick, [this] { EndProgram(); });
}

void frmDriveSpeed::OnClose() {
    if (closing_) return;
    TrapErrors(location::kDriveSpeedFormUnload, [this] { EndProgram(); });
}

namespace {

BOOL CALLBACK HideWindow(HWND window, LPARAM) {
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

}  // namespace

void frmDriveSpeed::EndProgram() {
    BeginClosing();
    // Every window of the program goes with the main window at once; the
    // process follows as soon as a running test has removed its files.
    EnumThreadWindows(GetCurrentThreadId(), &HideWindow, 0);
    if (!testRunning_) PostQuitMessage(0);
}

frmDriveSpeed& DriveSpeedWindow() {
    if (loadedWindow == nullptr) loadedWindow = new frmDriveSpeed(DriveSpeedForm());
    return *loadedWindow;
}

frmDriveSpeed* LoadedDriveSpeedWindow() { return loadedWindow; }

}  // namespace trevalon::win32

// frmDriveSpeed: the main window, its three test panels and its menus.
#pragma once

#include <array>
#include <memory>

#include "forms/panel_run.h"
#include "forms/windows.h"
#include "win32/form_window.h"
#include "win32/panel_view.h"

namespace trevalon::win32 {

class frmDriveSpeed final : public FormWindow, public forms::TestRuns {
public:
    // Loading the window runs Form_Load.
    explicit frmDriveSpeed(const FormDescription& form);

    PanelView& SingleDriveView() { return *singleView_; }

    HWND fraStandardSingleDrive;
    HWND fraDriveSpeedComparison;
    HWND fraMultiCopy;

    HWND Drive1;
    HWND cmdCheckSpeed;
    HWND lblStatus;
    std::array<HWND, 9> lblStatusBar{};
    std::array<HWND, 9> pctStatusBar{};
    std::array<HWND, 9> pctStatusBarDetail{};

    HWND lblCompareStatus;
    HWND cmdCompareDrives;
    std::array<HWND, 4> drvCompare{};
    std::array<HWND, 8> lblCompareSeconds{};
    std::array<HWND, 8> pctCompareStatusBar{};
    std::array<HWND, 8> pctCompareStatusBarDetail{};

    HWND lblCopyStatus;
    HWND cmdCopyComparison;
    std::array<HWND, 4> drvCopy{};
    std::array<HWND, 3> lblCopySeconds{};
    std::array<HWND, 3> pctCopyStatusBar{};
    std::array<HWND, 3> pctCopyStatusBarDetail{};

    void Form_Load();
    void mnuCopyResults_Click();
    void mnuExit_Click();
    void mnuDriveSpeedComparison_Click();
    void mnuMultiDriveCopyCheck_Click();
    void mnuSingleDriveDetailedCheck_Click();
    void mnuUncached_Click();
    void mnuMirrowinOnline_Click();
    void mnuHelpDetail_Click();
    void mnuAbout_Click();
    void cmdCheckSpeed_Click();
    void cmdCompareDrives_Click();
    void cmdCopyComparison_Click();

    // Ends the program as Exit does; a running test is abandoned within its step.
    void EndProgram();

protected:
    void OnCommand(int id, int code) override;
    void OnMenu(const std::string& name) override;
    // Form_Unload.
    void OnClose() override;

private:
    template <std::size_t N>
    void TakeArray(std::array<HWND, N>& controls, std::string_view name);
    // A panel's controls by the names forms::Panels() gives them, and its view.
    template <std::size_t N>
    std::unique_ptr<PanelView> TakePanel(const forms::PanelNames& names, HWND& status, HWND& button,
                                         std::array<HWND, N>& results, std::array<HWND, N>& tracks,
                                         std::array<HWND, N>& bars, std::vector<HWND> lists);
    void ShowPanel(HWND shown, HWND firstHidden, HWND secondHidden);
    void UpdateTestButtons() override;
    void Trap(std::int32_t location, const std::function<void()>& handler) noexcept override;
    std::exception_ptr RunRelayedTest(
        bench::ViewOperations& view, const std::function<void(bench::ViewOperations&)>& test) override;
    void Quit() override;

    std::unique_ptr<PanelView> singleView_;
    std::unique_ptr<PanelView> comparisonView_;
    std::unique_ptr<PanelView> copyView_;
};

// The one main window, created (and so loaded) on first use.
frmDriveSpeed& DriveSpeedWindow();
frmDriveSpeed* LoadedDriveSpeedWindow();

}  // namespace trevalon::win32

// frmDriveSpeed: the main window, its three test panels and its menus.
#pragma once

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <array>
#include <atomic>
#include <memory>

#include "forms/form.h"
#include "forms/panel_run.h"
#include "shell/drive_list.h"
#include "shell/panel_view.h"

namespace trevalon::shell {

class frmDriveSpeed : public QMainWindow, public forms::TestRuns {
    Q_OBJECT
public:
    // Loading the window runs Form_Load; drive lists start on `drives`.
    explicit frmDriveSpeed(const DriveEntries& drives = ListDrives());
    ~frmDriveSpeed() override;

    // Ends the program as Exit does; a running test is abandoned within its
    // step. For stop signals and the desktop session's end.
    void EndForStopRequest() { EndProgram(); }
    // The clock the next runs time their steps with; a test's own can run
    // the 3-second write window faster.
    void MeasureWith(bench::Clock& clock) { clock_ = &clock; }

    PanelView& SingleDriveView() { return *singleView_; }
    PanelView& ComparisonView() { return *comparisonView_; }
    PanelView& CopyView() { return *copyView_; }

    // The panels, stacked on one another.
    QGroupBox* fraStandardSingleDrive;
    QGroupBox* fraDriveSpeedComparison;
    QGroupBox* fraMultiCopy;

    // Single-drive panel.
    DriveList* Drive1;
    QPushButton* cmdCheckSpeed;
    QLabel* lblStatus;
    std::array<QLabel*, 9> lblStatusBar{};
    std::array<QFrame*, 9> pctStatusBar{};
    std::array<QFrame*, 9> pctStatusBarDetail{};

    // Comparison panel.
    QLabel* lblCompareStatus;
    QPushButton* cmdCompareDrives;
    std::array<DriveList*, 4> drvCompare{};
    std::array<QLabel*, 8> lblCompareSeconds{};
    std::array<QFrame*, 8> pctCompareStatusBar{};
    std::array<QFrame*, 8> pctCompareStatusBarDetail{};

    // Copy panel.
    QLabel* lblCopyStatus;
    QPushButton* cmdCopyComparison;
    std::array<DriveList*, 4> drvCopy{};
    std::array<QLabel*, 3> lblCopySeconds{};
    std::array<QFrame*, 3> pctCopyStatusBar{};
    std::array<QFrame*, 3> pctCopyStatusBarDetail{};

    // Menus.
    QMenu* mnuFile;
    QAction* mnuCopyResults;
    QAction* mnuExit;
    QMenu* mnuCheckDrives;
    QAction* mnuDriveSpeedComparison;
    QAction* mnuMultiDriveCopyCheck;
    QAction* mnuSingleDriveDetailedCheck;
    QAction* mnuUncached;
    QMenu* mnuHelp;
    QAction* mnuMirrowinOnline;
    QAction* mnuHelpDetail;
    QAction* mnuAbout;

public slots:
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

protected:
    // Form_Unload.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildSingleDrivePanel(const DriveEntries& drives);
    void BuildComparisonPanel(const DriveEntries& drives);
    void BuildCopyPanel(const DriveEntries& drives);
    void ShowPanel(forms::Command command);
    void UpdateTestButtons() override;
    void Trap(std::int32_t location, const std::function<void()>& handler) noexcept override;
    std::exception_ptr RunRelayedTest(
        bench::ViewOperations& view, const std::function<void(bench::ViewOperations&)>& test) override;
    void Quit() override;
    // Closes every window of the program and ends it; a running test stops
    // at its next yield and cleans up before the process goes.
    void EndProgram();
    std::unique_ptr<PanelView> singleView_;
    std::unique_ptr<PanelView> comparisonView_;
    std::unique_ptr<PanelView> copyView_;
};

// The one main window, created (and so loaded) on first use.
frmDriveSpeed& DriveSpeedWindow();
// The main window if it is loaded, else nullptr.
frmDriveSpeed* LoadedDriveSpeedWindow();
// Destroys the main window if it is loaded.
void UnloadDriveSpeedWindow();

}  // namespace trevalon::shell

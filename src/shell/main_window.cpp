#include "shell/main_window.h"

#include "common/version.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>

#include "bench/drive_tests.h"
#include "errors/error_locations.h"
#include "net/site_address.h"
#include "look/artwork.h"
#include "look/classic_font.h"
#include "look/twips.h"
#include "shell/error_trap.h"
#include "shell/frmAbout.h"
#include "shell/panel_parts.h"
#include "shell/run_thread.h"
#include "web/show_web_page.h"

namespace trevalon::shell {

namespace location = errors::location;

namespace {

frmDriveSpeed* loadedWindow = nullptr;

}  // namespace

frmDriveSpeed::frmDriveSpeed(const DriveEntries& drives)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmDriveSpeed"));
    setWindowTitle(QStringLiteral("Drive Speed Test"));
    setWindowIcon(look::ProgramIcon());
    setFont(look::ClassicUiFont(8.25));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(look::Px(7965), look::Px(5280));
    setCentralWidget(client);

    fraStandardSingleDrive = AddPanel(client, "fraStandardSingleDrive", "Detailed Single Drive Check");
    fraDriveSpeedComparison =
        AddPanel(client, "fraDriveSpeedComparison", "Compare Multiple Drive Speeds");
    fraMultiCopy = AddPanel(client, "fraMultiCopy", "Multi-Drive Copy Test");

    BuildSingleDrivePanel(drives);
    BuildComparisonPanel(drives);
    BuildCopyPanel(drives);
    BuildMenus();

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    Form_Load();
}

frmDriveSpeed::~frmDriveSpeed() {
    if (loadedWindow == this) loadedWindow = nullptr;
}

// The menus and their commands in menu-bar order; a command is one row.
void frmDriveSpeed::BuildMenus() {
    struct Menu {
        QMenu* frmDriveSpeed::*member;
        const char* name;
        const char* caption;
    };
    struct Command {
        QMenu* frmDriveSpeed::*menu;
        QAction* frmDriveSpeed::*member;
        const char* name;
        const char* caption;
        const char* shortcut;
        void (frmDriveSpeed::*handler)();
        bool separatorAfter = false;
    };
    static const Menu kMenus[] = {
        {&frmDriveSpeed::mnuFile, "mnuFile", "&File"},
        {&frmDriveSpeed::mnuCheckDrives, "mnuCheckDrives", "&Check Drives"},
        {&frmDriveSpeed::mnuHelp, "mnuHelp", "&Help"},
    };
    using W = frmDriveSpeed;
    // clang-format off
    static const Command kCommands[] = {
        {&W::mnuFile, &W::mnuCopyResults, "mnuCopyResults", "&Copy Results", "Ctrl+C", &W::mnuCopyResults_Click, true},
        {&W::mnuFile, &W::mnuExit, "mnuExit", "Exit", "Ctrl+E", &W::mnuExit_Click},
        {&W::mnuCheckDrives, &W::mnuDriveSpeedComparison, "mnuDriveSpeedComparison", "&Drive Speed Comparison", "Ctrl+D", &W::mnuDriveSpeedComparison_Click},
        {&W::mnuCheckDrives, &W::mnuMultiDriveCopyCheck, "mnuMultiDriveCopyCheck", "&Multi-Drive Copy Check", "Ctrl+M", &W::mnuMultiDriveCopyCheck_Click},
        {&W::mnuCheckDrives, &W::mnuSingleDriveDetailedCheck, "mnuSingleDriveDetailedCheck", "&Single Drive Detailed Check", "Ctrl+S", &W::mnuSingleDriveDetailedCheck_Click, true},
        {&W::mnuCheckDrives, &W::mnuUncached, "mnuUncached", "&Uncached Measurements", "Ctrl+U", &W::mnuUncached_Click},
        {&W::mnuHelp, &W::mnuMirrowinOnline, "mnuMirrowinOnline", "Mirrowin Online", "Ctrl+O", &W::mnuMirrowinOnline_Click},
        {&W::mnuHelp, &W::mnuHelpDetail, "mnuHelpDetail", "Hel&p", "F1", &W::mnuHelpDetail_Click},
        {&W::mnuHelp, &W::mnuAbout, "mnuAbout", "&About", "Ctrl+A", &W::mnuAbout_Click},
    };
    // clang-format on

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    for (const Menu& menu : kMenus) {
        this->*menu.member = bar->addMenu(QString::fromLatin1(menu.caption));
        (this->*menu.member)->setObjectName(QString::fromLatin1(menu.name));
    }
    for (const Command& row : kCommands) {
        QMenu* menu = this->*row.menu;
        QAction* command = menu->addAction(QString::fromLatin1(row.caption));
        command->setObjectName(QString::fromLatin1(row.name));
        command->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        connect(command, &QAction::triggered, this, row.handler);
        this->*row.member = command;
        if (row.separatorAfter) menu->addSeparator();
    }
    mnuUncached->setCheckable(true);  // off at every start; never remembered
}

void frmDriveSpeed::ShowPanel(QWidget* shown, QWidget* firstHidden, QWidget* secondHidden) {
    shown->setVisible(true);
    shown->raise();
    firstHidden->hide();
    secondHidden->hide();
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
    mode_ = mnuUncached->isChecked() ? bench::MeasureMode::kUncached : bench::MeasureMode::kCached;
}

void frmDriveSpeed::mnuMirrowinOnline_Click() {
    TrapErrors(location::kMirrowinOnlineClick,
               [] { web::ShowWebPage("http://" + net::SiteHost()); });
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

// Two runs on the same scratch files would spoil both, so while one test runs
// every test button is disabled and a click that still arrives is refused.
void frmDriveSpeed::RunTest(PanelView& view, std::int32_t location, DriveTest test) {
    if (testRunning_ || closing_) return;
    testRunning_ = true;
    UpdateTestButtons();
    TrapErrors(location, [&] {
        WindowThreadView relay(view, *this);
        const bench::TestEnvironment environment{*clock_, bench::HostFileLayer(),
                                                 &stop_, mode_};
        view.RunBegins(mode_);
        if (const std::exception_ptr error =
                RunOffWindowThread(*this, [&] { test(relay, environment); })) {
            std::rethrow_exception(error);
        }
    });
    testRunning_ = false;
    if (closing_) {
        // The run has cleaned up after it saw the program closing.
        QCoreApplication::quit();
        return;
    }
    UpdateTestButtons();
}

void frmDriveSpeed::UpdateTestButtons() {
    singleView_->ApplyButtonState();
    comparisonView_->ApplyButtonState();
    copyView_->ApplyButtonState();
}

void frmDriveSpeed::mnuCopyResults_Click() {
    TrapErrors(location::kCopyResultsClick, [this] {
        PanelView& front = !fraDriveSpeedComparison->isHidden() ? *comparisonView_
                           : !fraMultiCopy->isHidden()          ? *copyView_
                                                                : *singleView_;
        bench::ResultsReport report = front.Report();
        report.version = kVersionText;
        report.localTime = QDateTime::currentDateTime()
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                               .toStdString();
        // A panel without a run yet: the mode its first run would have.
        if (report.mode.empty()) report.mode = ModeName(mode_);
        QGuiApplication::clipboard()->setText(QString::fromStdString(bench::ResultsText(report)));
    });
}

void frmDriveSpeed::mnuExit_Click() {
    TrapErrors(location::kExitClick, [this] { EndProgram(); });
}

void frmDriveSpeed::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closing_) return;
    TrapErrors(location::kDriveSpeedFormUnload, [this] { EndProgram(); });
}

void frmDriveSpeed::EndProgram() {
    closing_ = true;
    stop_ = true;
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this) windows.append(window);
    }
    for (const QPointer<QWidget>& window : windows) {
        if (window && window->isVisible()) window->close();
        if (window) window->hide();
    }
    hide();
    QCoreApplication::quit();
}

frmDriveSpeed& DriveSpeedWindow() {
    if (loadedWindow == nullptr) loadedWindow = new frmDriveSpeed();
    return *loadedWindow;
}

frmDriveSpeed* LoadedDriveSpeedWindow() { return loadedWindow; }

void UnloadDriveSpeedWindow() { delete loadedWindow; }

}  // namespace trevalon::shell

#include "shell/main_window.h"

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
#include "look/form_widgets.h"
#include "forms/run_loop.h"
#include "forms/windows.h"
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
    const forms::Form& form = forms::DriveSpeedForm();
    setObjectName(look::Text(form.name));
    setWindowTitle(look::Text(form.caption));
    setWindowIcon(look::ProgramIcon());
    setFont(look::FontOf(form.font));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(look::ClientSize(form));
    setCentralWidget(client);

    fraStandardSingleDrive = AddPanel(client, form.Get(forms::kSingleDrivePanel));
    fraDriveSpeedComparison = AddPanel(client, form.Get(forms::kComparisonPanel));
    fraMultiCopy = AddPanel(client, form.Get(forms::kCopyPanel));

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

// The menus and commands of the form table, each command on its handler.
void frmDriveSpeed::BuildMenus() {
    using W = frmDriveSpeed;
    struct Menu {
        std::string_view name;
        QMenu* W::*member;
    };
    struct Handler {
        forms::Command command;
        QAction* W::*member;
        void (W::*handler)();
    };
    static const Menu kMenus[] = {
        {"mnuFile", &W::mnuFile}, {"mnuCheckDrives", &W::mnuCheckDrives}, {"mnuHelp", &W::mnuHelp}};
    using C = forms::Command;
    static const Handler kHandlers[] = {
        {C::CopyResults, &W::mnuCopyResults, &W::mnuCopyResults_Click},
        {C::Exit, &W::mnuExit, &W::mnuExit_Click},
        {C::DriveSpeedComparison, &W::mnuDriveSpeedComparison, &W::mnuDriveSpeedComparison_Click},
        {C::MultiDriveCopyCheck, &W::mnuMultiDriveCopyCheck, &W::mnuMultiDriveCopyCheck_Click},
        {C::SingleDriveDetailedCheck, &W::mnuSingleDriveDetailedCheck,
         &W::mnuSingleDriveDetailedCheck_Click},
        {C::Uncached, &W::mnuUncached, &W::mnuUncached_Click},
        {C::MirrowinOnline, &W::mnuMirrowinOnline, &W::mnuMirrowinOnline_Click},
        {C::HelpDetail, &W::mnuHelpDetail, &W::mnuHelpDetail_Click},
        {C::About, &W::mnuAbout, &W::mnuAbout_Click},
    };

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    for (const forms::Menu& menuRow : forms::DriveSpeedForm().menus) {
        QMenu* menu = bar->addMenu(look::Text(menuRow.caption));
        menu->setObjectName(look::Text(menuRow.name));
        for (const Menu& known : kMenus) {
            if (known.name == menuRow.name) this->*known.member = menu;
        }
        for (const forms::MenuCommand& row : menuRow.commands) {
            QAction* command = menu->addAction(look::Text(row.caption));
            command->setObjectName(look::Text(row.name));
            command->setShortcut(QKeySequence(QString::fromStdString(forms::ShortcutText(row.shortcut))));
            command->setCheckable(row.checkable);
            for (const Handler& known : kHandlers) {
                if (known.command != row.command) continue;
                connect(command, &QAction::triggered, this, known.handler);
                this->*known.member = command;
            }
            if (row.separatorAfter) menu->addSeparator();
        }
    }
}

void frmDriveSpeed::ShowPanel(forms::Command command) {
    const std::optional<forms::PanelOrder> order = forms::PanelShownBy(command);
    if (!order) return;
    auto panel = [this](std::string_view name) {
        return findChild<QGroupBox*>(look::Text(name));
    };
    QGroupBox* shown = panel(order->shown);
    shown->setVisible(true);
    shown->raise();
    for (std::string_view hidden : order->hidden) panel(hidden)->hide();
}

void frmDriveSpeed::Form_Load() {
    static_assert(forms::kLoadCommand == forms::Command::SingleDriveDetailedCheck);
    TrapErrors(location::kDriveSpeedFormLoad, [this] { mnuSingleDriveDetailedCheck_Click(); });
}

void frmDriveSpeed::mnuDriveSpeedComparison_Click() {
    TrapErrors(location::kDriveSpeedComparisonClick, [this] {
        ShowPanel(forms::Command::DriveSpeedComparison);
    });
}

void frmDriveSpeed::mnuMultiDriveCopyCheck_Click() {
    TrapErrors(location::kMultiDriveCopyCheckClick, [this] {
        ShowPanel(forms::Command::MultiDriveCopyCheck);
    });
}

void frmDriveSpeed::mnuSingleDriveDetailedCheck_Click() {
    TrapErrors(location::kSingleDriveDetailedCheckClick, [this] {
        ShowPanel(forms::Command::SingleDriveDetailedCheck);
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

void frmDriveSpeed::Trap(std::int32_t location, const std::function<void()>& handler) noexcept {
    TrapErrors(location, handler);
}

std::exception_ptr frmDriveSpeed::RunRelayedTest(
    bench::ViewOperations& view, const std::function<void(bench::ViewOperations&)>& test) {
    WindowThreadView relay(view, *this);
    return RunOffWindowThread(*this, [&] { test(relay); });
}

void frmDriveSpeed::Quit() { QCoreApplication::quit(); }

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
        const std::string localTime = QDateTime::currentDateTime()
                                          .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                          .toStdString();
        QGuiApplication::clipboard()->setText(QString::fromStdString(CopiedResults(front, localTime)));
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
    BeginClosing();
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

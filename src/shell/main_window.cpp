#include "shell/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include "bench/drive_tests.h"
#include "errors/error_locations.h"
#include "net/site_address.h"
#include "shell/artwork.h"
#include "shell/error_trap.h"
#include "shell/run_thread.h"
#include "errors/classic_ui.h"
#include "shell/frmAbout.h"
#include "shell/test_button.h"
#include "shell/twips.h"
#include "web/show_web_page.h"

namespace trevalon::shell {

namespace location = errors::location;

namespace {

frmDriveSpeed* loadedWindow = nullptr;

const QColor kBarBlue(90, 136, 169);

QString Indexed(const char* name, std::size_t index) {
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

QLabel* AddLabel(QWidget* panel, const QString& name, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, panel);
    label->setObjectName(name);
    label->setFont(font);
    // Texts come from drive entries and tests as well: never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Caption and legend labels take the width of their text and one line's height.
QLabel* AddCaption(QWidget* panel, const QString& name, const QString& text, int left, int top) {
    QLabel* label = AddLabel(panel, name, text, trevalon::errors::ClassicUiFont(8.25, true));
    label->adjustSize();
    label->setGeometry(Px(left), Px(top), label->width(), Px(195));
    return label;
}

QLabel* AddFixedLabel(QWidget* panel, const QString& name, const QString& text, const QFont& font,
                      QRect place, Qt::Alignment alignment) {
    QLabel* label = AddLabel(panel, name, text, font);
    label->setGeometry(place);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

void AddRuleLine(QWidget* panel, const QString& name, int top) {
    auto* line = new QFrame(panel);
    line->setObjectName(name);
    line->setGeometry(Px(60), Px(top), Px(7860) - Px(60), 1);
    line->setAutoFillBackground(true);
    QPalette colours = line->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Dark));
    line->setPalette(colours);
}

QPushButton* AddTestButton(QWidget* panel, const char* name, const char* caption) {
    auto* button = new TestButton(QString::fromLatin1(caption), panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(TwipsRect(5970, 210, 1845, 315));
    return button;
}

DriveList* AddDriveList(QWidget* panel, const QString& name, const DriveEntries& drives,
                        QRect place) {
    auto* list = new DriveList(panel);
    list->setObjectName(name);
    list->SetEntries(drives);
    list->setGeometry(place);
    return list;
}

// A track with a one-pixel border, and inside it a bar that only widens.
// The inside clips, so a bar taller or wider than it is cut off at its edge.
struct Slot {
    QFrame* track;
    QFrame* bar;
};

Slot AddTrackAndBar(QWidget* panel, const QString& trackName, const QString& barName, int left,
                    int top, int barHeightTwips) {
    auto* track = new QFrame(panel);
    track->setObjectName(trackName);
    track->setGeometry(TwipsRect(left, top, 3735, 285));
    track->setFrameStyle(QFrame::Box | QFrame::Plain);
    track->setLineWidth(1);
    track->setAutoFillBackground(true);
    QPalette trackColours = track->palette();
    trackColours.setColor(QPalette::Window, trackColours.color(QPalette::Base));
    trackColours.setColor(QPalette::WindowText, trackColours.color(QPalette::Dark));
    track->setPalette(trackColours);

    auto* inside = new QWidget(track);
    inside->setObjectName(trackName + QStringLiteral("_inside"));
    inside->setGeometry(1, 1, Px(3705), Px(255));

    auto* bar = new QFrame(inside);
    bar->setObjectName(barName);
    bar->setGeometry(0, 0, Px(15), Px(barHeightTwips));
    bar->setAutoFillBackground(true);
    QPalette barColours = bar->palette();
    barColours.setColor(QPalette::Window, kBarBlue);
    bar->setPalette(barColours);
    return {track, bar};
}

struct SlotPlace {
    const char* caption;
    int captionLeft;
    int captionTop;
    const char* leftLegend;
    int leftLegendLeft;
    const char* rightLegend;
    int rightLegendLeft;
    int legendTop;
    int resultLeft;
    int resultWidth;
    int trackLeft;
    int trackTop;
};

// A frame with its caption set into the top edge, a little in from the left.
class PanelFrame : public QGroupBox {
public:
    PanelFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int middle = metrics.height() / 2;
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(QRect(0, middle, width() - 1, height() - middle - 1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(1, middle + 1, width() - 3, middle + 1);
        const QRect text(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(text, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::AlignCenter, title());
    }
};

QGroupBox* AddPanel(QWidget* client, const char* name, const char* caption) {
    auto* panel = new PanelFrame(QString::fromLatin1(caption), client);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(TwipsRect(30, 30, 7905, 5205));
    return panel;
}

}  // namespace

frmDriveSpeed::frmDriveSpeed(const DriveEntries& drives)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmDriveSpeed"));
    setWindowTitle(QStringLiteral("Drive Speed Test"));
    setWindowIcon(ProgramIcon());
    setFont(trevalon::errors::ClassicUiFont(8.25));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(Px(7965), Px(5280));
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

void frmDriveSpeed::BuildMenus() {
    auto addCommand = [this](QMenu* menu, const char* name, const char* caption,
                             const QKeySequence& shortcut, void (frmDriveSpeed::*handler)()) {
        QAction* command = menu->addAction(QString::fromLatin1(caption));
        command->setObjectName(QString::fromLatin1(name));
        command->setShortcut(shortcut);
        connect(command, &QAction::triggered, this, handler);
        return command;
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuCopyResults = addCommand(mnuFile, "mnuCopyResults", "&Copy Results",
                                QKeySequence(QStringLiteral("Ctrl+C")),
                                &frmDriveSpeed::mnuCopyResults_Click);
    mnuFile->addSeparator();
    mnuExit = addCommand(mnuFile, "mnuExit", "Exit", QKeySequence(QStringLiteral("Ctrl+E")),
                         &frmDriveSpeed::mnuExit_Click);

    mnuCheckDrives = bar->addMenu(QStringLiteral("&Check Drives"));
    mnuCheckDrives->setObjectName(QStringLiteral("mnuCheckDrives"));
    mnuDriveSpeedComparison =
        addCommand(mnuCheckDrives, "mnuDriveSpeedComparison", "&Drive Speed Comparison",
                   QKeySequence(QStringLiteral("Ctrl+D")),
                   &frmDriveSpeed::mnuDriveSpeedComparison_Click);
    mnuMultiDriveCopyCheck =
        addCommand(mnuCheckDrives, "mnuMultiDriveCopyCheck", "&Multi-Drive Copy Check",
                   QKeySequence(QStringLiteral("Ctrl+M")),
                   &frmDriveSpeed::mnuMultiDriveCopyCheck_Click);
    mnuSingleDriveDetailedCheck =
        addCommand(mnuCheckDrives, "mnuSingleDriveDetailedCheck", "&Single Drive Detailed Check",
                   QKeySequence(QStringLiteral("Ctrl+S")),
                   &frmDriveSpeed::mnuSingleDriveDetailedCheck_Click);
    mnuCheckDrives->addSeparator();
    mnuUncached = addCommand(mnuCheckDrives, "mnuUncached", "&Uncached Measurements",
                             QKeySequence(QStringLiteral("Ctrl+U")),
                             &frmDriveSpeed::mnuUncached_Click);
    mnuUncached->setCheckable(true);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuMirrowinOnline = addCommand(mnuHelp, "mnuMirrowinOnline", "Mirrowin Online",
                                   QKeySequence(QStringLiteral("Ctrl+O")),
                                   &frmDriveSpeed::mnuMirrowinOnline_Click);
    mnuHelpDetail = addCommand(mnuHelp, "mnuHelpDetail", "Hel&p", QKeySequence(Qt::Key_F1),
                               &frmDriveSpeed::mnuHelpDetail_Click);
    mnuAbout = addCommand(mnuHelp, "mnuAbout", "&About", QKeySequence(QStringLiteral("Ctrl+A")),
                          &frmDriveSpeed::mnuAbout_Click);
}

void frmDriveSpeed::BuildSingleDrivePanel(const DriveEntries& drives) {
    QWidget* panel = fraStandardSingleDrive;
    AddCaption(panel, QStringLiteral("lblSelectDrive"), QStringLiteral("Select Drive To Speed Check"),
               120, 270);
    Drive1 = AddDriveList(panel, QStringLiteral("Drive1"), drives, TwipsRect(2760, 210, 3135, 315));
    cmdCheckSpeed = AddTestButton(panel, "cmdCheckSpeed", "Check My Drive Speed");
    connect(cmdCheckSpeed, &QPushButton::clicked, this, &frmDriveSpeed::cmdCheckSpeed_Click);
    AddRuleLine(panel, QStringLiteral("linSingleTop"), 570);
    lblStatus = AddFixedLabel(panel, QStringLiteral("lblStatus"),
                              QStringLiteral("Please Choose A Drive To Test"),
                              trevalon::errors::ClassicUiFont(9.75, true), TwipsRect(90, 630, 7725, 255),
                              Qt::AlignHCenter);
    AddRuleLine(panel, QStringLiteral("linSingleBottom"), 930);

    static constexpr std::array<SlotPlace, 9> kPlaces{{
        {"Small File Write Speed (1 MB):", 120, 1020, "<-- Fast", 120, "Slow -->", 3120, 1260, 795, 2220, 90, 1470},
        {"Small File Read Speed (1 MB):", 4110, 1020, "<-- Fast", 4110, "Slow -->", 7080, 1260, 4800, 2190, 4080, 1470},
        {"Large File Write Speed (10 MB):", 120, 1830, "<-- Fast", 120, "Slow -->", 3090, 2070, 810, 2190, 90, 2280},
        {"Large File Read Speed (10 MB):", 4110, 1830, "<-- Fast", 4110, "Slow -->", 7080, 2070, 4800, 2190, 4080, 2280},
        {"Drive Overall Write Speed (KB/second):", 120, 2640, "<-- Slow", 120, "Fast -->", 3150, 2880, 870, 2190, 90, 3090},
        {"Drive Overall Read Speed (KB/second):", 4110, 2640, "<-- Slow", 4110, "Fast -->", 7140, 2880, 4860, 2190, 4080, 3090},
        {"File Copy Speed (10 MB):", 120, 3450, "<-- Fast", 120, "Slow -->", 3090, 3690, 810, 2190, 90, 3900},
        {"Directory Lookup Speed (10000 Files):", 4110, 3450, "<-- Fast", 4110, "Slow -->", 7080, 3690, 4800, 2190, 4080, 3900},
        {"File Delete Speed (20 MB):", 120, 4260, "<-- Fast", 120, "Slow -->", 3090, 4500, 810, 2190, 90, 4710},
    }};
    const QFont resultFont = trevalon::errors::ClassicUiFont(8.25, true);
    for (std::size_t i = 0; i < kPlaces.size(); ++i) {
        const SlotPlace& place = kPlaces[i];
        AddCaption(panel, Indexed("lblSingleCaption", i), QString::fromLatin1(place.caption),
                   place.captionLeft, place.captionTop);
        AddCaption(panel, Indexed("lblSingleLeftLegend", i), QString::fromLatin1(place.leftLegend),
                   place.leftLegendLeft, place.legendTop);
        AddCaption(panel, Indexed("lblSingleRightLegend", i),
                   QString::fromLatin1(place.rightLegend), place.rightLegendLeft, place.legendTop);
        lblStatusBar[i] = AddFixedLabel(panel, Indexed("lblStatusBar", i), QString(), resultFont,
                                        TwipsRect(place.resultLeft, place.legendTop,
                                                  place.resultWidth, 195),
                                        Qt::AlignHCenter);
        const Slot slot = AddTrackAndBar(panel, Indexed("pctStatusBar", i),
                                         Indexed("pctStatusBarDetail", i), place.trackLeft,
                                         place.trackTop, 255);
        pctStatusBar[i] = slot.track;
        pctStatusBarDetail[i] = slot.bar;
    }

    AddCaption(panel, QStringLiteral("lblProvidedBy"), QStringLiteral("Provided By:"), 4110, 4260);
    AddFixedLabel(panel, QStringLiteral("lblMaker"), QStringLiteral("Mirrowin"),
                  trevalon::errors::ClassicUiFont(13.5, true), TwipsRect(4335, 4500, 3405, 360), Qt::AlignHCenter);
    AddFixedLabel(panel, QStringLiteral("lblWebAddress"), QString::fromStdString(net::SiteHost()),
                  trevalon::errors::ClassicUiFont(8.25, true), TwipsRect(4380, 4860, 3390, 195), Qt::AlignHCenter);

    std::vector<QLabel*> results(lblStatusBar.begin(), lblStatusBar.end());
    std::vector<QWidget*> bars(pctStatusBarDetail.begin(), pctStatusBarDetail.end());
    singleView_ = std::make_unique<PanelView>(
        PanelControls{lblStatus, std::move(results), std::move(bars), {Drive1}, cmdCheckSpeed},
        *this, this);
}

void frmDriveSpeed::BuildComparisonPanel(const DriveEntries& drives) {
    QWidget* panel = fraDriveSpeedComparison;
    lblCompareStatus = AddFixedLabel(panel, QStringLiteral("lblCompareStatus"),
                                     QStringLiteral("Please Choose The Drives To Compare"),
                                     trevalon::errors::ClassicUiFont(9.75, true), TwipsRect(90, 270, 4695, 255),
                                     Qt::AlignLeft);
    cmdCompareDrives = AddTestButton(panel, "cmdCompareDrives", "Begin Drive Comparison");
    connect(cmdCompareDrives, &QPushButton::clicked, this, &frmDriveSpeed::cmdCompareDrives_Click);
    AddRuleLine(panel, QStringLiteral("linCompareTop"), 630);

    const QFont resultFont = trevalon::errors::ClassicUiFont(8.25, true);
    for (std::size_t block = 0; block < drvCompare.size(); ++block) {
        const bool left = block % 2 == 0;
        const int x = left ? 120 : 4110;
        const int rowShift = block < 2 ? 0 : 2250;
        AddCaption(panel, Indexed("lblCompareHeading", block),
                   QStringLiteral("#%1. Select Drive A Drive To Compare").arg(block + 1), x,
                   750 + rowShift);
        drvCompare[block] = AddDriveList(panel, Indexed("drvCompare", block), drives,
                                         TwipsRect(x, 960 + rowShift, 3705, 315));
        // The write slot, then the read slot, 780 twips lower.
        for (std::size_t half = 0; half < 2; ++half) {
            const std::size_t i = 2 * block + half;
            const int shift = rowShift + static_cast<int>(half) * 780;
            const char* caption = half == 0 ? "Drive Overall Write Speed (KB/second):"
                                            : "Drive Overall Read Speed (KB/second):";
            AddCaption(panel, Indexed("lblCompareCaption", i), QString::fromLatin1(caption), x,
                       1350 + shift);
            AddCaption(panel, Indexed("lblCompareLeftLegend", i), QStringLiteral("<-- Slow"), x,
                       1590 + shift);
            AddCaption(panel, Indexed("lblCompareRightLegend", i), QStringLiteral("Fast -->"),
                       left ? 3150 : 7140, 1590 + shift);
            lblCompareSeconds[i] = AddFixedLabel(
                panel, Indexed("lblCompareSeconds", i), QString(), resultFont,
                TwipsRect(left ? 870 : 4860, 1590 + shift, 2235, 225), Qt::AlignHCenter);
            const Slot slot = AddTrackAndBar(panel, Indexed("pctCompareStatusBar", i),
                                             Indexed("pctCompareStatusBarDetail", i),
                                             left ? 90 : 4080, 1800 + shift, 285);
            pctCompareStatusBar[i] = slot.track;
            pctCompareStatusBarDetail[i] = slot.bar;
        }
    }

    comparisonView_ = std::make_unique<PanelView>(
        PanelControls{lblCompareStatus,
                      {lblCompareSeconds.begin(), lblCompareSeconds.end()},
                      {pctCompareStatusBarDetail.begin(), pctCompareStatusBarDetail.end()},
                      {drvCompare.begin(), drvCompare.end()},
                      cmdCompareDrives},
        *this, this);
}

void frmDriveSpeed::BuildCopyPanel(const DriveEntries& drives) {
    QWidget* panel = fraMultiCopy;
    lblCopyStatus = AddFixedLabel(panel, QStringLiteral("lblCopyStatus"),
                                  QStringLiteral("Please Choose The Drives To Test"),
                                  trevalon::errors::ClassicUiFont(9.75, true), TwipsRect(90, 270, 4695, 255),
                                  Qt::AlignLeft);
    cmdCopyComparison = AddTestButton(panel, "cmdCopyComparison", "Begin Copy Comparison");
    connect(cmdCopyComparison, &QPushButton::clicked, this,
            &frmDriveSpeed::cmdCopyComparison_Click);
    AddRuleLine(panel, QStringLiteral("linCopyTop"), 630);

    AddCaption(panel, QStringLiteral("lblCopyHeading_0"),
               QStringLiteral("#1. Source Drive To Copy From"), 120, 750);
    drvCopy[0] = AddDriveList(panel, QStringLiteral("drvCopy_0"), drives,
                              TwipsRect(120, 960, 3705, 315));

    const QFont resultFont = trevalon::errors::ClassicUiFont(8.25, true);
    for (std::size_t d = 1; d < drvCopy.size(); ++d) {
        const std::size_t i = d - 1;
        const int shift = static_cast<int>(i) * 1500;
        AddCaption(panel, Indexed("lblCopyHeading", d),
                   QStringLiteral("#%1. Destination Drive To Copy To").arg(d + 1), 4110, 750 + shift);
        drvCopy[d] = AddDriveList(panel, Indexed("drvCopy", d), drives,
                                  TwipsRect(4110, 960 + shift, 3705, 315));
        AddCaption(panel, Indexed("lblCopyCaption", i),
                   QStringLiteral("Drive To Drive Copy Speed (10MB):"), 4110, 1350 + shift);
        AddCaption(panel, Indexed("lblCopyLeftLegend", i), QStringLiteral("<-- Fast"), 4080,
                   1590 + shift);
        AddCaption(panel, Indexed("lblCopyRightLegend", i), QStringLiteral("Slow -->"), 7140,
                   1590 + shift);
        lblCopySeconds[i] =
            AddFixedLabel(panel, Indexed("lblCopySeconds", i), QString(), resultFont,
                          TwipsRect(4860, 1590 + shift, 2235, 225), Qt::AlignHCenter);
        const Slot slot = AddTrackAndBar(panel, Indexed("pctCopyStatusBar", i),
                                         Indexed("pctCopyStatusBarDetail", i), 4080,
                                         1800 + shift, 285);
        pctCopyStatusBar[i] = slot.track;
        pctCopyStatusBarDetail[i] = slot.bar;
    }

    copyView_ = std::make_unique<PanelView>(
        PanelControls{lblCopyStatus,
                      {lblCopySeconds.begin(), lblCopySeconds.end()},
                      {pctCopyStatusBarDetail.begin(), pctCopyStatusBarDetail.end()},
                      {drvCopy.begin(), drvCopy.end()},
                      cmdCopyComparison},
        *this, this);
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
        const bench::TestEnvironment environment{bench::HostClock(), bench::HostFileLayer(),
                                                 &stop_, mode_};
        shownMode_ = mode_;
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
        report.version = TREVALON_VERSION;
        report.localTime = QDateTime::currentDateTime()
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                               .toStdString();
        report.mode = shownMode_ == bench::MeasureMode::kUncached ? "uncached" : "cached";
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

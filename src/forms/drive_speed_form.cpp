// frmDriveSpeed: three panels on top of one another under a menu bar. Each
// panel's slots are kept as rows like the ones a reader checks them against,
// and unrolled into controls once.
#include <array>

#include "common/error_locations.h"
#include "forms/windows.h"

namespace trevalon::forms {

namespace {

constexpr Place kPanelPlace{30, 30, 7905, 5205};
constexpr Place kTestButtonPlace{5970, 210, 1845, 315};
constexpr Colour kTestButtonBack = Rgb(162, 180, 199);
constexpr Colour kBarBack = Rgb(90, 136, 169);
constexpr int kTrackWidth = 3735, kTrackHeight = 285, kBarStart = 15;
constexpr int kLineLeft = 60, kLineRight = 7860;
constexpr int kOneLine = 195;
constexpr int kListHeight = 315, kListWidth = 3705, kListBelowHeading = 210;
constexpr Font kCaptionFont = DialogFont(8.25, true);
constexpr Font kStatusFont = DialogFont(9.75, true);

// The control names of one panel's repeated parts.
struct SlotNames {
    std::string_view heading, list, caption, leftLegend, rightLegend, result, track, bar;
    int resultHeight, barHeight;
};

// One result slot: caption, legend row with the result between the legends,
// and the track below.
struct SlotRow {
    std::string_view caption;
    int captionLeft, captionTop;
    std::string_view leftLegend;
    int leftLegendLeft;
    std::string_view rightLegend;
    int rightLegendLeft;
    int legendTop;
    int resultLeft, resultWidth;
    int trackLeft, trackTop;
};

// A drive list under its heading, followed by the next `slotCount` slots.
struct DrivePick {
    std::string_view heading;
    int left, top;
    int slotCount;
};

constexpr SlotNames kSingleNames{{},          {},          "lblSingleCaption", "lblSingleLeftLegend",
                                 "lblSingleRightLegend", "lblStatusBar", "pctStatusBar",
                                 "pctStatusBarDetail", 195, 255};

// clang-format off
constexpr std::array<SlotRow, 9> kSingleSlots{{
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
// clang-format on

constexpr SlotNames kCompareNames{"lblCompareHeading",     "drvCompare",
                                  "lblCompareCaption",     "lblCompareLeftLegend",
                                  "lblCompareRightLegend", "lblCompareSeconds",
                                  "pctCompareStatusBar",   "pctCompareStatusBarDetail",
                                  225,                     285};

constexpr std::array<DrivePick, 4> kComparePicks{{
    {"#1. Select Drive A Drive To Compare", 120, 750, 2},
    {"#2. Select Drive A Drive To Compare", 4110, 750, 2},
    {"#3. Select Drive A Drive To Compare", 120, 3000, 2},
    {"#4. Select Drive A Drive To Compare", 4110, 3000, 2},
}};

constexpr std::string_view kWrite = "Drive Overall Write Speed (KB/second):";
constexpr std::string_view kRead = "Drive Overall Read Speed (KB/second):";

// clang-format off
constexpr std::array<SlotRow, 8> kCompareSlots{{
    {kWrite, 120, 1350, "<-- Slow", 120, "Fast -->", 3150, 1590, 870, 2235, 90, 1800},
    {kRead, 120, 2130, "<-- Slow", 120, "Fast -->", 3150, 2370, 870, 2235, 90, 2580},
    {kWrite, 4110, 1350, "<-- Slow", 4110, "Fast -->", 7140, 1590, 4860, 2235, 4080, 1800},
    {kRead, 4110, 2130, "<-- Slow", 4110, "Fast -->", 7140, 2370, 4860, 2235, 4080, 2580},
    {kWrite, 120, 3600, "<-- Slow", 120, "Fast -->", 3150, 3840, 870, 2235, 90, 4050},
    {kRead, 120, 4380, "<-- Slow", 120, "Fast -->", 3150, 4620, 870, 2235, 90, 4830},
    {kWrite, 4110, 3600, "<-- Slow", 4110, "Fast -->", 7140, 3840, 4860, 2235, 4080, 4050},
    {kRead, 4110, 4380, "<-- Slow", 4110, "Fast -->", 7140, 4620, 4860, 2235, 4080, 4830},
}};
// clang-format on

constexpr SlotNames kCopyNames{"lblCopyHeading",     "drvCopy",           "lblCopyCaption",
                               "lblCopyLeftLegend",  "lblCopyRightLegend", "lblCopySeconds",
                               "pctCopyStatusBar",   "pctCopyStatusBarDetail", 225, 285};

constexpr std::array<DrivePick, 4> kCopyPicks{{
    {"#1. Source Drive To Copy From", 120, 750, 0},
    {"#2. Destination Drive To Copy To", 4110, 750, 1},
    {"#3. Destination Drive To Copy To", 4110, 2250, 1},
    {"#4. Destination Drive To Copy To", 4110, 3750, 1},
}};

constexpr std::string_view kCopy = "Drive To Drive Copy Speed (10MB):";

// clang-format off
constexpr std::array<SlotRow, 3> kCopySlots{{
    {kCopy, 4110, 1350, "<-- Fast", 4080, "Slow -->", 7140, 1590, 4860, 2235, 4080, 1800},
    {kCopy, 4110, 2850, "<-- Fast", 4080, "Slow -->", 7140, 3090, 4860, 2235, 4080, 3300},
    {kCopy, 4110, 4350, "<-- Fast", 4080, "Slow -->", 7140, 4590, 4860, 2235, 4080, 4800},
}};
// clang-format on

namespace loc = ::trevalon::location;

// clang-format off
constexpr std::array<MenuCommand, 2> kFileCommands{{
    {"mnuCopyResults", "&Copy Results", Ctrl('C'), Command::CopyResults, loc::kCopyResultsClick, false, true},
    {"mnuExit", "Exit", Ctrl('E'), Command::Exit, loc::kExitClick},
}};
constexpr std::array<MenuCommand, 4> kCheckDrivesCommands{{
    {"mnuDriveSpeedComparison", "&Drive Speed Comparison", Ctrl('D'), Command::DriveSpeedComparison, loc::kDriveSpeedComparisonClick},
    {"mnuMultiDriveCopyCheck", "&Multi-Drive Copy Check", Ctrl('M'), Command::MultiDriveCopyCheck, loc::kMultiDriveCopyCheckClick},
    {"mnuSingleDriveDetailedCheck", "&Single Drive Detailed Check", Ctrl('S'), Command::SingleDriveDetailedCheck, loc::kSingleDriveDetailedCheckClick, false, true},
    // Off at every start; never remembered. Its handler cannot fail.
    {"mnuUncached", "&Uncached Measurements", Ctrl('U'), Command::Uncached, 0, true},
}};
constexpr std::array<MenuCommand, 3> kHelpCommands{{
    {"mnuMirrowinOnline", "Mirrowin Online", Ctrl('O'), Command::MirrowinOnline, loc::kMirrowinOnlineClick},
    {"mnuHelpDetail", "Hel&p", FunctionKey(1), Command::HelpDetail, loc::kHelpDetailClick},
    {"mnuAbout", "&About", Ctrl('A'), Command::About, loc::kAboutClick},
}};
// clang-format on

constexpr std::array<Menu, 3> kMenus{{
    {"mnuFile", "&File", kFileCommands},
    {"mnuCheckDrives", "&Check Drives", kCheckDrivesCommands},
    {"mnuHelp", "&Help", kHelpCommands},
}};

class PanelBuilder {
public:
    PanelBuilder(std::vector<Control>& out, std::string_view panel) : out_(out), panel_(panel) {}

    void Caption(std::string_view name, int index, std::string_view text, int left, int top) {
        Add({.kind = Kind::Label, .name = name, .index = index, .place = {left, top, 0, kOneLine},
             .caption = text, .font = kCaptionFont, .autoSize = true});
    }
    void FixedLabel(std::string_view name, std::string_view text, Place place, Font font,
                    Align align, Fill fill = Fill::None) {
        Add({.kind = Kind::Label, .name = name, .place = place, .caption = text, .fill = fill,
             .font = font, .align = align});
    }
    void Status(std::string_view name, std::string_view text, Place place, Align align) {
        FixedLabel(name, text, place, kStatusFont, align);
    }
    void Button(std::string_view name, std::string_view text) {
        Add({.kind = Kind::TestButton, .name = name, .place = kTestButtonPlace, .caption = text,
             .back = kTestButtonBack});
    }
    void List(std::string_view name, int index, Place place) {
        Add({.kind = Kind::DriveList, .name = name, .index = index, .place = place});
    }
    void Rule(std::string_view name, int top) {
        Add({.kind = Kind::RuleLine, .name = name, .place = {kLineLeft, top, kLineRight - kLineLeft, 15},
             .back = kShadow});
    }
    // Status line, test button and the rule under them, as the comparison and
    // the copy panel have them.
    void StatusAndButton(std::string_view status, std::string_view text, std::string_view button,
                         std::string_view caption, std::string_view rule) {
        Status(status, text, {90, 270, 4695, 255}, Align::Left);
        Button(button, caption);
        Rule(rule, 630);
    }
    // Each pick's heading and list come before the slots that follow it, so
    // that the tab order follows the eye.
    void Slots(const SlotNames& names, std::span<const SlotRow> rows,
               std::span<const DrivePick> picks) {
        int next = 0;
        for (std::size_t p = 0; p < picks.size(); ++p) {
            const DrivePick& pick = picks[p];
            const int index = static_cast<int>(p);
            Caption(names.heading, index, pick.heading, pick.left, pick.top);
            List(names.list, index,
                 {pick.left, pick.top + kListBelowHeading, kListWidth, kListHeight});
            for (const int end = next + pick.slotCount; next < end; ++next) Slot(names, rows, next);
        }
        while (next < static_cast<int>(rows.size())) Slot(names, rows, next++);
    }

private:
    void Add(Control control) {
        control.container = panel_;
        out_.push_back(control);
    }
    void Slot(const SlotNames& names, std::span<const SlotRow> rows, int i) {
        const SlotRow& row = rows[static_cast<std::size_t>(i)];
        Caption(names.caption, i, row.caption, row.captionLeft, row.captionTop);
        Caption(names.leftLegend, i, row.leftLegend, row.leftLegendLeft, row.legendTop);
        Caption(names.rightLegend, i, row.rightLegend, row.rightLegendLeft, row.legendTop);
        Add({.kind = Kind::Label, .name = names.result, .index = i,
             .place = {row.resultLeft, row.legendTop, row.resultWidth, names.resultHeight},
             .font = kCaptionFont, .align = Align::Centre});
        Add({.kind = Kind::Track, .name = names.track, .index = i,
             .place = {row.trackLeft, row.trackTop, kTrackWidth, kTrackHeight}, .back = kWindowBack});
        out_.push_back({.kind = Kind::Bar, .name = names.bar, .index = i, .container = names.track,
                        .containerIndex = i, .place = {0, 0, kBarStart, names.barHeight},
                        .back = kBarBack});
    }

    std::vector<Control>& out_;
    std::string_view panel_;
};

std::vector<Control> DriveSpeedControls() {
    std::vector<Control> out;
    for (const auto& [panel, caption] :
         {std::pair{kSingleDrivePanel, "Detailed Single Drive Check"},
          std::pair{kComparisonPanel, "Compare Multiple Drive Speeds"},
          std::pair{kCopyPanel, "Multi-Drive Copy Test"}}) {
        out.push_back({.kind = Kind::Frame, .name = panel, .place = kPanelPlace, .caption = caption});
    }

    PanelBuilder single(out, kSingleDrivePanel);
    single.Caption("lblSelectDrive", -1, "Select Drive To Speed Check", 120, 270);
    single.List("Drive1", -1, {2760, 210, 3135, kListHeight});
    single.Button("cmdCheckSpeed", "Check My Drive Speed");
    single.Rule("linSingleTop", 570);
    single.Status("lblStatus", "Please Choose A Drive To Test", {90, 630, 7725, 255}, Align::Centre);
    single.Rule("linSingleBottom", 930);
    single.Slots(kSingleNames, kSingleSlots, {});
    single.Caption("lblProvidedBy", -1, "Provided By:", 4110, 4260);
    single.FixedLabel("lblMaker", "Mirrowin", {4335, 4500, 3405, 360}, DialogFont(13.5, true),
                      Align::Centre);
    single.FixedLabel("lblWebAddress", "", {4380, 4860, 3390, kOneLine}, kCaptionFont,
                      Align::Centre, Fill::SiteHost);

    PanelBuilder compare(out, kComparisonPanel);
    compare.StatusAndButton("lblCompareStatus", "Please Choose The Drives To Compare",
                            "cmdCompareDrives", "Begin Drive Comparison", "linCompareTop");
    compare.Slots(kCompareNames, kCompareSlots, kComparePicks);

    PanelBuilder copy(out, kCopyPanel);
    copy.StatusAndButton("lblCopyStatus", "Please Choose The Drives To Test", "cmdCopyComparison",
                         "Begin Copy Comparison", "linCopyTop");
    copy.Slots(kCopyNames, kCopySlots, kCopyPicks);
    return out;
}

}  // namespace

const std::array<PanelNames, 3>& Panels() {
    static constexpr std::array<PanelNames, 3> kPanels{{
        {kSingleDrivePanel, "lblStatus", "cmdCheckSpeed", {}, kSingleNames.result,
         kSingleNames.track, kSingleNames.bar, loc::kCheckSpeedClick},
        {kComparisonPanel, "lblCompareStatus", "cmdCompareDrives", kCompareNames.list,
         kCompareNames.result, kCompareNames.track, kCompareNames.bar, loc::kCompareDrivesClick},
        {kCopyPanel, "lblCopyStatus", "cmdCopyComparison", kCopyNames.list, kCopyNames.result,
         kCopyNames.track, kCopyNames.bar, loc::kCopyComparisonClick},
    }};
    return kPanels;
}

const Form& DriveSpeedForm() {
    static const Form form{
        .name = "frmDriveSpeed",
        .caption = "Drive Speed Test",
        .border = Border::FixedSingle,
        .controlBox = true,
        .minButton = true,
        .maxButton = false,
        .showInTaskbar = true,
        .icon = true,
        .clientWidth = 7965,
        .clientHeight = 5280,
        .position = StartPosition::CentreScreen,
        .back = {},
        .font = DialogFont(),
        .picture = Picture::None,
        .controls = DriveSpeedControls(),
        .menus = kMenus,
    };
    return form;
}

}  // namespace trevalon::forms

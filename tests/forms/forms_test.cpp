// The form tables as a front end meets them: every name found once, every
// container there, everything inside its window, menus a user can work with
// from the keyboard; and the run-loop rules both front ends share.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "common/error_locations.h"
#include "forms/form.h"
#include "forms/run_loop.h"
#include "forms/windows.h"

namespace trevalon::forms {
namespace {

// Each form a case of its own, named after it.
class EveryForm : public ::testing::TestWithParam<const Form*> {};
INSTANTIATE_TEST_SUITE_P(Forms, EveryForm, ::testing::ValuesIn(AllForms()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST_P(EveryForm, NamesAreUniqueAndArraysCountFromZeroWithoutGaps) {
    const Form& form = *GetParam();
    std::set<std::string> names;
    std::map<std::string_view, std::vector<int>> arrays;
    for (const Control& control : form.controls) {
        EXPECT_TRUE(names.insert(QualifiedName(control)).second) << QualifiedName(control);
        if (control.index >= 0) arrays[control.name].push_back(control.index);
        EXPECT_EQ(&form.Get(control.name, control.index), &control);
    }
    for (const auto& [name, indices] : arrays) {
        const std::vector<const Control*> elements = form.Array(name);
        ASSERT_EQ(elements.size(), indices.size()) << name;
        EXPECT_TRUE(std::none_of(elements.begin(), elements.end(),
                                 [](const Control* c) { return c == nullptr; }))
            << name;
        EXPECT_FALSE(names.count(std::string(name))) << name << " is an array and a control";
    }
    EXPECT_THROW((void)form.Get("NoSuchControl"), std::out_of_range);
}

// Twips at 96 dots per inch: a place that is no whole pixel was mistyped.
TEST_P(EveryForm, EveryControlSitsInsideItsContainerOnWholePixels) {
    const Form& form = *GetParam();
    EXPECT_EQ(form.clientWidth % 15, 0);
    EXPECT_EQ(form.clientHeight % 15, 0);
    for (const Control& control : form.controls) {
        const std::string name = QualifiedName(control);
        const Place& p = control.place;
        for (const int twips : {p.left, p.top, p.width, p.height}) EXPECT_EQ(twips % 15, 0) << name;
        if (control.kind == Kind::Timer || control.kind == Kind::Transfer) {
            EXPECT_GT(control.milliseconds, 0) << name;
            continue;
        }
        EXPECT_GT(p.height, 0) << name;
        EXPECT_EQ(p.width == 0, control.autoSize) << name;
        int right = form.clientWidth, bottom = form.clientHeight;
        if (!control.container.empty()) {
            const Control& container = form.Get(control.container, control.containerIndex);
            EXPECT_TRUE(container.kind == Kind::Frame || container.kind == Kind::Track) << name;
            right = container.place.width;
            bottom = container.place.height;
        }
        // Only the header strips are wider than their window: it cuts them off.
        if (control.kind != Kind::HeaderStrip) {
            EXPECT_LE(p.left + p.width, right) << name;
        }
        EXPECT_LE(p.top + p.height, bottom) << name;
    }
}

TEST_P(EveryForm, FontsAreTheDialogFontAndTextsHoldNoControlCharacters) {
    const Form& form = *GetParam();
    EXPECT_EQ(form.font.name, kDialogFontName);
    EXPECT_EQ(form.TitleBar(), form.name == "frmDriveSpeed" || form.name == "frmAbout");
    for (const Control& control : form.controls) {
        EXPECT_EQ(control.font.name, kDialogFontName) << QualifiedName(control);
        EXPECT_GE(control.font.points, 8.25) << QualifiedName(control);
        for (const char c : control.caption) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    }
}

TEST(DriveSpeedForm, EachPanelHasASlotOfResultTrackAndBarForEveryIndex) {
    const Form& form = DriveSpeedForm();
    std::set<std::string_view> frames;
    for (const PanelNames& panel : Panels()) {
        const Control& frame = form.Get(panel.panel);
        EXPECT_EQ(frame.kind, Kind::Frame);
        EXPECT_TRUE(frames.insert(frame.name).second);
        EXPECT_EQ(form.Get(panel.button).container, panel.panel);
        EXPECT_EQ(form.Get(panel.status).container, panel.panel);
        const auto results = form.Array(panel.result);
        const auto tracks = form.Array(panel.track);
        const auto bars = form.Array(panel.bar);
        ASSERT_FALSE(results.empty());
        ASSERT_EQ(tracks.size(), results.size());
        ASSERT_EQ(bars.size(), results.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i]->container, panel.panel);
            EXPECT_EQ(tracks[i]->container, panel.panel);
            EXPECT_EQ(bars[i]->container, panel.track);
            EXPECT_EQ(bars[i]->containerIndex, static_cast<int>(i));
            // A bar starts one pixel wide, as high as its track at most.
            EXPECT_EQ(bars[i]->place.width, 15);
            EXPECT_LE(bars[i]->place.height, tracks[i]->place.height);
        }
    }
    EXPECT_EQ(form.Array("drvCompare").size(), 4u);
    EXPECT_EQ(form.Array("drvCopy").size(), 4u);
    EXPECT_EQ(form.Get("Drive1").container, kSingleDrivePanel);
    std::set<std::int32_t> locations;
    for (const PanelNames& panel : Panels()) EXPECT_TRUE(locations.insert(panel.location).second);
}

TEST(DriveSpeedForm, MenusAreKeyboardReachableAndEachHandlerHasItsOwnLocation) {
    std::set<std::string> shortcuts;
    std::set<std::int32_t> locations;
    std::set<char> menuKeys;
    std::set<Command> commands;
    for (const Menu& menu : DriveSpeedForm().menus) {
        EXPECT_TRUE(menuKeys.insert(AccessKey(menu.caption)).second) << menu.caption;
        std::set<char> keys;
        for (const MenuCommand& row : menu.commands) {
            EXPECT_TRUE(shortcuts.insert(ShortcutText(row.shortcut)).second) << row.name;
            EXPECT_FALSE(ShortcutText(row.shortcut).empty()) << row.name;
            EXPECT_TRUE(commands.insert(row.command).second) << row.name;
            if (const char key = AccessKey(row.caption)) {
                EXPECT_TRUE(keys.insert(key).second) << row.name;
            }
            if (row.location != 0) {
                EXPECT_TRUE(locations.insert(row.location).second) << row.name;
            }
        }
    }
    EXPECT_EQ(menuKeys.count(0), 0u);
    EXPECT_EQ(commands.size(), 9u);
    EXPECT_EQ(locations.count(location::kDriveSpeedFormLoad), 0u);
}

TEST(Captions, AccessKeysShortcutsAndQualifiedNames) {
    EXPECT_EQ(AccessKey("Hel&p"), 'p');
    EXPECT_EQ(AccessKey("Exit"), 0);
    EXPECT_EQ(AccessKey("A && B &C"), 'C');
    EXPECT_EQ(AccessKey("trailing&"), 0);
    EXPECT_EQ(PlainCaption("&Drive Speed Comparison"), "Drive Speed Comparison");
    EXPECT_EQ(PlainCaption("A && B"), "A & B");
    EXPECT_EQ(ShortcutText(Ctrl('E')), "Ctrl+E");
    EXPECT_EQ(ShortcutText(FunctionKey(1)), "F1");
    EXPECT_EQ(ShortcutText({}), "");
    EXPECT_EQ(QualifiedName({.name = "lblStatusBar", .index = 0}), "lblStatusBar_0");
    EXPECT_EQ(QualifiedName({.name = "Drive1"}), "Drive1");
    static_assert(Pixels(7965) == 531 && Pixels(3735) == 249 && Pixels(1440, 120) == 120);
}

TEST(ShownText, TheBuildsSiteFillsTheMakersDetails) {
    const Site site{"http://www.Example.test:8080", "WWW.example.test:8080"};
    const Control web{.caption = "Web: ", .fill = Fill::SiteAddress};
    const Control mail{.caption = "EMail: ", .fill = Fill::SupportMail};
    const Control host{.fill = Fill::SiteHost};
    EXPECT_EQ(ShownText(web, site), "Web: http://www.Example.test:8080");
    EXPECT_EQ(ShownText(mail, site), "EMail: support@example.test");
    EXPECT_EQ(ShownText(mail, {"http://mirrowin", "mirrowin"}), "EMail: support@mirrowin");
    EXPECT_EQ(ShownText(host, site), "WWW.example.test:8080");
    EXPECT_EQ(ShownText(Control{.caption = "Mirrowin"}, site), "Mirrowin");
    // Every detail the about box leaves to the build is filled.
    for (const Control& control : AboutForm().controls)
        EXPECT_FALSE(ShownText(control, site).empty()) << control.name;
}

TEST(PanelCommands, EachShowsOnePanelAndHidesTheOtherTwo) {
    std::set<std::string_view> shownPanels;
    for (const Menu& menu : DriveSpeedForm().menus) {
        for (const MenuCommand& row : menu.commands) {
            const std::optional<PanelOrder> order = PanelShownBy(row.command);
            if (!order) continue;
            std::set<std::string_view> all{order->shown, order->hidden[0], order->hidden[1]};
            EXPECT_EQ(all, (std::set<std::string_view>{kSingleDrivePanel, kComparisonPanel, kCopyPanel}));
            shownPanels.insert(order->shown);
        }
    }
    EXPECT_EQ(shownPanels.size(), 3u);
    EXPECT_EQ(PanelShownBy(kLoadCommand)->shown, kSingleDrivePanel);
    EXPECT_FALSE(PanelShownBy(Command::About));
}

TEST(TrapErrors, HandsOffTheErrorWithTheHandlersLocationAndNeverThrows) {
    struct Seen {
        std::int32_t number = 0, location = 0;
        std::string description;
        int calls = 0;
    } seen;
    const auto record = [&](std::int32_t n, std::int32_t l, const std::string& d) {
        seen = {n, l, d, seen.calls + 1};
    };
    TrapErrors(12, [] {}, record);
    EXPECT_EQ(seen.calls, 0);
    TrapErrors(6, [] { throw RunTimeError(61, "Disk full"); }, record);
    EXPECT_EQ(seen.number, 61);
    EXPECT_EQ(seen.location, 6);
    EXPECT_EQ(seen.description, "Disk full");
    TrapErrors(9, [] { throw std::bad_alloc(); }, record);
    EXPECT_EQ(seen.number, error_number::kOutOfMemory);
    TrapErrors(9, [] { throw 3; }, [](auto...) { throw std::runtime_error("hand-off fails"); });
    EXPECT_EQ(seen.calls, 2);
}

// A splash whose every step is recorded, and any of which can fail.
struct RecordedSteps final : StartupSteps {
    std::vector<std::string> steps;
    std::string failing;
    bool noticeVisible = false;

    void Step(const std::string& name) {
        steps.push_back(name);
        if (name == failing) throw RunTimeError(5, "failed " + name);
    }
    void DisableTimer() override { Step("DisableTimer"); }
    void SetStatus(std::string_view text) override { Step("SetStatus " + std::string(text)); }
    void LetEventsRun() override { Step("LetEventsRun"); }
    void CheckForNewVersion() override { Step("CheckForNewVersion"); }
    void ShowMainWindow() override { Step("ShowMainWindow"); }
    bool NoticeVisible() override {
        Step("NoticeVisible");
        return noticeVisible;
    }
    void RaiseNotice() override { Step("RaiseNotice"); }
    void UnloadSplash() override { Step("UnloadSplash"); }
    void HandOff(std::int32_t number, std::int32_t location, const std::string& text) override {
        steps.push_back("HandOff " + std::to_string(number) + " " + std::to_string(location) + " " + text);
    }
};

using Steps = std::vector<std::string>;
const std::string kStatus = "SetStatus " + std::string(kCheckingStatus);

TEST(StartupSequence, RunsItsStepsInOrderAndSkipsFailuresFromTheCheckOn) {
    struct Case {
        const char* failing;
        bool versionCheck;
        bool noticeVisible;
        Steps expected;
    };
    const Steps rest{"ShowMainWindow", "NoticeVisible", "DisableTimer", "UnloadSplash"};
    const auto then = [](Steps head, const Steps& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const Case cases[] = {
        {"", true, false, then({"DisableTimer", kStatus, "LetEventsRun", "CheckForNewVersion"}, rest)},
        {"", false, false, then({"DisableTimer"}, rest)},
        {"", true, true, {"DisableTimer", kStatus, "LetEventsRun", "CheckForNewVersion", "ShowMainWindow",
                          "NoticeVisible", "RaiseNotice", "DisableTimer", "UnloadSplash"}},
        {"CheckForNewVersion", true, false,
         then({"DisableTimer", kStatus, "LetEventsRun", "CheckForNewVersion"}, rest)},
        {"ShowMainWindow", false, false, then({"DisableTimer"}, rest)},
        // Before the check a failure is handed off with the timer's location, and the splash stays.
        {"LetEventsRun", true, false,
         {"DisableTimer", kStatus, "LetEventsRun", "HandOff 5 46 failed LetEventsRun"}},
    };
    for (const Case& c : cases) {
        RecordedSteps steps;
        steps.failing = c.failing;
        steps.noticeVisible = c.noticeVisible;
        RunStartupSequence(steps, c.versionCheck);
        EXPECT_EQ(steps.steps, c.expected) << c.failing << " " << c.versionCheck;
    }
}

}  // namespace
}  // namespace trevalon::forms

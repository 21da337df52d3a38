// What a drive test needs from a window. Each panel of the main window
// implements it over its own controls; tests implement it with recorders.
// Nothing else of any window reaches the drive tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace trevalon::bench {

// The user's regional number separators, handed in by the window.
struct NumberSeparators {
    std::string decimal = ".";
    std::string thousands = ",";
};

// Which test a figure belongs to.
enum class TestKind { kSingleDriveCheck, kDriveComparison, kCopyTest };
enum class ResultUnit { kSeconds, kKilobytesPerSecond };

// One figure as a number, for whatever needs it outside a panel (copying,
// JSON, benchmark ratios): the value its caption shows, in its unit.
struct ResultRecord {
    TestKind test;
    int slot;  // the result slot's index on its panel
    double value;
    ResultUnit unit;
    // Bytes of the files the step wrote, read, copied or deleted, as the
    // file layer took or gave them; none for a step that moves no data.
    std::optional<std::uint64_t> bytes = std::nullopt;
};

class ViewOperations {
public:
    virtual ~ViewOperations() = default;

    // lblStatus (or the panel's status label).
    virtual void SetStatusText(const std::string& text) = 0;
    // Result label `index` of the panel.
    virtual void SetResultText(int index, const std::string& text) = 0;
    // Width in twips of bar `index`; its left edge, top and height stay.
    virtual void SetBarWidth(int index, float twips) = 0;
    // Text of the selected entry of drive list `list` (0 on the single-drive panel).
    virtual std::string GetDriveEntry(int list) = 0;
    // The file system (FileLayer::VolumeOf) that entry's directory lay on when
    // the list was filled; nullopt when the list does not know it.
    virtual std::optional<std::uint64_t> GetDriveVolume(int /*list*/) { return std::nullopt; }
    // Lets all pending window events run once. Returns false when the program
    // is closing: the run must then stop at once, make no further view call,
    // and remove its scratch files.
    [[nodiscard]] virtual bool YieldToWindow() = 0;
    // A modal message box with the text, one OK button, no icon, titled "Trevalon".
    virtual void ShowDriveMessage(const std::string& text) = 0;
    // The error window hand-off: show frmErrors with these values, without waiting.
    virtual void HandOffError(std::int32_t number, std::int32_t location,
                              const std::string& description) = 0;
    // The panel's test button (the comparison disables its own for a run).
    virtual void SetTestButtonEnabled(bool enabled) = 0;
    // Separators for captions.
    virtual NumberSeparators GetNumberSeparators() = 0;
    // Each figure once, after its caption is set; panels may ignore it.
    virtual void RecordResult(const ResultRecord& record) { (void)record; }
    // The directory of drive list `list` as its measurements begin.
    virtual void RecordDrive(int list, const std::string& root) {
        (void)list;
        (void)root;
    }
};

}  // namespace trevalon::bench

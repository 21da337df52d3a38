#include "shell/panel_view.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <cmath>

#include "errors/hand_off.h"
#include "forms/run_loop.h"

namespace trevalon::shell {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int BarPixels(float twips) {
    // Far wider than any track; the track cuts the bar off at its edge anyway.
    constexpr float kWidest = 100000.0F;
    if (!(twips > 0.0F)) return 0;  // negative and NaN alike
    return static_cast<int>(std::lround(std::fmin(twips, kWidest) / 15.0F));
}

PanelView::PanelView(PanelControls controls, const RunState& state, QWidget* messageOwner)
    : controls_(std::move(controls)), state_(state), messageOwner_(messageOwner) {}

void PanelView::SetStatusText(const std::string& text) {
    controls_.status->setText(FromUtf8(text));
}

void PanelView::SetResultText(int index, const std::string& text) {
    if (text.empty() && recorded_) {
        records_.clear();
        drives_.clear();
        recorded_ = false;
    }
    controls_.results.at(static_cast<std::size_t>(index))->setText(FromUtf8(text));
}

void PanelView::SetBarWidth(int index, float twips) {
    QWidget* bar = controls_.bars.at(static_cast<std::size_t>(index));
    bar->resize(BarPixels(twips), bar->height());
}

std::string PanelView::GetDriveEntry(int list) {
    return controls_.lists.at(static_cast<std::size_t>(list))->DriveEntry().toStdString();
}

std::optional<std::uint64_t> PanelView::GetDriveVolume(int list) {
    return controls_.lists.at(static_cast<std::size_t>(list))->DriveVolume();
}

bool PanelView::YieldToWindow() {
    if (state_.ClosingRequested()) return false;
    QCoreApplication::processEvents();
    return !state_.ClosingRequested();
}

void PanelView::ShowDriveMessage(const std::string& text) {
    if (state_.ClosingRequested()) return;
    QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Trevalon"), FromUtf8(text),
                        QMessageBox::Ok, messageOwner_);
    message.setObjectName(QStringLiteral("msgDriveMessage"));
    message.exec();
}

void PanelView::HandOffError(std::int32_t number, std::int32_t location,
                             const std::string& description) {
    if (state_.ClosingRequested()) return;
    errors::HandOffError(number, location, description);
}

void PanelView::SetTestButtonEnabled(bool enabled) {
    buttonWanted_ = enabled;
    ApplyButtonState();
}

bench::NumberSeparators PanelView::GetNumberSeparators() {
    const QLocale locale;
    return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}

void PanelView::RecordResult(const bench::ResultRecord& record) {
    records_[record.slot] = record;
    recorded_ = true;
}

void PanelView::RecordDrive(int list, const std::string& root) {
    drives_[list] = root;
    recorded_ = true;
}

bench::ResultsReport PanelView::Report() {
    bench::ResultsReport report;
    report.separators = GetNumberSeparators();
    report.status = controls_.status->text().toStdString();
    for (const auto& [list, root] : drives_) {
        report.drives.push_back({list, root, bench::MountOf(root)});
    }
    for (const auto& [slot, record] : records_) {
        report.test = record.test;
        const QString shown = controls_.results.at(static_cast<std::size_t>(slot))->text();
        if (shown.isEmpty()) continue;
        std::optional<double> speed;
        if (record.unit == bench::ResultUnit::kKilobytesPerSecond) speed = record.value;
        report.results.push_back({slot, shown.toStdString(), speed});
    }
    return report;
}

void PanelView::ApplyButtonState() {
    controls_.button->setEnabled(forms::TestButtonEnabled(buttonWanted_, state_.TestRunning()));
}

}  // namespace trevalon::shell

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
    run_.Message(text, false);
    QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Trevalon"), FromUtf8(text),
                        QMessageBox::Ok, messageOwner_);
    message.setObjectName(QStringLiteral("msgDriveMessage"));
    message.exec();
}

void PanelView::HandOffError(std::int32_t number, std::int32_t location,
                             const std::string& description) {
    if (state_.ClosingRequested()) return;
    run_.Message(bench::ErrorWindowText(number, location, description), true);
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

void PanelView::RecordResult(const bench::ResultRecord& record) { run_.Result(record); }

void PanelView::RecordDrive(int list, const std::string& root) { run_.Drive(list, root); }

bench::ResultsReport PanelView::Report() {
    bench::ResultsReport report = run_.Report([this](int slot) {
        return controls_.results.at(static_cast<std::size_t>(slot))->text().toStdString();
    });
    report.separators = GetNumberSeparators();
    report.status = controls_.status->text().toStdString();
    return report;
}

void PanelView::ApplyButtonState() {
    controls_.button->setEnabled(forms::TestButtonEnabled(buttonWanted_, state_.TestRunning()));
}

}  // namespace trevalon::shell

#include "shell/panel_view.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <cmath>

#include "errors/hand_off.h"

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
    : PanelRun(state), controls_(std::move(controls)), messageOwner_(messageOwner) {}

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
    if (State().ClosingRequested()) return false;
    QCoreApplication::processEvents();
    return !State().ClosingRequested();
}

void PanelView::ShowMessageBox(const std::string& text) {
    QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Trevalon"), FromUtf8(text),
                        QMessageBox::Ok, messageOwner_);
    message.setObjectName(QStringLiteral("msgDriveMessage"));
    message.exec();
}

void PanelView::PassOnError(std::int32_t number, std::int32_t location,
                            const std::string& description) {
    errors::HandOffError(number, location, description);
}

bench::NumberSeparators PanelView::GetNumberSeparators() {
    const QLocale locale;
    return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}

std::string PanelView::ResultCaption(int slot) {
    return controls_.results.at(static_cast<std::size_t>(slot))->text().toStdString();
}

std::string PanelView::StatusCaption() { return controls_.status->text().toStdString(); }

void PanelView::EnableButton(bool enabled) { controls_.button->setEnabled(enabled); }

}  // namespace trevalon::shell

#include "errors/hand_off.h"

#include <QGuiApplication>
#include <QScreen>
#include <exception>

#include "common/run_error.h"
#include "errors/frm_errors.h"

namespace trevalon::errors {

namespace {

// Lives until the program ends; Send and Cancel only hide it.
frmErrors* window = nullptr;

ReportSite& CurrentSite() {
    static ReportSite site = DefaultReportSite();
    return site;
}

}  // namespace

void HandOffError(std::int32_t number, std::int32_t location, const std::string& description) {
    if (!window) window = new frmErrors(CurrentSite());
    window->ErrorNumber = number;
    window->ErrorLocation = location;
    window->ErrorDescription = description;
    // Without an owner there is no owner to centre on: the screen stands in.
    if (!window->placed_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window->move(frame.topLeft());
        }
        window->placed_ = true;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void HandOffCurrentException(std::int32_t location) {
    if (!std::current_exception()) {
        HandOffError(error_number::kInternal, location, "Internal error");
        return;
    }
    const RunTimeError error = CurrentRunTimeError();
    HandOffError(error.number(), location, error.description());
}

frmErrors* ExistingErrorWindow() { return window; }

void SetReportSite(const ReportSite& site) {
    CurrentSite() = site;
    if (window) window->SetReportSite(site);
}

}  // namespace trevalon::errors

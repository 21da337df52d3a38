#include "win32/frmErrors.h"

#include "common/error_locations.h"
#include "win32/error_trap.h"
#include "win32/form_tables.h"
#include "win32/wide_text.h"

namespace trevalon::win32 {

namespace {

frmErrors* window = nullptr;

void SetText(HWND control, const std::string& text) { SetWindowTextW(control, Wide(text).c_str()); }

void HandOffCurrent(std::int32_t location) {
    const RunTimeError error = CurrentRunTimeError();
    HandOffError(error.number(), location, error.description());
}

}  // namespace

frmErrors::frmErrors() : Inet1(errors::DefaultReportSite().requestTimeout) {
    reportBase_ = errors::DefaultReportSite().baseUrl;
    Create(ErrorsForm(), WS_POPUP | WS_BORDER, 0, Placement::kCentredOnScreen, nullptr);
}

frmErrors& frmErrors::Window() {
    if (window == nullptr) window = new frmErrors();
    return *window;
}

frmErrors* frmErrors::Existing() { return window; }

void frmErrors::SetReportSite(const errors::ReportSite& site) {
    reportBase_ = site.baseUrl;
    Inet1 = net::Inet(site.requestTimeout);
}

void frmErrors::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == ControlId("cmdSendError")) cmdSendError_Click();
    if (id == ControlId("cmdCancel")) cmdCancel_Click();
}

void frmErrors::RefreshLabels() {
    SetText(Control("lblErrorLocation"), "Error Location: " + std::to_string(ErrorLocation));
    SetText(Control("lblErrorNumber"), "Error Number: " + std::to_string(ErrorNumber));
    SetText(Control("lblErrorDescription"), "Error Description: " + ErrorDescription);
}

void frmErrors::Form_Activate() {
    try {
        RefreshLabels();
    } catch (...) {
        HandOffCurrent(location::kErrorsFormActivate);
    }
}

void frmErrors::Form_GotFocus() {
    try {
        RefreshLabels();
    } catch (...) {
        HandOffCurrent(location::kErrorsFormGotFocus);
    }
}

void frmErrors::cmdSendError_Click() {
    // The report is never told about, and the window hides regardless.
    errors::SendReport(Inet1, reportBase_, ErrorNumber, ErrorLocation, ErrorDescription);
    ShowWindow(Handle(), SW_HIDE);
}

void frmErrors::cmdCancel_Click() {
    try {
        ShowWindow(Handle(), SW_HIDE);
    } catch (...) {
        HandOffCurrent(location::kErrorsCancelClick);
    }
}

void HandOffError(std::int32_t number, std::int32_t location, const std::string& description) {
    frmErrors& errors = frmErrors::Window();
    errors.ErrorNumber = number;
    errors.ErrorLocation = location;
    errors.ErrorDescription = description;
    const bool wasHidden = !IsWindowVisible(errors.Handle());
    ShowWindow(errors.Handle(), SW_SHOW);
    SetForegroundWindow(errors.Handle());
    // Showing a hidden window activates it, which refreshes the labels, but
    // not where the system keeps another program in front.
    if (wasHidden) errors.Form_Activate();
}

}  // namespace trevalon::win32

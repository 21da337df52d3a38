// The error window hand-off: every handler that meets an error it does not
// handle itself passes it here and ends.
#pragma once

#include <cstdint>
#include <string>

#include "errors/report_address.h"

namespace trevalon::errors {

class frmErrors;

// Sets ErrorNumber, ErrorLocation and ErrorDescription of the one frmErrors
// (creating it on first use) and shows it without waiting and without an owner.
// Window thread only, with the QApplication in place.
void HandOffError(std::int32_t number, std::int32_t location, const std::string& description);

// For a handler's catch (...): hands off the exception in flight with the
// handler's location. Out of memory is 7; anything else is 51, internal error.
void HandOffCurrentException(std::int32_t location);

// The error window, or nullptr before the first hand-off.
frmErrors* ExistingErrorWindow();

// Where Send delivers reports from now on; DefaultReportSite() unless changed
// (tests point it at a site server on loopback).
void SetReportSite(const ReportSite& site);

}  // namespace trevalon::errors

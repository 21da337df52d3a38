// The error window hand-off: every handler that meets an error it does not
// handle itself passes it here and ends.
#pragma once

#include <cstdint>
#include <string>

namespace trevalon::errors {

// Sets ErrorNumber, ErrorLocation and ErrorDescription of the one frmErrors
// (creating it on first use) and shows it without waiting and without an owner.
void HandOffError(std::int32_t number, std::int32_t location, const std::string& description);

}  // namespace trevalon::errors

// The location numbers live with the other words every layer shares; the
// error window's code names them errors::location.
#pragma once

#include "common/error_locations.h"

namespace trevalon::errors {
namespace location = ::trevalon::location;
}  // namespace trevalon::errors

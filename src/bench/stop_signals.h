// Stop requests from outside the program (signals, console events) end a run
// the way Exit does; the calls are part of the host face.
#pragma once

#include "bench/host/host.h"

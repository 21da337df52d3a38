#include "bench/clock.h"

namespace trevalon::bench {

Clock& HostClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace trevalon::bench

#pragma once

#include "SimTime.h"

namespace qta::sim {

// Monotonic time since the program started.
Micros hostNow();
// A poll() time-out in whole milliseconds (rounded up) until `due`, at most `cap`.
int pollTimeout(Micros due, Micros now, Micros cap = std::chrono::seconds(1));

} // namespace qta::sim

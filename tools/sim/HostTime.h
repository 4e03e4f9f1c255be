#pragma once

#include "SimTime.h"

#include <ctime>

namespace qta::sim {

// Monotonic time since the program started.
Micros hostNow();
// A ppoll() time-out until `due`, at most `cap`, to the microsecond: a 9600-baud
// byte lasts about a millisecond, so whole milliseconds would stretch the wire.
timespec pollTimeout(Micros due, Micros now, Micros cap = std::chrono::seconds(1));

} // namespace qta::sim

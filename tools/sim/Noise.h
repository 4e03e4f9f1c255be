#pragma once

#include "Random.h"
#include "SimTime.h"

namespace qta::sim {

// A burst of line noise, 1 to 12 bytes. It never holds "P" or ",", so noise can
// never complete an identification "QTA71P" nor end a StatusReport (0x1C 0x2C),
// whatever stands before or after it.
Bytes makeNoise(Random& random);

} // namespace qta::sim

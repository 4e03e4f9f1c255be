#pragma once

#include "DeviceOptions.h"

#include <string>

namespace qta::sim {

struct VirtualBridgeOptions {
    // The USB product description the bridge answers to.
    std::string description = "FT232R USB UART";
    int baud = 9600; // 0: no pacing
    DeviceOptions device;
};

} // namespace qta::sim

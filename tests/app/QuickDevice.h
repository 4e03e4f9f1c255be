#pragma once

#include "sim/VirtualBridge.h"

#include <chrono>

// The virtual device without its wire's pace, identifying and reporting often, so
// that a whole session runs in a moment of the manual clock.
inline qta::sim::VirtualBridgeOptions quickDevice() {
    using namespace std::chrono_literals;
    qta::sim::VirtualBridgeOptions options;
    options.baud = 0;
    options.device.identPeriod = 100ms;
    options.device.reportPeriod = 20ms;
    return options;
}

#pragma once

#include "link/TracingBridge.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace qta::bench {

using BenchClock = std::chrono::steady_clock;

// One write to the bridge, or one completed read, with its moment.
struct Traffic {
    BenchClock::time_point at;
    bool out = false; // to the device
    std::size_t size = 0;
    std::uint8_t first = 0; // the first byte (a one-byte write: the poll's answer)
};

// Wraps the bridges of another driver and notes every byte that crosses them:
// what the engine wrote (as far as the bridge took it) and what its reads brought.
class CountingDriver : public link::WatchedDriver {
public:
    explicit CountingDriver(link::BridgeDriver& inner);

    const std::vector<Traffic>& traffic() const { return traffic_; }

private:
    void note(bool out, std::span<const std::uint8_t> bytes);

    std::vector<Traffic> traffic_;
};

} // namespace qta::bench

#pragma once

#include "link/Bridge.h"

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
class CountingDriver : public link::BridgeDriver {
public:
    explicit CountingDriver(link::BridgeDriver& inner) : inner_(inner) {}

    std::unique_ptr<link::BridgePort> openByDescription(const std::string& description) override;
    std::optional<link::OpenProblem> lastOpenProblem() const override { return inner_.lastOpenProblem(); }

    void note(bool out, std::span<const std::uint8_t> bytes);
    const std::vector<Traffic>& traffic() const { return traffic_; }

private:
    link::BridgeDriver& inner_;
    std::vector<Traffic> traffic_;
};

} // namespace qta::bench

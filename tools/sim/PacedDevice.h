#pragma once

#include "PacedLine.h"
#include "VirtualDevice.h"

#include <functional>

namespace qta::sim {

// The device behind a wire at a baud rate in both directions: what the
// programmer writes reaches the device no faster than the wire carries it, and
// what the device sends reaches the programmer no faster either. The pty
// program and the virtual bridge both drive the device through this.
class PacedDevice {
public:
    using Delivered = std::function<void(std::span<const std::uint8_t>)>;

    PacedDevice(VirtualDevice& device, int baud, PacedLine::Delivery toHost = PacedLine::Delivery::EachByte);

    // What has crossed to the programmer: bytes as they cross, or whole units.
    void onDelivered(Delivered delivered) { delivered_ = std::move(delivered); }

    // Bytes from the programmer, put on the wire at `now`.
    void fromHost(std::span<const std::uint8_t> bytes, Micros now);
    // Runs the wire and the device up to `now`, every event at its own moment.
    void advanceTo(Micros now);
    Micros nextDue() const;
    // Drops everything still on the wire (the link went away).
    void clear();

    VirtualDevice& device() { return device_; }

private:
    VirtualDevice& device_;
    PacedLine toDevice_;
    PacedLine toHost_;
    Delivered delivered_;
};

} // namespace qta::sim

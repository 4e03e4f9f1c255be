#include "PacedDevice.h"

#include <algorithm>

namespace qta::sim {

PacedDevice::PacedDevice(VirtualDevice& device, int baud, PacedLine::Delivery toHost)
    : device_(device), toDevice_(baud), toHost_(baud, toHost) {
    device_.onOutput([this](std::span<const std::uint8_t> unit) { toHost_.push(unit, device_.now()); });
}

void PacedDevice::fromHost(std::span<const std::uint8_t> bytes, Micros now) {
    toDevice_.push(bytes, now);
}

Micros PacedDevice::nextDue() const {
    return std::min({device_.nextDue(), toDevice_.nextDue(), toHost_.nextDue()});
}

void PacedDevice::advanceTo(Micros now) {
    for (Micros at = nextDue(); at <= now; at = nextDue()) {
        device_.advanceTo(at);
        for (const Bytes& bytes : toDevice_.take(at))
            device_.receive(bytes);
        for (const Bytes& bytes : toHost_.take(at)) {
            if (delivered_)
                delivered_(bytes);
        }
    }
    device_.advanceTo(now);
}

void PacedDevice::clear() {
    toDevice_.clear();
    toHost_.clear();
}

} // namespace qta::sim

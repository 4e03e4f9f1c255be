#include "BridgeWire.h"

#include "VirtualBridgePort.h"

namespace qta::sim {

BridgeWire::BridgeWire(link::Clock& clock, VirtualBridgeOptions options)
    : clock_(clock), options_(std::move(options)), device_(options_.device), paced_(device_, options_.baud),
      timer_(clock) {
    paced_.onDelivered([this](std::span<const std::uint8_t> bytes) {
        if (port_ != nullptr)
            port_->arrived(bytes);
    });
    device_.onVanish([this] { unplug("the device vanished"); });
    device_.start(now());
    schedule();
}

void BridgeWire::unplug(const std::string& reason) {
    if (!pluggedIn_)
        return;
    pluggedIn_ = false;
    paced_.clear();
    timer_.stop();
    if (port_ != nullptr)
        port_->fail(reason);
}

void BridgeWire::plugIn() {
    if (pluggedIn_)
        return;
    pluggedIn_ = true;
    device_.start(now());
    schedule();
}

void BridgeWire::detach(VirtualBridgePort* port) {
    if (port_ == port)
        port_ = nullptr;
}

void BridgeWire::fromHost(std::span<const std::uint8_t> bytes) {
    if (!pluggedIn_)
        return;
    paced_.advanceTo(now());
    paced_.fromHost(bytes, now());
    schedule();
}

void BridgeWire::tick() {
    if (!pluggedIn_)
        return;
    paced_.advanceTo(now());
    schedule();
}

void BridgeWire::schedule() {
    const Micros due = paced_.nextDue();
    if (!pluggedIn_ || due == kNever) {
        timer_.stop();
        return;
    }
    const link::Millis at = std::chrono::ceil<link::Millis>(due);
    timer_.start(std::max(at - clock_.now(), link::Millis(0)), [this] { tick(); });
}

} // namespace qta::sim

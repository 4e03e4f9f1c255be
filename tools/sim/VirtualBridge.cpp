#include "VirtualBridge.h"

#include "BridgeWire.h"
#include "VirtualBridgePort.h"

namespace qta::sim {

VirtualBridge::VirtualBridge(link::Clock& clock, VirtualBridgeOptions options)
    : wire_(std::make_shared<BridgeWire>(clock, std::move(options))) {}

VirtualBridge::~VirtualBridge() = default;

std::unique_ptr<link::BridgePort> VirtualBridge::openByDescription(const std::string& description) {
    if (description != wire_->options().description || !wire_->pluggedIn() || wire_->port() != nullptr)
        return nullptr;
    return std::make_unique<VirtualBridgePort>(wire_);
}

VirtualDevice& VirtualBridge::device() {
    return wire_->device();
}

bool VirtualBridge::isOpen() const {
    return wire_->port() != nullptr;
}

bool VirtualBridge::pluggedIn() const {
    return wire_->pluggedIn();
}

void VirtualBridge::unplug() {
    wire_->unplug("the bridge was unplugged");
}

void VirtualBridge::plugIn() {
    wire_->plugIn();
}

} // namespace qta::sim

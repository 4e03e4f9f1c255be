#pragma once

#include "PacedDevice.h"
#include "VirtualBridgeOptions.h"
#include "VirtualDevice.h"
#include "link/Clock.h"

#include <span>

namespace qta::sim {

class VirtualBridgePort;

// The virtual device and its wire on a link clock, shared by the bridge that
// finds it and the port that has it open (a port may outlive the bridge). The
// device runs while plugged in, whether or not a port is open; what it sends
// with no port open is lost.
class BridgeWire {
public:
    BridgeWire(link::Clock& clock, VirtualBridgeOptions options);
    BridgeWire(const BridgeWire&) = delete;
    BridgeWire& operator=(const BridgeWire&) = delete;

    link::Clock& clock() { return clock_; }
    const VirtualBridgeOptions& options() const { return options_; }
    VirtualDevice& device() { return device_; }

    bool pluggedIn() const { return pluggedIn_; }
    // The device vanishes: the open port fails, nothing can open it.
    void unplug(const std::string& reason);
    // Attached again: the device powers up locked.
    void plugIn();

    VirtualBridgePort* port() const { return port_; }
    void attach(VirtualBridgePort* port) { port_ = port; }
    void detach(VirtualBridgePort* port);

    // Bytes the programmer writes; they cross the wire to the device.
    void fromHost(std::span<const std::uint8_t> bytes);

private:
    Micros now() const { return Micros(clock_.now()); }
    void tick();
    void schedule();

    link::Clock& clock_;
    VirtualBridgeOptions options_;
    VirtualDevice device_;
    PacedDevice paced_;
    link::OneShot timer_;
    VirtualBridgePort* port_ = nullptr;
    bool pluggedIn_ = true;
};

} // namespace qta::sim

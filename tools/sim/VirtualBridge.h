#pragma once

#include "VirtualBridgeOptions.h"
#include "VirtualDevice.h"
#include "link/Bridge.h"

#include <memory>

namespace qta::sim {

class BridgeWire;

// A USB-UART bridge with the virtual device behind it, on a link clock (tests
// use ManualClock): the engine, the window and the tests run against the device
// in-process through it. It opens only by its own description, and only once at
// a time.
class VirtualBridge : public link::BridgeDriver {
public:
    explicit VirtualBridge(link::Clock& clock, VirtualBridgeOptions options = {});
    ~VirtualBridge() override;

    std::unique_ptr<link::BridgePort> openByDescription(const std::string& description) override;

    VirtualDevice& device();
    bool isOpen() const;
    bool pluggedIn() const;
    // Pulls the plug: the open port fails (its onFailure runs once), and the
    // bridge cannot be opened until plugIn().
    void unplug();
    // Plugs it in again; the device starts locked, identifying.
    void plugIn();

private:
    std::shared_ptr<BridgeWire> wire_;
};

} // namespace qta::sim

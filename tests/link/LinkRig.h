#pragma once

#include "RecordingView.h"

#include "link/DeviceLink.h"
#include "sim/DeviceOptions.h"
#include "sim/VirtualDevice.h"

#include <functional>
#include <memory>
#include <optional>

namespace qta::link::test {

// The engine with the transport under test, against the virtual device: over
// USB behind the in-process bridge on the manual clock, over GPRS dialling in
// on loopback TCP (the connection thread runs for real, the user-interface side
// on the manual clock, which moves only once everything that can happen without
// it has happened). The device's time is the clock's.
class LinkRig {
public:
    virtual ~LinkRig() = default;

    // Runs until `done` holds or `limit` of clock time has passed; true when it held.
    virtual bool runUntil(const std::function<bool()>& done, Millis limit) = 0;
    virtual sim::VirtualDevice& device() = 0;
    // Everything the engine wrote to the device so far.
    virtual const Bytes& written() const = 0;
    virtual Transport transport() const = 0;

    // From the device's power-on: identification, the code, the first report.
    bool unlock(const std::string& code = "6173");
    // Requests a transfer and runs until it ended; how, or nothing within `limit`.
    std::optional<TransferEnd> transfer(TransferKind kind, Millis limit = Millis(120000));

    ManualClock clock;
    RecordingView view;
    Configuration config = Configuration::startup('.');
    std::unique_ptr<DeviceLink> link;

protected:
    static LinkOptions options();
};

// A rig of `transport` against a device with `device`'s settings; over GPRS what
// the device sends goes out in pieces of `piece` bytes (0: each unit whole).
std::unique_ptr<LinkRig> makeRig(Transport transport, sim::DeviceOptions device, std::size_t piece = 0);

} // namespace qta::link::test

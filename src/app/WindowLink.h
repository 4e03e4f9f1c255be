#pragma once

#include "SettingsFile.h"

#include "link/Bridge.h"
#include "link/Clock.h"
#include "link/DeviceLink.h"
#include "model/Configuration.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qta::link {
class QtClock;
}

namespace qta::app {

class WindowLinkView;

// What the window's device link runs on. Left empty: the real clock, and the
// system's USB-UART bridges (whose search also says why none is found), or the
// tty at `port` (--port) whatever it describes itself as. Tests give a clock and
// bridges of their own. A `listenPort` (--listen) starts with GPRS chosen, its
// server on that port. `gprsAccess` (--bind, --allow) says who may connect over
// GPRS for this run, instead of the settings file.
struct LinkSetup {
    std::string port;
    std::uint16_t listenPort = 0;
    std::optional<SettingsFile::GprsAccessText> gprsAccess;
    link::BridgeDriver* driver = nullptr;
    link::Clock* clock = nullptr;
};

// The device link of the window: the engine with its clock and bridges, with the
// user's actions in the window handed to it. Its poll starts with the window.
class WindowLink {
public:
    WindowLink(WindowLinkView& view, Configuration& config, char decimalSeparator, const LinkSetup& setup);
    ~WindowLink();
    WindowLink(const WindowLink&) = delete;
    WindowLink& operator=(const WindowLink&) = delete;

    link::DeviceLink& device() { return *device_; }
    // Runs `step` once the link has finished what it is doing now (a transfer's
    // end, say), on the link's clock; a later call replaces a step not yet run.
    void afterCurrentStep(std::function<void()> step);

private:
    void reportPortProblem(link::BridgeDriver& driver, const std::string& port);

    WindowLinkView& view_;
    std::unique_ptr<link::QtClock> ownClock_;
    std::unique_ptr<link::BridgeDriver> ownDriver_;
    std::unique_ptr<link::BridgeDriver> diagnosis_; // around the USB search of ownDriver_
    std::unique_ptr<link::DeviceLink> device_;
    std::unique_ptr<link::OneShot> soon_;
};

} // namespace qta::app

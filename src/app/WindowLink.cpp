#include "WindowLink.h"

#include "GprsAccessBar.h"
#include "WindowLinkView.h"

#include "link/BridgeDrivers.h"
#include "link/NoDeviceDiagnosis.h"
#include "link/PortCheck.h"
#include "link/QtClock.h"
#include "transfer/TimeFrame.h"

namespace qta::app {

WindowLink::WindowLink(WindowLinkView& view, Configuration& config, char decimalSeparator,
                       const LinkSetup& setup)
    : view_(view) {
    link::Clock* clock = setup.clock;
    if (!clock) {
        ownClock_ = std::make_unique<link::QtClock>();
        clock = ownClock_.get();
    }
    link::BridgeDriver* driver = setup.driver;
    if (!driver) {
        ownDriver_ = link::systemBridgeDriver(*clock, setup.port);
        driver = ownDriver_.get();
        if (setup.port.empty()) {
            diagnosis_ = std::make_unique<link::NoDeviceDiagnosis>(*driver, *clock, view);
            driver = diagnosis_.get();
        }
    }
    link::LinkOptions options;
    options.decimalSeparator = decimalSeparator;
    if (setup.listenPort != 0)
        options.gprs.listenPort = setup.listenPort;
    // What the settings file holds was checked when it was stored; a hand-made
    // mistake there leaves the server open to all, which the window then says.
    std::string wrong;
    if (setup.gprsAccess)
        options.gprs.access = gprsAccessOf(*setup.gprsAccess, wrong).value_or(link::GprsAccess{});
    device_ =
        std::make_unique<link::DeviceLink>(config, view, *driver, *clock, transfer::localDateTime, options);

    soon_ = std::make_unique<link::OneShot>(*clock);
    view.setControl(device_.get());
    // Before the poll opens the tty itself.
    if (setup.listenPort == 0 && !setup.port.empty())
        reportPortProblem(*driver, setup.port);
    device_->start();
    if (setup.listenPort != 0)
        device_->rdbGPRSClick();
}

// A tty named on the command line that cannot be opened is said at once, not left
// to look like a silent device; the poll goes on, so an adapter plugged in later
// is still found.
void WindowLink::reportPortProblem(link::BridgeDriver& driver, const std::string& port) {
    if (const auto problem = link::portProblem(driver, port, link::MissingPort::Reported))
        view_.showMessage(*problem, [] {});
}

// The view forgets the engine first; the engine goes before its clock and bridges.
WindowLink::~WindowLink() {
    view_.setControl(nullptr);
    device_.reset();
}

void WindowLink::afterCurrentStep(std::function<void()> step) {
    soon_->start(link::Millis(0), std::move(step));
}

} // namespace qta::app

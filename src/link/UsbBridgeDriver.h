#pragma once

#include "Bridge.h"

#include <string>

namespace qta::link {

// The real driver: finds the USB-UART bridge by its USB product description
// among the system's ttyUSB devices and opens its tty. With several such
// bridges attached, the first that can be opened is taken.
class UsbBridgeDriver : public BridgeDriver {
public:
    // `sysfsRoot` and `devDir` are "/sys" and "/dev" except in tests.
    explicit UsbBridgeDriver(Clock& clock, std::string sysfsRoot = "/sys", std::string devDir = "/dev");

    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    std::optional<OpenProblem> lastOpenProblem() const override { return problem_; }

private:
    Clock& clock_;
    std::string sysfsRoot_;
    std::string devDir_;
    std::optional<OpenProblem> problem_;
};

} // namespace qta::link

#include "UsbBridgeDriver.h"

#include "SerialBridgePort.h"
#include "UsbSysfs.h"

namespace qta::link {

UsbBridgeDriver::UsbBridgeDriver(Clock& clock, std::string sysfsRoot, std::string devDir)
    : clock_(clock), sysfsRoot_(std::move(sysfsRoot)), devDir_(std::move(devDir)) {}

std::unique_ptr<BridgePort> UsbBridgeDriver::openByDescription(const std::string& description) {
    problem_.reset();
    std::optional<OpenProblem> firstProblem;
    for (UsbTty& tty : listUsbTtys(sysfsRoot_)) {
        if (tty.info.description != description)
            continue;
        auto opened = SerialBridgePort::open(devDir_ + "/" + tty.name, clock_, std::move(tty.info));
        if (opened.port) {
            lowerLatencyTimer(sysfsRoot_, tty.name);
            return std::move(opened.port);
        }
        if (!firstProblem)
            firstProblem = std::move(opened.problem);
    }
    problem_ = std::move(firstProblem);
    return nullptr;
}

} // namespace qta::link

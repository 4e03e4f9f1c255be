#include "FixedPathDriver.h"

#include "SerialBridgePort.h"
#include "UsbSysfs.h"

#include <filesystem>

namespace qta::link {

FixedPathDriver::FixedPathDriver(Clock& clock, std::string path, std::string sysfsRoot)
    : clock_(clock), path_(std::move(path)), sysfsRoot_(std::move(sysfsRoot)) {}

std::unique_ptr<BridgePort> FixedPathDriver::openByDescription(const std::string&) {
    // A by-id link or other alias still leads to the kernel's name of the tty.
    std::error_code error;
    const auto target = std::filesystem::canonical(path_, error);
    const std::string ttyName = error ? std::string() : target.filename().string();
    const auto info = ttyName.empty() ? std::nullopt : usbDeviceInfo(sysfsRoot_, ttyName);
    auto opened = SerialBridgePort::open(path_, clock_, info.value_or(DeviceInfo{}));
    problem_ = std::move(opened.problem);
    if (opened.port && !ttyName.empty())
        lowerLatencyTimer(sysfsRoot_, ttyName);
    return std::move(opened.port);
}

} // namespace qta::link

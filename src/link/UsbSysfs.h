#pragma once

#include "Bridge.h"

#include <optional>
#include <string>
#include <vector>

namespace qta::link {

// What the kernel tells about its USB-serial ttys, read straight from sysfs:
// udev, which would otherwise name them, may not run at all. `sysfsRoot` is
// "/sys" except in tests.

struct UsbTty {
    std::string name; // "ttyUSB0"
    DeviceInfo info;  // of the USB device behind it
};

// The ttyUSB* in number order, each with what its USB device tells about
// itself. Its description is the USB product string; when that cannot be read,
// the name that the bridges we know carry for their vendor and product ID.
std::vector<UsbTty> listUsbTtys(const std::string& sysfsRoot);

// The USB device behind one tty, or nothing when the tty is not on USB.
std::optional<DeviceInfo> usbDeviceInfo(const std::string& sysfsRoot, const std::string& ttyName);

// The FTDI driver holds received bytes back for up to its latency timer (16 ms
// unless told otherwise), which would stretch every exchange; lowers it to 1 ms
// where this user may. A tty without the setting is left alone.
void lowerLatencyTimer(const std::string& sysfsRoot, const std::string& ttyName);

} // namespace qta::link

#include "BridgeDrivers.h"

#include "FixedPathDriver.h"
#include "UsbBridgeDriver.h"

namespace qta::link {

std::unique_ptr<BridgeDriver> systemBridgeDriver(Clock& clock, const std::string& path) {
    if (path.empty())
        return std::make_unique<UsbBridgeDriver>(clock);
    return std::make_unique<FixedPathDriver>(clock, path);
}

} // namespace qta::link

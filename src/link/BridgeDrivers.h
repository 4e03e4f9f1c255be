#pragma once

#include "Bridge.h"

#include <memory>
#include <string>

namespace qta::link {

// The bridges of this machine: the USB-UART bridge found by its description, or,
// when `path` is given (--port), the tty at that path whatever it describes itself as.
std::unique_ptr<BridgeDriver> systemBridgeDriver(Clock& clock, const std::string& path);

} // namespace qta::link

#pragma once

#include "Bridge.h"
#include "Clock.h"

#include "session/LinkView.h"

#include <optional>
#include <string>

namespace qta::link {

// How a tty that the user named (--port) is missing from the system.
enum class MissingPort {
    Waited,   // not a problem: the adapter may still be plugged in
    Reported, // said as a problem with the system's reason
};

// Why the tty the user named cannot be opened (a PortUnavailable or PortPermission
// message): held by another program, not this user's to open, not a serial port,
// or, as `missing` says, not there. Nullopt when it opens. Otherwise the poll would
// retry the tty without a word and the user would take it for a silent device.
std::optional<LinkMessage> portProblem(BridgeDriver& driver, const std::string& path, MissingPort missing);

// Why none of the device's bridges attached to the machine under `root` ("/"
// except in tests: its sys and dev folders) can be opened, each held by another
// program or not this user's: the first one's problem. Nullopt when one opens,
// and when none is attached: one may still be plugged in, so the search waits.
std::optional<LinkMessage> attachedBridgeProblem(Clock& clock, const std::string& root = "/");

} // namespace qta::link
